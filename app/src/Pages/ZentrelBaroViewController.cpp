#include "ZentrelBaroViewController.h"

#include <ZentrelLog.h>
#include <ZentrelStorageMgr.h>
#include <ostra/feedback.h>
#include <ostra/utils_i18n.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ZentrelBroadCaster.h"
#include "ZentrelHelpContentController.h"
#include "ZentrelUtil.h"

namespace {

constexpr double kIndicatorCheckSeconds = 3.0;
constexpr int kTrendNoTrend = 0x22;
constexpr int kLduPressure = 1003;

struct TrendImage {
    int code;
    const char* file;
};

constexpr TrendImage kTrendImages[] = {
    {0x11, "alti_course_down_down.png"},   {0x12, "alti_course_down_mid.png"},
    {0x14, "alti_course_down_up.png"},     {0x21, "alti_course_mid_down.png"},
    {0x22, "alti_course_mid_mid.png"},     {0x24, "alti_course_mid_up.png"},
    {0x41, "alti_course_up_down.png"},     {0x42, "alti_course_up_mid.png"},
    {0x44, "alti_course_up_up.png"},       {0x81, "alti_course_mid_down_dim.png"},
    {0x82, "alti_course_mid_mid_dim.png"}, {0x84, "alti_course_mid_up_dim.png"},
    {0x88, "alti_course_no_data.png"},
};

}  // namespace

ZentrelBaroViewController::ZentrelBaroViewController(std::shared_ptr<ZentrelGraphItemList> list)
    : _graphItemList(std::move(list)) {}

ZentrelBaroViewController::~ZentrelBaroViewController() {
    if (_layout) {
        evas_object_event_callback_del_full(_layout, EVAS_CALLBACK_MOVE, _layoutMoveCb, this);
    }
    brisa::WUiTimer::destroy(_indicatorCheckTimer);
    brisa::WUiTimer::destroy(_graphRetryIdler);
    brisa::WUiTimer::destroy(_arrowIdler);
    _graph.reset();
    eina_list_free(_accessList);
}

const char* ZentrelBaroViewController::getTrendImage(int code) {
    for (const auto& entry : kTrendImages) {
        if (entry.code == code) {
            return entry.file;
        }
    }
    ZLOGW("_getTrendImage default value : %d", code);
    return "alti_course_mid_mid.png";
}

Evas_Object* ZentrelBaroViewController::onCreateView(Evas_Object* parent, void*) {
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "baro_view")) {
        ZLOGE("baro_view is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    _title = elm_label_add(_layout);
    elm_object_style_set(_title, "slide_title_text");
    elm_label_wrap_width_set(_title, 180);
    elm_label_slide_mode_set(_title, ELM_LABEL_SLIDE_MODE_AUTO);
    elm_object_text_set(_title, i18n_get_text("WDS_ALTI_HEADER_BAROMETER_ABB"));
    elm_object_part_content_set(_layout, "baro_title", _title);
    _createValueLayout();
    elm_object_part_text_set(_layout, "baro_hours",
                             i18n_get_text("WDS_ALTI_BODY_LAST_6_HOURS_ABB"));
    if (ZentrelStorageMgr::getInstance()->getLDUModeEnable()) {
        elm_layout_signal_emit(_layout, "change,to,ldumode", "baro_indicator_event");
    } else {
        evas_object_event_callback_add(_layout, EVAS_CALLBACK_MOVE, _layoutMoveCb, this);
    }
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "baro_indicator_event",
                                   _indicatorClickedCb, this);
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "baro_unit_event", _unitClickedCb,
                                   this);
    _accessRect = _registerAccessPart("rect_acc");
    _accessValue = _registerAccessPart("baro_value_graph_indicator_acc");
    _accessList = eina_list_append(_accessList, _accessRect);
    _accessList = eina_list_append(_accessList, _title);
    _accessList = eina_list_append(_accessList, _accessValue);
    ZentrelBroadCaster::getBroadCaster().addListener(
        [this](const std::string& signal, void*) {
            if (signal == "language,changed") {
                elm_object_text_set(_title, i18n_get_text("WDS_ALTI_HEADER_BAROMETER_ABB"));
                elm_object_part_text_set(_layout, "baro_hours",
                                         i18n_get_text("WDS_ALTI_BODY_LAST_6_HOURS_ABB"));
                _createValueLayout();
            }
        },
        _layout);
    return _layout;
}

void ZentrelBaroViewController::onCreated() {
    _indicatorCheckTimer = brisa::WUiTimer::addTimer(
        kIndicatorCheckSeconds,
        [this](void*) {
            if (!_img) {
                ZLOGW("Barometer indicator is not working");
                updateIndicator(kTrendNoTrend);
            }
            return false;
        },
        nullptr, _layout);
}

void ZentrelBaroViewController::_createValueLayout() {
    if (_valueLayout) {
        elm_object_part_content_unset(_layout, "baro_value");
        evas_object_del(_valueLayout);
    }
    _valueLayout = elm_layout_add(_layout);
    elm_layout_file_set(_valueLayout, ZentrelUtil::getAppEdjFilePath(), "baro_value_layout");
    elm_object_part_content_set(_layout, "baro_value", _valueLayout);
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (storage->getLDUModeEnable()) {
        elm_object_part_text_set(_valueLayout, "unit", i18n_get_text("WDS_ALTI_BODY_HPA_ABB2"));
        elm_object_part_text_set(_valueLayout, "value",
                                 ZentrelUtil::getNumberStringFromIcu(kLduPressure, false).c_str());
    } else if (storage->getCurrentPressure() > 0) {
        updateValue(storage->getCurrentPressure(), 0);
    }
}

void ZentrelBaroViewController::updateValue(double pressure, double) {
    if (!_layout || !_valueLayout) {
        ZLOGE("_layout == nullptr");
        return;
    }
    if (ZentrelStorageMgr::getInstance()->getLDUModeEnable()) {
        return;
    }
    const char* unit = nullptr;
    std::string value;
    switch (ZentrelStorageMgr::getInstance()->getSettingPressure()) {
        case 0:
            unit = "WDS_ALTI_BODY_HPA_ABB2";
            value =
                ZentrelUtil::getNumberStringFromIcu(static_cast<int>(std::round(pressure)), false);
            break;
        case 1:
            unit = "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB";
            value = ZentrelUtil::getDoubleNumberStringFromIcu(
                std::round(pressure * 0.02953 * 100) / 100, 2, false);
            break;
        default:
            unit = "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB";
            value = ZentrelUtil::getNumberStringFromIcu(
                static_cast<int>(std::round(pressure * 0.750062)), false);
            break;
    }
    const char* unitText = i18n_get_text(unit);
    const char* shownUnit = elm_object_part_text_get(_valueLayout, "unit");
    if (!shownUnit || std::string(shownUnit) != unitText) {
        elm_object_part_text_set(_valueLayout, "unit", unitText);
    }
    const char* shownValue = elm_object_part_text_get(_valueLayout, "value");
    if (!shownValue || value != shownValue) {
        elm_object_part_text_set(_valueLayout, "value", value.c_str());
    }
}

void ZentrelBaroViewController::updateIndicator(double value) {
    ZLOGI("value : %f", value);
    if (!_layout) {
        ZLOGE("_layout == nullptr");
        return;
    }
    if (_img) {
        elm_object_part_content_unset(_layout, "baro_indicator");
        evas_object_del(_img);
        _img = nullptr;
    }
    const char* file = getTrendImage(static_cast<int>(value));
    char* path = ZentrelUtil::getAppResourceImageFilePathN(file);
    ZLOGI("path :: %s", path ? path : "");
    _img = elm_image_add(_layout);
    elm_image_file_set(_img, path, nullptr);
    free(path);
    _indicatorFile = file;
    elm_object_part_content_set(_layout, "baro_indicator", _img);
    evas_object_show(_img);
}

void ZentrelBaroViewController::_cycleUnit() {
    feedback_play(FEEDBACK_PATTERN_TAP);
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const int next = (storage->getSettingPressure() + 1) % 3;
    storage->saveSettingPressure(next);
    updateValue(storage->getCurrentPressure(), 0);
    viewSignal.onEmit("set,page,baro", nullptr);
}

void ZentrelBaroViewController::_showHelp() {
    feedback_play(FEEDBACK_PATTERN_TAP);
    if (_graph) {
        _graph->hideArrow();
    }
    if (!_navi) {
        ZLOGE("no naviframe for the help page");
        return;
    }
    _navi->push(
        new ZentrelHelpContentController(), "help",
        ZentrelHelpContentController::typeParam(ZentrelHelpContentController::HELP_INDICATOR));
}

void ZentrelBaroViewController::_indicatorClickedCb(void* data, Evas_Object*, const char*,
                                                    const char*) {
    auto* self = static_cast<ZentrelBaroViewController*>(data);
    if (self) {
        self->_showHelp();
    }
}

void ZentrelBaroViewController::_unitClickedCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<ZentrelBaroViewController*>(data);
    if (self) {
        self->_cycleUnit();
    }
}

void ZentrelBaroViewController::_layoutMoveCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelBaroViewController*>(data);
    if (!self || !self->_graph || self->getPopup()) {
        return;
    }
    self->_graph->moveNowMark();
}

void ZentrelBaroViewController::_showArrowLater() {
    brisa::WUiTimer::destroy(_arrowIdler);
    _arrowIdler = brisa::WUiTimer::addIdler(
        [this](void*) {
            if (_graph) {
                _graph->showArrow();
            }
            return false;
        },
        nullptr, _layout);
}

void ZentrelBaroViewController::onBecomeTop() {
    _showArrowLater();
}

void ZentrelBaroViewController::onBecomeTopPage() {
    _showArrowLater();
    _setAccessReadable(true);
    if (_accessRect && elm_config_access_get()) {
        elm_access_highlight_set(_accessRect);
    }
}

void ZentrelBaroViewController::onBecomeHidePage() {
    if (_graph) {
        _graph->hideArrow();
    }
    _setAccessReadable(false);
}

// The page's readable parts: what the page is, and its value, graph and
// indicator read as one.
Evas_Object* ZentrelBaroViewController::_registerAccessPart(const char* part) {
    Evas_Object* target = ZentrelUtil::partObject(_layout, part);
    Evas_Object* access = target ? elm_access_object_register(target, _layout) : nullptr;
    if (!access) {
        ZLOGE("Cannot register %s access obj.", part);
        return nullptr;
    }
    elm_access_info_cb_set(access, ELM_ACCESS_INFO, _accessInfoCb, this);
    evas_object_data_set(access, "zentrel,part", part);
    return access;
}

char* ZentrelBaroViewController::_accessInfoCb(void* data, Evas_Object* obj) {
    auto* self = static_cast<ZentrelBaroViewController*>(data);
    if (!self) {
        return nullptr;
    }
    const char* part = static_cast<const char*>(evas_object_data_get(obj, "zentrel,part"));
    if (part && strcmp(part, "rect_acc") == 0) {
        return strdup(i18n_get_text("WDS_ALTI_HEADER_BAROMETER_ABB"));
    }
    return strdup(self->getAccessText().c_str());
}

std::string ZentrelBaroViewController::getAccessText() const {
    std::string text;
    if (_valueLayout) {
        const char* value = elm_object_part_text_get(_valueLayout, "value");
        const char* unit = elm_object_part_text_get(_valueLayout, "unit");
        text = std::string(value ? value : "") + " " + (unit ? unit : "") + ", ";
    }
    return text + i18n_get_text("WDS_ALTI_BODY_LAST_6_HOURS_ABB") + ", " +
           i18n_get_text("WDS_ALTI_TBOPT_PRESSURE_INDICATOR");
}

void ZentrelBaroViewController::_setAccessReadable(bool readable) {
    const Efl_Access_Type type = readable ? EFL_ACCESS_TYPE_REGULAR : EFL_ACCESS_TYPE_SKIPPED;
    for (Evas_Object* obj : {_accessRect, _title, _accessValue}) {
        if (obj) {
            efl_access_object_access_type_set(obj, type);
        }
    }
}

void ZentrelBaroViewController::scrollEnd() {
    if (_title) {
        elm_layout_signal_emit(_title, "elm,state,slide,start", "");
    }
}

void ZentrelBaroViewController::setFocusScreenReader() {
    if (_valueLayout) {
        elm_object_focus_set(_valueLayout, EINA_TRUE);
    }
}

void ZentrelBaroViewController::onLaunchAnimationStart() {
    if (_layout) {
        elm_layout_signal_emit(_layout, "block,unit,event", "baro_unit_event");
    }
}

void ZentrelBaroViewController::onLaunchAnimationEnd() {
    if (_layout) {
        elm_layout_signal_emit(_layout, "unblock,unit,event", "baro_unit_event");
    }
}

void ZentrelBaroViewController::deleteGraph() {
    if (_graph) {
        _graph->destroyGraph();
    }
}

void ZentrelBaroViewController::initGraph() {
    _graph.reset();
}

void ZentrelBaroViewController::createGraph(std::shared_ptr<ZentrelGraphItemList> list) {
    _graphItemList = list;
    if (!_layout) {
        ZLOGW("_Layout not created yet");
        brisa::WUiTimer::destroy(_graphRetryIdler);
        _graphRetryIdler = brisa::WUiTimer::addIdler(
            [this](void*) {
                createGraph(_graphItemList);
                return false;
            },
            nullptr);
        return;
    }
    if (!_graph) {
        _graph = std::make_unique<ZentrelGraph>("ZentrelBaroView::createGraph");
    }
    _graph->createGraph(_layout, "baro_graph", _graphItemList, BARO_GRAPH);
}

void ZentrelBaroViewController::addGraphItem(std::shared_ptr<ZentrelGraphItemList> list) {
    _graphItemList = list;
    if (_graph) {
        _graph->updateGraph(list);
    }
}
