#include "ZentrelGraph.h"

#include <ZentrelStorageMgr.h>
#include <ZentrelUtil.h>
#include <ostra/uxt_theme.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ZentrelChart.h"
#include "ZentrelLog.h"

namespace {

const char* const GRAPH_GRID_IMAGE = "alti_measuring_alti_graph_grid.png";
const char* const NOW_MARK_IMAGE = "alti_measuring_alti_current.png";
const char* const RENDERING_FINISHED = "rendering,finished";
// The window holds this many points across the chart's width.
const int WINDOW_POINTS = 180;
// A chart part left of this x is sliding in or out, or not on top.
const int GRAPH_MIN_X = 58;
const int ZERO_LABEL_W = 16;
const int ZERO_LABEL_H = 21;

// The colour of a code in the current theme, or the shipped value when no
// colour table is applied.
ZentrelChart::Color themeColor(const char* code, ZentrelChart::Color fallback) {
    ZentrelChart::Color c;
    if (uxt_theme_get_color(code, &c.r, &c.g, &c.b, &c.a) != UXT_THEME_ERROR_NONE) {
        ZLOGW("Theme colour %s is not available", code);
        return fallback;
    }
    return c;
}

}  // namespace

ZentrelGraph::ZentrelGraph(const char* caller) : _caller(caller ? caller : "") {
    ZLOGI("ZentrelGraph (%s)", _caller.c_str());
}

ZentrelGraph::~ZentrelGraph() {
    ZLOGI("~ZentrelGraph (%s)", _caller.c_str());
    destroyGraph();
}

Evas_Object* ZentrelGraph::getChartObject() const {
    return _chart ? _chart->getEvasObject() : nullptr;
}

void ZentrelGraph::getMinMax(const ZentrelGraphItemList& list, ZentrelGraphType type, float& min,
                             float& max) {
    if (type == ALTI_GRAPH) {
        int32_t altiMin = list.getAltiMin();
        int32_t altiMax = list.getAltiMax();
        min = altiMin < 0 ? static_cast<float>(altiMin * 11) / 10 : 0.0f;
        max = altiMax >= 1 ? static_cast<float>(altiMax * 11) / 10
                           : static_cast<float>(-altiMin * 10) / 100;
    } else {
        min = static_cast<float>(list.getBaroMin() * 98) / 100;
        max = static_cast<float>(list.getBaroMax() * 101) / 100;
    }
}

float ZentrelGraph::_itemValue(const ZentrelGraphItem& item) const {
    return _graphType == ALTI_GRAPH ? static_cast<float>(item._itemAlti)
                                    : static_cast<float>(item._itemBaro);
}

void ZentrelGraph::_applyRange(const ZentrelGraphItemList& list) {
    float min = 0.0f, max = 0.0f;
    getMinMax(list, _graphType, min, max);
    ZLOGD("Data Min %f Max%f", min, max);
    _chart->setVisibleRange(min, max);
    _chart->setGridLine(0, true, static_cast<int>(max - min));
}

void ZentrelGraph::createGraph(Evas_Object* layout, const char* partName,
                               std::shared_ptr<ZentrelGraphItemList> list, ZentrelGraphType type) {
    if (!list) {
        ZLOGW("itemList is nullptr!");
        return;
    }
    if (_chart) {
        destroyGraph();
    }
    _itemList = list;
    _layout = layout;
    _edcPartName = partName ? partName : "";
    _graphType = type;
    if (!layout) {
        ZLOGE("layout is nullptr");
        return;
    }

    _chart = std::make_unique<ZentrelChart>(layout);
    unsigned int count = list->getCount();
    for (unsigned int i = 0; i < count; ++i) {
        const ZentrelGraphItem* item = list->getItem(i);
        _chart->addTimeData(item->_itemTime * 1000, _itemValue(*item));
    }
    ZLOGD("item count : %d", static_cast<int>(count));

    // Series: the visible range, a curved area, the goal line at -1.
    _applyRange(*list);
    _chart->setAreaCurved(true);
    _chart->setAreaColor(themeColor("AO0156", {47, 167, 255, 115}));
    _chart->setAnimation(true, 0.4);
    _chart->setGoalLineVisible(true);
    _chart->setGoalLineValue(-1.0f);
    _chart->setGoalLineWidth(1);
    _chart->setGoalLineColor(themeColor("AO0157", {60, 60, 60, 255}));
    _chart->setColorOverGoalLine(themeColor("AO0112", {47, 167, 255, 255}));
    // The newest value holds until the next point, so the window's points
    // fill the width slot by slot.
    _chart->setLastValueHold(static_cast<int64_t>(ZentrelGraphItemList::GRAPH_PERIOD) * 1000);
    _chart->setVisibleTimeSpan(static_cast<int64_t>(WINDOW_POINTS) *
                               ZentrelGraphItemList::GRAPH_PERIOD * 1000);

    // Chart: no axis, handler or legend; the grid comes from the background.
    _chart->setAxisVisible(false);
    _chart->setHandlerVisible(false);
    _chart->setLegendVisible(false);
    char* bg = ZentrelUtil::getAppResourceImageFilePathN(GRAPH_GRID_IMAGE);
    if (bg) {
        _chart->setBackgroundImageFile(bg);
        free(bg);
    }
    _chart->setScrollEnabled(true);
    _chart->setMargins(0, 0, 0, 0);

    if (count > 0) {
        _chart->setStartShowRegionByTime(list->getItem(0)->_itemTime * 1000);
    }
    Evas_Object* obj = _chart->getEvasObject();
    evas_object_smart_callback_add(obj, RENDERING_FINISHED, _renderingFinishedCb, this);
    elm_object_part_content_set(layout, _edcPartName.c_str(), obj);
    evas_object_show(obj);
    _chart->update();
    ZLOGI("Graph created");
}

void ZentrelGraph::updateGraph(std::shared_ptr<ZentrelGraphItemList> list) {
    if (!_chart) {
        return;
    }
    ZLOGI("Update graph [%p]", list.get());
    if (!list || list->getCount() == 0) {
        ZLOGW("itemList is nullptr!");
        return;
    }
    _itemList = list;
    const ZentrelGraphItem& newest = list->getLastItem();
    _chart->insertTimeData(newest._itemTime * 1000, _itemValue(newest));
    _chart->deleteTimeData(list->getItem(0)->_itemTime * 1000);
    _applyRange(*list);

    Evas_Object* obj = _chart->getEvasObject();
    int w = 0;
    if (obj) {
        evas_object_geometry_get(obj, nullptr, nullptr, &w, nullptr);
    }
    if (w > 0) {
        _chart->scroll(static_cast<double>(w) / WINDOW_POINTS);
    } else if (list->getCount() > 1) {
        // Not laid out yet: the region starts at the point that stays oldest.
        _chart->setStartShowRegionByTime(list->getItem(1)->_itemTime * 1000);
    }
    _chart->update();
    if (_layout) {
        evas_object_show(_layout);
    }
    ZLOGI("Graph updated [%p]", list.get());
}

void ZentrelGraph::updateCalTimeLine(std::shared_ptr<ZentrelGraphItemList> list) {
    if (!_chart) {
        return;
    }
    ZLOGI("Update caltimeline [%p]", list.get());
    if (!list) {
        ZLOGW("itemList is nullptr!");
        return;
    }
    _itemList = list;
    _calTime = ZentrelStorageMgr::getInstance()->getDataCalTime();
    const ZentrelGraphItem* found = nullptr;
    for (unsigned int i = list->getCount(); i > 0; --i) {
        const ZentrelGraphItem* item = list->getItem(i - 1);
        if (item->_itemTime <= _calTime) {
            found = item;
            break;
        }
    }
    if (!found) {
        ZLOGD("No point at or before the calibration time %lld", static_cast<long long>(_calTime));
        return;
    }
    _chart->setValueMarker(true, 0);
    _chart->setHandlerVisible(true);
    _chart->setHandlerStartTime(found->_itemTime * 1000);
    _chart->setHandlerLineWidth(1);
    _chart->setHandlerLineColor(themeColor("AO0116", {255, 179, 0, 255}));
    _chart->setHandlerThumbVisible(false);
    _chart->setHandlerTooltipVisible(false);
    _chart->update();
    ZLOGI("Caltimeline updated [%p]", list.get());
}

void ZentrelGraph::_renderingFinishedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelGraph*>(data);
    ZLOGD("Graph rendering finished");
    if (!self->_nowMarkIdler) {
        self->_nowMarkIdler = ecore_idler_add(_nowMarkIdlerCb, self);
    }
}

Eina_Bool ZentrelGraph::_nowMarkIdlerCb(void* data) {
    auto* self = static_cast<ZentrelGraph*>(data);
    self->_nowMarkIdler = nullptr;
    self->_updateNowMark();
    return ECORE_CALLBACK_CANCEL;
}

void ZentrelGraph::_markDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelGraph*>(data);
    if (self->_img == obj) {
        self->_img = nullptr;
    }
    if (self->_textBlock == obj) {
        self->_textBlock = nullptr;
    }
}

void ZentrelGraph::_deleteNowMark() {
    if (_img) {
        evas_object_event_callback_del_full(_img, EVAS_CALLBACK_DEL, _markDelCb, this);
        evas_object_del(_img);
        _img = nullptr;
    }
}

void ZentrelGraph::_deleteZeroLabel() {
    if (_textBlock) {
        evas_object_event_callback_del_full(_textBlock, EVAS_CALLBACK_DEL, _markDelCb, this);
        evas_object_del(_textBlock);
        _textBlock = nullptr;
    }
}

std::string ZentrelGraph::_createTextBlockStyle(const char* code, const char* align) {
    char* family = nullptr;
    char* style = nullptr;
    int size = 16;
    std::string font = "Roboto:style=Regular";
    if (uxt_theme_get_font(code, &family, &style, &size) == UXT_THEME_ERROR_NONE) {
        font = family ? family : "Roboto";
        if (style && *style) {
            font += std::string(":style=") + style;
        }
    } else {
        ZLOGW("Theme font %s is not available", code);
        size = 16;
    }
    free(family);
    free(style);
    ZentrelChart::Color c = themeColor(code, {158, 158, 158, 255});
    char color[16];
    snprintf(color, sizeof(color), "%02X%02X%02X%02X", c.r & 0xff, c.g & 0xff, c.b & 0xff,
             c.a & 0xff);
    return std::string("DEFAULT='font=") + font + " font_size=" + std::to_string(size) +
           " color=#" + color + " align=" + align + " valign=center wrap=word linegap=0'";
}

void ZentrelGraph::_updateNowMark() {
    ZLOGD("Update now mark. Type : %d", _graphType);
    if (_graphType == ALTI_GRAPH && ZentrelStorageMgr::getInstance()->isDataSLPHistoryEmpty()) {
        ZLOGW("Alti Graph is Unable to show");
        return;
    }
    Evas_Object* chartObj = getChartObject();
    if (!chartObj) {
        return;
    }
    int x = 0, y = 0, w = 0, h = 0;
    evas_object_geometry_get(chartObj, &x, &y, &w, &h);
    ZLOGD("Check Position x:%d y:%d w:%d h:%d", x, y, w, h);
    if (x < GRAPH_MIN_X) {
        ZLOGD("Page is Moving or Not TopPage so Remove Arrow");
        _deleteNowMark();
        return;
    }
    if (!_itemList || _itemList->getCount() == 0) {
        ZLOGW("Last Item is nullptr");
        return;
    }
    const float min = _chart->getVisibleMin();
    const float newest = _itemValue(_itemList->getLastItem());
    int dy = _chart->getGridLinePosY(std::trunc(newest - min));

    Evas* evas = evas_object_evas_get(chartObj);
    _deleteNowMark();
    _img = evas_object_image_filled_add(evas);
    char* path = ZentrelUtil::getAppResourceImageFilePathN(NOW_MARK_IMAGE);
    evas_object_image_file_set(_img, path, nullptr);
    if (evas_object_image_load_error_get(_img) != EVAS_LOAD_ERROR_NONE) {
        ZLOGE("Now mark image cannot be loaded: %s", path ? path : "");
    }
    free(path);
    int iw = 0, ih = 0;
    evas_object_image_size_get(_img, &iw, &ih);
    evas_object_resize(_img, iw, ih);
    uxt_theme_object_set_color(_img, "AO0113");
    evas_object_pass_events_set(_img, EINA_TRUE);
    evas_object_event_callback_add(_img, EVAS_CALLBACK_DEL, _markDelCb, this);
    int imgX = x + w - iw / 2 - 1;
    if (_imgInitialX == 0) {
        _imgInitialX = imgX;
    }
    evas_object_move(_img, imgX, y + dy - ih);
    evas_object_show(_img);

    _deleteZeroLabel();
    if (min < 0) {
        _textBlock = evas_object_textblock_add(evas);
        Evas_Textblock_Style* style = evas_textblock_style_new();
        evas_textblock_style_set(style, _createTextBlockStyle("AT0232", "center").c_str());
        evas_object_textblock_style_set(_textBlock, style);
        evas_textblock_style_free(style);
        evas_object_textblock_text_markup_set(_textBlock, "0");
        evas_object_pass_events_set(_textBlock, EINA_TRUE);
        evas_object_event_callback_add(_textBlock, EVAS_CALLBACK_DEL, _markDelCb, this);
        evas_object_resize(_textBlock, ZERO_LABEL_W, ZERO_LABEL_H);
        int tbX = x - ZERO_LABEL_W;
        if (_tbInitialX == 0) {
            _tbInitialX = tbX;
        }
        int zeroDy = _chart->getGridLinePosY(std::trunc(-1.0f - min));
        int tbY = y + zeroDy - 10;
        ZLOGD("Zero TextBlock x:%d y:%d dy:%d", tbX, tbY, zeroDy);
        evas_object_move(_textBlock, tbX, tbY);
        evas_object_show(_textBlock);
    }
    ZLOGD("Now mark updated");
}

void ZentrelGraph::moveNowMark() {
    ZLOGD("Move nowmark. Type : %d", _graphType);
    if (!_chart || !_layout) {
        return;
    }
    int lx = 0, lw = 0;
    evas_object_geometry_get(_layout, &lx, nullptr, &lw, nullptr);
    // An initial x brought into 0..W.
    auto within = [lw](int v) {
        if (0 < v && v < lw) {
            return v;
        }
        if (-lw < v && v < 0) {
            return v + lw;
        }
        if (-2 * lw < v && v < -lw) {
            return v + 2 * lw;
        }
        if (lw < v && v < 2 * lw) {
            return v - lw;
        }
        return v;
    };
    if (_img) {
        int iy = 0;
        evas_object_geometry_get(_img, nullptr, &iy, nullptr, nullptr);
        evas_object_move(_img, lx + within(_imgInitialX), iy);
        evas_object_show(_img);
    }
    if (_textBlock) {
        int ty = 0;
        evas_object_geometry_get(_textBlock, nullptr, &ty, nullptr, nullptr);
        evas_object_move(_textBlock, lx + within(_tbInitialX), ty);
        evas_object_show(_textBlock);
    }
    ZLOGD("Move nowmark completed");
}

void ZentrelGraph::showArrow() {
    ZLOGD("show Arrow. Type : %d", _graphType);
    if (!_chart) {
        return;
    }
    if (!_img) {
        _updateNowMark();
    }
    if (_img) {
        evas_object_show(_img);
    }
    if (_textBlock) {
        evas_object_show(_textBlock);
    }
}

void ZentrelGraph::hideArrow() {
    ZLOGD("hide Arrow. Type : %d", _graphType);
    if (_img) {
        evas_object_hide(_img);
    }
    if (_textBlock) {
        evas_object_hide(_textBlock);
    }
}

void ZentrelGraph::destroyGraph() {
    ZLOGI("destroyGraph start (%s)", _caller.c_str());
    if (_nowMarkIdler) {
        ecore_idler_del(_nowMarkIdler);
        _nowMarkIdler = nullptr;
    }
    _deleteNowMark();
    _deleteZeroLabel();
    if (_chart) {
        Evas_Object* obj = _chart->getEvasObject();
        if (obj) {
            evas_object_smart_callback_del_full(obj, RENDERING_FINISHED, _renderingFinishedCb,
                                                this);
        }
        _chart.reset();
    }
    _imgInitialX = 0;
    _tbInitialX = 0;
    ZLOGI("destroyGraph end");
}
