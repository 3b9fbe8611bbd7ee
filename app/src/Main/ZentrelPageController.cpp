#include "ZentrelPageController.h"

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelSensor.h>
#include <ZentrelStorageMgr.h>
#include <glib.h>
#include <ostra/app.h>
#include <ostra/feedback.h>
#include <ostra/utils_i18n.h>

#include <cmath>
#include <ctime>
#include <thread>

#include "ZentrelAltiViewController.h"
#include "ZentrelBaroViewController.h"
#include "ZentrelSettingViewController.h"
#include "ZentrelUtil.h"

namespace {

constexpr double kIndexFlashSeconds = 0.45;
constexpr double kFirstIndexSeconds = 0.7;
constexpr double kPagerWidth = 360;
constexpr int kDragThreshold = 10;
constexpr double kLduPressure = 1003.0;
constexpr double kPickerDelay = 0.1;

const char* const kIndexStyles[] = {"item/odd_9", "item/odd_10", "alti/setting"};

// An index item carries its page number (plus one: null is no page).
void* indexItemTag(int page) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(page + 1));
}
const char* const kPageTitles[] = {"WDS_ALTI_HEADER_ALTIMETER_ABB", "WDS_ALTI_HEADER_BAROMETER_ABB",
                                   "WDS_ALTI_HEADER_SETTINGS_ABB2"};

// The pages, their index and the bezel keep their order in a right-to-left
// language (each page mirrors its own content). Out of the toolkit's
// automatic mode, which would mirror the object again with its parent.
void keepPageOrder(Evas_Object* object) {
    elm_object_mirrored_automatic_set(object, EINA_FALSE);
    elm_object_mirrored_set(object, EINA_FALSE);
}

std::string clockText(int64_t t) {
    time_t value = static_cast<time_t>(t);
    struct tm local;
    char text[16] = "";
    if (localtime_r(&value, &local)) {
        strftime(text, sizeof(text), "%H:%M:%S", &local);
    }
    return text;
}

const char* altiUnitSuffix() {
    return ZentrelStorageMgr::getInstance()->getSettingDistance() == 1 ? "ft" : "m";
}

const char* baroUnitSuffix() {
    switch (ZentrelStorageMgr::getInstance()->getSettingPressure()) {
        case 0:
            return "hpa";
        case 1:
            return "inhg";
        default:
            return "mmhg";
    }
}

}  // namespace

// The sensor lives in a slot shared with the thread that starts the recorder,
// so a controller destroyed meanwhile leaves that thread nothing to touch.
struct ZentrelPageController::SensorSlot {
    std::mutex mutex;
    std::unique_ptr<ZentrelSensor> sensor;
    bool closed = false;
};

ZentrelPageController::ZentrelPageController() : _sensorSlot(std::make_shared<SensorSlot>()) {}

ZentrelPageController::~ZentrelPageController() {
    ZLOG_BEGIN();
    if (_layout) {
        evas_object_event_callback_del_full(_layout, EVAS_CALLBACK_MOUSE_DOWN, _layoutMouseDown,
                                            this);
        evas_object_event_callback_del_full(_layout, EVAS_CALLBACK_MOUSE_UP, _layoutMouseUp, this);
        evas_object_event_callback_del_full(_layout, EVAS_CALLBACK_MOUSE_MOVE, _layoutMouseMove,
                                            this);
    }
    if (_viewController[PAGE_ALTI_VIEW] && _viewController[PAGE_ALTI_VIEW]->getEvasObj()) {
        evas_object_event_callback_del_full(_viewController[PAGE_ALTI_VIEW]->getEvasObj(),
                                            EVAS_CALLBACK_RESIZE, _layoutResizeCb, this);
    }
    if (_layout) {
        evas_event_callback_del_full(evas_object_evas_get(_layout), EVAS_CALLBACK_RENDER_POST,
                                     _firstFrameCb, this);
    }
    brisa::WUiTimer::destroy(_laterPagesJob);
    _destroySensor();
    _graphItemList.reset();
    _slpItemList.reset();
    for (auto*& page : _viewController) {
        page = nullptr;
    }
    if (_box) {
        elm_box_clear(_box);
    }
    if (_trans) {
        elm_transit_del_cb_set(_trans, nullptr, nullptr);
        elm_transit_del(_trans);
        _trans = nullptr;
    }
    brisa::WUiTimer::destroy(_aniTimer);
    brisa::WUiTimer::destroy(_transitPickerMarkTimer);
    brisa::WUiTimer::destroy(_runEndAnimationTimer);
    brisa::WUiTimer::destroy(_updateValueTimer);
    brisa::WUiTimer::destroy(_setPageIdler);
    ZentrelStorageMgr::getInstance()->setCurrentPressure(0);
    destroyPopup();
    ZLOG_END();
}

int64_t ZentrelPageController::currentTime() const {
    return static_cast<int64_t>(time(nullptr));
}

ZentrelViewController* ZentrelPageController::getPage(int page) const {
    return page >= 0 && page < PAGE_NUM_MAX ? _viewController[page] : nullptr;
}

Evas_Object* ZentrelPageController::onCreateView(Evas_Object* parent, void* viewParam) {
    _parent = parent;
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "page_controller")) {
        ZLOGE("page_controller is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    evas_object_size_hint_weight_set(_layout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    _pickerLayout = elm_layout_add(_layout);
    if (!elm_layout_file_set(_pickerLayout, ZentrelUtil::getAppEdjFilePath(),
                             "page_controller_picker")) {
        ZLOGE("pickerLayout is nullptr!!");
        evas_object_del(_pickerLayout);
        _pickerLayout = nullptr;
    } else {
        // The layout swallows a holder, not the needle: the layout resets the
        // map of what it swallows whenever it recalculates, which would undo the
        // needle's rotation.
        Evas_Object* holder = elm_box_add(_layout);
        evas_object_size_hint_weight_set(_pickerLayout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
        evas_object_size_hint_align_set(_pickerLayout, EVAS_HINT_FILL, EVAS_HINT_FILL);
        elm_box_pack_end(holder, _pickerLayout);
        evas_object_show(_pickerLayout);
        elm_object_part_content_set(_layout, "alti_measuring_picker_mark_layout", holder);
    }
    elm_layout_signal_callback_add(_layout, "end,animation", "", _endAnimationCb, this);
    _emitUnitSignal("set,page,", PAGE_ALTI_VIEW);
    const int page = static_cast<int>(reinterpret_cast<intptr_t>(viewParam));
    if (page != 0) {
        _initialPage = page;
    }
    ZLOGI("page : %d", page);
    return _layout;
}

void ZentrelPageController::onPushed(Elm_Object_Item* naviItem) {
    ZLOG_BEGIN();
    if (naviItem) {
        elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
    }
    _scroller = elm_scroller_add(_layout);
    elm_object_style_set(_scroller, "effect");
    elm_scroller_loop_set(_scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_page_size_set(_scroller, kPagerWidth, 0);
    elm_scroller_bounce_set(_scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_policy_set(_scroller, ELM_SCROLLER_POLICY_OFF, ELM_SCROLLER_POLICY_OFF);
    elm_scroller_page_scroll_limit_set(_scroller, 1, 0);
    elm_scroller_single_direction_set(_scroller, ELM_SCROLLER_SINGLE_DIRECTION_HARD);
    elm_object_scroll_lock_y_set(_scroller, EINA_TRUE);
    _blockPager(true);
    evas_object_smart_callback_add(_scroller, "scroll", _scrollCb, this);
    evas_object_smart_callback_add(_scroller, "scroll,anim,stop", _scrollAniStopCb, this);
    elm_object_part_content_set(_layout, "scroller", _scroller);
    keepPageOrder(_scroller);

    brisa::WWindowController* window = getWindowController();
    _circleScroller =
        eext_circle_object_scroller_add(_scroller, window ? window->getCircleSurface() : nullptr);
    eext_circle_object_scroller_policy_set(_circleScroller, ELM_SCROLLER_POLICY_OFF,
                                           ELM_SCROLLER_POLICY_OFF);
    eext_circle_object_mirrored_set(_circleScroller, EINA_FALSE);
    eext_rotary_object_event_activated_set(_circleScroller, EINA_TRUE);

    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (storage->getLDUModeEnable()) {
        storage->setCurrentPressure(kLduPressure);
    } else {
        _initSLPItemList();
        _initGraphItemList(0);
    }
    _createPages();
    _createIndex();

    if (_initialPage == PAGE_BARO_VIEW && _viewController[PAGE_BARO_VIEW]) {
        _viewController[PAGE_BARO_VIEW]->setFocusScreenReader();
    }
    if (Evas_Object* win = elm_object_top_widget_get(_layout)) {
        elm_win_title_set(win, i18n_get_text("WDS_ALTI_MBODY_ZENTREL_ABB"));
        efl_access_object_i18n_name_set(win, i18n_get_text("WDS_ALTI_MBODY_ZENTREL_ABB"));
    }
    const bool autoRefresh = storage->getAutoRefresh() == 1;
    ZentrelLogging::getInstance()->sendKorvaneLog(SETTINGS_AUTO_REFRESH_STATUS, "NONE",
                                                  autoRefresh ? "1000" : "0");
    if (storage->getPermissionGuideState() == 0) {
        _permissionPopupAlive = true;
        _permissionChecker.createGuidePopup(_layout, [this](bool confirmed) {
            _permissionPopupAlive = false;
            if (!confirmed) {
                ZLOGI("Popup is canceled");
                ui_app_exit();
                return;
            }
            ZLOGI("Popup is confirmed");
            eext_rotary_object_event_activated_set(_circleScroller, EINA_TRUE);
            ZentrelStorageMgr::getInstance()->savePermissionGuideState(1);
        });
    }
    ZLOG_END();
}

void ZentrelPageController::_createPages() {
    _box = elm_box_add(_scroller);
    elm_box_horizontal_set(_box, EINA_TRUE);
    elm_box_homogeneous_set(_box, EINA_TRUE);
    evas_object_size_hint_weight_set(_box, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(_box, EVAS_HINT_FILL, EVAS_HINT_FILL);
    elm_object_content_set(_scroller, _box);
    keepPageOrder(_box);

    // Only the pages up to the first one shown go into the first frame; the
    // others follow right after it, before a finger could turn the pager.
    const int firstShown = _initialPage == PAGE_INIT ? PAGE_ALTI_VIEW : _initialPage;
    void* params[] = {_circleScroller, nullptr, nullptr};
    for (int i = 0; i <= firstShown && i < PAGE_NUM_MAX; ++i) {
        _addPage(i, _newPage(i), params[i]);
    }
    if (_viewController[PAGE_ALTI_VIEW]) {
        evas_object_event_callback_add(_viewController[PAGE_ALTI_VIEW]->getEvasObj(),
                                       EVAS_CALLBACK_RESIZE, _layoutResizeCb, this);
        _viewController[PAGE_ALTI_VIEW]->onLaunchAnimationStart();
    }
    evas_event_callback_add(evas_object_evas_get(_layout), EVAS_CALLBACK_RENDER_POST, _firstFrameCb,
                            this);
}

ZentrelViewController* ZentrelPageController::_newPage(int i) {
    switch (i) {
        case PAGE_ALTI_VIEW:
            return new ZentrelAltiViewController(_graphItemList);
        case PAGE_BARO_VIEW:
            return new ZentrelBaroViewController(_graphItemList);
        default:
            return new ZentrelSettingViewController();
    }
}

void ZentrelPageController::_firstFrameCb(void* data, Evas* evas, void*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    evas_event_callback_del_full(evas, EVAS_CALLBACK_RENDER_POST, _firstFrameCb, data);
    self->_laterPagesJob = brisa::WUiTimer::addJob(
        [self](void*) {
            self->_completePager();
            return false;
        },
        nullptr, self->_layout);
}

void ZentrelPageController::_completePager() {
    for (int i = PAGE_ALTI_VIEW; i < PAGE_NUM_MAX; ++i) {
        if (!_viewController[i]) {
            _addPage(i, _newPage(i), nullptr);
        }
    }
    _createIndexWidget();
}

void ZentrelPageController::_addPage(int i, ZentrelViewController* page, void* param) {
    if (!page->create(_box, param)) {
        ZLOGE("page %d not created", i);
        page->destroy();
        return;
    }
    _viewController[i] = page;
    page->setNaviframeController(getNaviframeController());
    Evas_Object* obj = page->getEvasObj();
    evas_object_size_hint_min_set(obj, kPagerWidth, kPagerWidth);
    evas_object_size_hint_weight_set(obj, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(obj, EVAS_HINT_FILL, EVAS_HINT_FILL);
    if (i != PAGE_SETTING_VIEW) {
        page->viewSignal.addListener(
            [this, i](const std::string& signal, void* data) { _onViewSignal(i, signal, data); },
            obj);
    }
    // A page going away (also on teardown) must not stay reachable from here.
    evas_object_event_callback_add(
        obj, EVAS_CALLBACK_DEL,
        [](void* data, Evas*, Evas_Object*, void*) {
            *static_cast<ZentrelViewController**>(data) = nullptr;
        },
        &_viewController[i]);
    elm_box_pack_end(_box, obj);
    evas_object_show(obj);
}

// A theme change reaches the settings page only through a new page: its
// rows take their looks when they are built.
void ZentrelPageController::_recreateSettingPage() {
    ZentrelViewController* old = _viewController[PAGE_SETTING_VIEW];
    if (!old || !_box) {
        return;
    }
    Elm_Object_Item* indexItem = old->getIndexItem();
    evas_object_del(old->getEvasObj());
    auto* setting = new ZentrelSettingViewController();
    _addPage(PAGE_SETTING_VIEW, setting, nullptr);
    if (_viewController[PAGE_SETTING_VIEW]) {
        _viewController[PAGE_SETTING_VIEW]->setIndexItem(indexItem);
    }
    ZLOGI("setting page recreated after a theme change");
}

// The index widget is never drawn (the layout's dots are), so it is built
// with the pages right of the first one shown, after the first frame.
void ZentrelPageController::_createIndexWidget() {
    _index = elm_index_add(_layout);
    elm_object_style_set(_index, "circle");
    elm_index_horizontal_set(_index, EINA_TRUE);
    keepPageOrder(_index);
    elm_index_autohide_disabled_set(_index, EINA_TRUE);
    // The screen reader reads the pages, not the dots.
    efl_access_object_access_type_set(_index, EFL_ACCESS_TYPE_SKIPPED);
    _appendIndexItems();
    elm_object_part_content_set(_layout, "controller", _index);
    _markIndexItem(_currentPage);
}

void ZentrelPageController::_appendIndexItems() {
    for (int i = 0; i < PAGE_NUM_MAX; ++i) {
        Elm_Object_Item* item = elm_index_item_append(_index, nullptr, nullptr, indexItemTag(i));
        elm_object_item_style_set(item, kIndexStyles[i]);
        if (_viewController[i]) {
            _viewController[i]->setIndexItem(item);
        }
    }
    elm_index_level_go(_index, 0);
}

// The index's pages, selection and opening animation; its widget follows
// after the first frame.
void ZentrelPageController::_createIndex() {
    _maxPage = PAGE_SETTING_VIEW;
    _minPage = PAGE_ALTI_VIEW;
    _currentPage = _initialPage == PAGE_INIT ? PAGE_ALTI_VIEW : _initialPage;
    _selectIndex(_currentPage);
    elm_layout_signal_emit(_layout, "show,index,no,ani", "page_controller");
    _aniStarted = true;
    if (_initialPage != PAGE_INIT) {
        // The pager can only move to a page once its content has a size.
        evas_smart_objects_calculate(evas_object_evas_get(_layout));
        elm_scroller_page_show(_scroller, _currentPage, 0);
        if (_currentPage == PAGE_SETTING_VIEW) {
            elm_layout_signal_emit(_layout, "set,page,setting", "page_controller");
        } else {
            _emitUnitSignal("set,page,", _currentPage);
        }
        _aniStarted = false;
    }
    _runEndAnimationTimer = brisa::WUiTimer::addTimer(
        kFirstIndexSeconds,
        [this](void*) {
            _runEndAnimation();
            return false;
        },
        nullptr, _layout);
}

void ZentrelPageController::_selectIndex(int page) {
    ZentrelViewController* vc = getPage(page);
    Elm_Object_Item* item = vc ? vc->getIndexItem() : nullptr;
    if (!item && _index) {
        // The item window went away: rebuild it from the pages.
        elm_index_item_clear(_index);
        _appendIndexItems();
        item = vc ? vc->getIndexItem() : nullptr;
    }
    _lastIt = _newIt;
    _newIt = item;
    _markIndexItem(page);
    if (_layout) {
        std::string signal = "index,select," + std::to_string(page);
        elm_layout_signal_emit(_layout, signal.c_str(), "page_controller");
    }
}

void ZentrelPageController::_markIndexItem(int page) {
    ZentrelViewController* vc = getPage(page);
    if (Elm_Object_Item* item = vc ? vc->getIndexItem() : nullptr) {
        elm_index_item_selected_set(item, EINA_TRUE);
    }
    if (_index && page >= PAGE_ALTI_VIEW && page < PAGE_NUM_MAX) {
        // The index is read as the page it marks.
        efl_access_object_i18n_name_set(_index, i18n_get_text(kPageTitles[page]));
    }
}

void ZentrelPageController::_showIndex() {
    if (_aniStarted) {
        return;
    }
    elm_layout_signal_emit(_layout, "hide,picker", "alti_measuring_picker_mark_layout");
    elm_layout_signal_emit(_layout, "show,index", "page_controller");
    _aniStarted = true;
}

void ZentrelPageController::_restartAniTimer() {
    brisa::WUiTimer::destroy(_aniTimer);
    _aniTimer = brisa::WUiTimer::addTimer(
        kIndexFlashSeconds,
        [this](void*) {
            _aniStarted = false;
            _runEndAnimation();
            return false;
        },
        nullptr, _layout);
}

void ZentrelPageController::_emitUnitSignal(const char* prefix, int page) {
    std::string signal = prefix;
    signal += page == PAGE_BARO_VIEW ? std::string("baro,") + baroUnitSuffix()
                                     : std::string("alti,") + altiUnitSuffix();
    elm_layout_signal_emit(_layout, signal.c_str(), "page_controller");
}

void ZentrelPageController::_runEndAnimation() {
    if (!_layout) {
        return;
    }
    switch (_currentPage) {
        case PAGE_ALTI_VIEW:
            _emitUnitSignal("hide,index,show,", PAGE_ALTI_VIEW);
            break;
        case PAGE_BARO_VIEW:
            _emitUnitSignal("hide,index,show,", PAGE_BARO_VIEW);
            break;
        default:
            elm_layout_signal_emit(_layout, "hide,index", "page_controller");
            break;
    }
    if (_currentPage != PAGE_SETTING_VIEW && _initLaunch && !_trans) {
        const bool altiWithoutSLP = _currentPage == PAGE_ALTI_VIEW &&
                                    ZentrelStorageMgr::getInstance()->isDataSLPHistoryEmpty();
        if (!altiWithoutSLP) {
            _rotatePickerMark(ZentrelStorageMgr::getInstance()->getCurrentPressure());
        }
    }
}

bool ZentrelPageController::isPagerBlocked() const {
    return _scroller &&
           elm_scroller_movement_block_get(_scroller) != ELM_SCROLLER_MOVEMENT_NO_BLOCK;
}

void ZentrelPageController::_blockPager(bool blocked) {
    if (_scroller) {
        elm_scroller_movement_block_set(_scroller, blocked
                                                       ? static_cast<Elm_Scroller_Movement_Block>(
                                                             ELM_SCROLLER_MOVEMENT_BLOCK_VERTICAL |
                                                             ELM_SCROLLER_MOVEMENT_BLOCK_HORIZONTAL)
                                                       : ELM_SCROLLER_MOVEMENT_NO_BLOCK);
    }
}

void ZentrelPageController::_registerInputCallbacks() {
    if (_inputCallbacksRegistered || !_layout) {
        return;
    }
    _inputCallbacksRegistered = true;
    evas_object_event_callback_add(_layout, EVAS_CALLBACK_MOUSE_MOVE, _layoutMouseMove, this);
    evas_object_event_callback_add(_layout, EVAS_CALLBACK_MOUSE_DOWN, _layoutMouseDown, this);
    evas_object_event_callback_add(_layout, EVAS_CALLBACK_MOUSE_UP, _layoutMouseUp, this);
    if (_circleScroller) {
        eext_rotary_object_event_callback_add(_circleScroller, _rotaryEventCb, this);
    }
}

void ZentrelPageController::onBecomeTop() {
    ZLOG_BEGIN();
    if (!_permissionPopupAlive && _circleScroller) {
        ZLOGI("active rotary event");
        eext_rotary_object_event_activated_set(_circleScroller, EINA_TRUE);
    }
    if (_viewController[PAGE_SETTING_VIEW]) {
        _viewController[PAGE_SETTING_VIEW]->updateValue(0, 0);
    }
    for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW, PAGE_SETTING_VIEW}) {
        if (_viewController[page]) {
            _viewController[page]->onBecomeTop();
        }
    }
    ZLOG_END();
}

void ZentrelPageController::setPage(int page) {
    if (page < PAGE_ALTI_VIEW || page >= PAGE_NUM_MAX) {
        ZLOGE("invalid page(%d)", page);
        return;
    }
    _currentPage = page;
    _selectIndex(page);
    brisa::WUiTimer::destroy(_setPageIdler);
    // The requested page wins: a scroll report of the page still shown may
    // arrive before the idler and must not send the pager back there.
    _setPageIdler = brisa::WUiTimer::addIdler(
        [this, page](void*) {
            _currentPage = page;
            if (_scroller) {
                elm_scroller_page_show(_scroller, _currentPage, 0);
            }
            ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
            const double pressure = storage->getCurrentPressure();
            switch (_currentPage) {
                case PAGE_ALTI_VIEW:
                    _emitUnitSignal("set,page,", PAGE_ALTI_VIEW);
                    if (_initLaunch && !storage->isDataSLPHistoryEmpty()) {
                        _rotatePickerMark(pressure);
                        elm_layout_signal_emit(_layout, "show,picker",
                                               "alti_measuring_picker_mark_layout");
                    }
                    break;
                case PAGE_BARO_VIEW:
                    _emitUnitSignal("set,page,", PAGE_BARO_VIEW);
                    if (!_initLaunch) {
                        _startTransitTimer(pressure, false, kPickerDelay);
                        _initLaunch = true;
                    } else {
                        _rotatePickerMark(pressure);
                        elm_layout_signal_emit(_layout, "show,picker",
                                               "alti_measuring_picker_mark_layout");
                    }
                    break;
                default:
                    elm_layout_signal_emit(_layout, "set,page,setting", "page_controller");
                    break;
            }
            _aniStarted = false;
            return false;
        },
        nullptr, _layout);
}

void ZentrelPageController::_onViewSignal(int page, const std::string& signal, void* data) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (page == PAGE_BARO_VIEW) {
        if (signal == "set,page,baro") {
            _emitUnitSignal("set,page,", PAGE_BARO_VIEW);
            if (_viewController[PAGE_SETTING_VIEW]) {
                _viewController[PAGE_SETTING_VIEW]->updateValue(0, 0);
            }
        }
        return;
    }
    if (signal == "action,show,picker") {
        if (!data) {
            ZLOGE("data is null");
            return;
        }
        _latestSLP = *static_cast<double*>(data);
        if (_latestSLP != storage->getDataSLP()) {
            _initLaunch = true;
            if (_currentPage == PAGE_ALTI_VIEW) {
                _startTransitTimer(storage->getCurrentPressure(), true, 0);
            }
        }
    } else if (signal == "action,first,transit") {
        _firstTransit = true;
    } else if (signal == "action,manual,setting") {
        if (_currentPage != PAGE_SETTING_VIEW) {
            _rotatePickerMark(storage->getCurrentPressure());
            _initLaunch = true;
        }
    } else if (signal == "set,page,alti") {
        _emitUnitSignal("set,page,", PAGE_ALTI_VIEW);
        if (_viewController[PAGE_SETTING_VIEW]) {
            _viewController[PAGE_SETTING_VIEW]->updateValue(0, 0);
        }
    } else {
        ZLOGE("action error!");
    }
}

double ZentrelPageController::_calcAngle(double pressure, double slp) const {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    switch (_currentPage) {
        case PAGE_ALTI_VIEW: {
            const double alti =
                slp != 0 ? storage->getAltivalue(pressure, slp) : storage->getAltivalue(pressure);
            return alti >= -800 ? (alti + 800) * 280 / 9600 : 0;
        }
        case PAGE_BARO_VIEW:
            return pressure >= 350 ? (pressure - 350) * 280 / 800 : 0;
        default:
            return 0;
    }
}

void ZentrelPageController::_rotatePickerMark(double pressure) {
    if (_currentPage == PAGE_SETTING_VIEW) {
        elm_layout_signal_emit(_layout, "hide,picker", "alti_measuring_picker_mark_layout");
        return;
    }
    if (!_pickerLayout) {
        ZLOGE("pickerLayout is nullptr!!");
        return;
    }
    Evas_Map* map = evas_map_new(4);
    if (!map) {
        ZLOGE("map is null");
        return;
    }
    Evas_Coord x, y, w, h;
    evas_object_geometry_get(_pickerLayout, &x, &y, &w, &h);
    evas_map_util_points_populate_from_object(map, _pickerLayout);
    evas_map_util_rotate(map, _calcAngle(pressure, 0), x + w / 2, y + h / 2);
    evas_map_smooth_set(map, EINA_TRUE);
    evas_object_map_set(_pickerLayout, map);
    evas_object_map_enable_set(_pickerLayout, EINA_TRUE);
    evas_map_free(map);
    evas_object_show(_pickerLayout);
    elm_layout_signal_emit(_layout, "show,picker", "alti_measuring_picker_mark_layout");
}

void ZentrelPageController::_startTransitTimer(double pressure, bool updating, double delay) {
    brisa::WUiTimer::destroy(_transitPickerMarkTimer);
    _transitPickerMarkTimer = brisa::WUiTimer::addTimer(
        delay,
        [this, pressure, updating](void*) {
            _transitPickerMark(pressure, updating);
            return false;
        },
        nullptr, _layout);
}

void ZentrelPageController::_transitPickerMark(double pressure, bool updating) {
    ZLOGI("transit pressure %f updating %d page %d", pressure, updating, _currentPage);
    if (_currentPage == PAGE_SETTING_VIEW) {
        ZLOGI("setting view");
        return;
    }
    if (!_pickerLayout) {
        ZLOGE("pickerLayout is nullptr!!");
        return;
    }
    if (_currentPage != PAGE_ALTI_VIEW && _currentPage != PAGE_BARO_VIEW) {
        ZLOGE("_currentPage : %d", _currentPage);
        return;
    }
    if (_trans) {
        elm_transit_del_cb_set(_trans, nullptr, nullptr);
        elm_transit_del(_trans);
        _trans = nullptr;
    }
    evas_object_map_enable_set(_pickerLayout, EINA_FALSE);
    evas_object_show(_pickerLayout);
    elm_layout_signal_emit(_layout, "show,picker", "alti_measuring_picker_mark_layout");

    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    double startAngle = 0;
    int startValue = 0;
    double target = 0;
    double diff = 0;
    if (_currentPage == PAGE_ALTI_VIEW) {
        if (!updating) {
            startValue = -880;
        } else if (_firstTransit) {
            _firstTransit = false;
        } else {
            startAngle = _calcAngle(pressure, _latestSLP);
            startValue = static_cast<int>(storage->getAltivalue(pressure, _latestSLP));
        }
        target = storage->getAltivalue(pressure);
        diff = std::fabs(target - startValue);
        _transitTimeOffset += std::trunc(diff / 240) * 0.01f;
    } else {
        startValue = 920;
        target = std::trunc(pressure);
        diff = target - 920;
        _transitTimeOffset += std::trunc(diff * 0.25) * 0.01f;
    }
    const double targetAngle = _calcAngle(pressure, 0);
    const double interval = diff != 0 ? _transitTimeOffset / diff : _transitTimeOffset;
    ZLOGI("transit %f -> %f degrees, value %d -> %f, %f s", startAngle, targetAngle, startValue,
          target, _transitTimeOffset);

    _trans = elm_transit_add();
    elm_transit_object_add(_trans, _pickerLayout);
    elm_transit_effect_rotation_add(_trans, startAngle, targetAngle);
    elm_transit_smooth_set(_trans, EINA_TRUE);
    elm_transit_duration_set(_trans, _transitTimeOffset > 0 ? _transitTimeOffset : 0.4);
    elm_transit_tween_mode_set(_trans, ELM_TRANSIT_TWEEN_MODE_BEZIER_CURVE);
    double factors[] = {0.39, 0.57, 0.56, 1.0};
    elm_transit_tween_mode_factor_n_set(_trans, 4, factors);
    elm_transit_objects_final_state_keep_set(_trans, EINA_TRUE);
    elm_transit_del_cb_set(_trans, _transitEndCb, this);
    elm_transit_go(_trans);

    if (_currentPage == PAGE_ALTI_VIEW && updating) {
        ZLOGI("ALTIVALUE is updating now");
        _startCountUp(startValue, target, std::fabs(interval));
    } else if (_currentPage == PAGE_BARO_VIEW) {
        _transitTimeOffset = 0.4f;
    }
}

void ZentrelPageController::_startCountUp(int startValue, double target, double interval) {
    _initValue = startValue;
    _value = static_cast<int>(std::trunc(target));
    const int diff = std::abs(_value - _initValue);
    _valueCnt = std::max(1, diff / 20);
    _positive = _value > _initValue;
    if (_initValue == _value) {
        ZLOGI("_initValue == _value");
        _transitTimeOffset = 0.4f;
        return;
    }
    brisa::WUiTimer::destroy(_updateValueTimer);
    _updateValueTimer = brisa::WUiTimer::addTimer(
        interval > 0 ? interval : 0.001,
        [this](void*) {
            _initValue = _positive ? std::min(_initValue + _valueCnt, _value)
                                   : std::max(_initValue - _valueCnt, _value);
            if (_viewController[PAGE_ALTI_VIEW]) {
                _viewController[PAGE_ALTI_VIEW]->updateValue(_initValue, _initValue);
            }
            if (_initValue == _value) {
                ZLOGI("out the loop");
                _initValue = 0;
                _value = 0;
                _transitTimeOffset = 0.4f;
                return false;
            }
            return true;
        },
        nullptr, _layout);
}

void ZentrelPageController::_transitEndCb(void* data, Elm_Transit*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    ZLOGI("page movement enabled");
    self->_blockPager(false);
    for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW}) {
        if (self->_viewController[page]) {
            self->_viewController[page]->onLaunchAnimationEnd();
        }
    }
    self->_registerInputCallbacks();
    self->_trans = nullptr;
}

void ZentrelPageController::_endAnimationCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (storage->getLDUModeEnable()) {
        if (!self->_initLaunch) {
            self->_startTransitTimer(kLduPressure, false, kPickerDelay);
            self->_initLaunch = true;
        } else {
            self->_rotatePickerMark(kLduPressure);
            elm_layout_signal_emit(self->_layout, "show,picker",
                                   "alti_measuring_picker_mark_layout");
        }
        return;
    }
    ZLOGI("page movement enabled");
    self->_blockPager(false);
    if (self->_currentPage == PAGE_ALTI_VIEW && storage->isDataSLPHistoryEmpty()) {
        for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW}) {
            if (self->_viewController[page]) {
                self->_viewController[page]->onLaunchAnimationEnd();
            }
        }
        self->_registerInputCallbacks();
        return;
    }
    if (self->_currentPage == PAGE_SETTING_VIEW) {
        ZLOGI("setting page");
        // No needle sweeps in here, so nothing else would hook up the edge
        // feedback of drags and bezel turns.
        self->_registerInputCallbacks();
        return;
    }
    if (!self->_initLaunch) {
        brisa::WUiTimer::destroy(self->_transitPickerMarkTimer);
        self->_transitPickerMarkTimer = brisa::WUiTimer::addTimer(
            kPickerDelay,
            [self](void*) {
                self->_initLaunch = true;
                self->_transitPickerMark(ZentrelStorageMgr::getInstance()->getCurrentPressure(),
                                         false);
                return false;
            },
            nullptr, self->_layout);
    } else {
        elm_layout_signal_emit(self->_layout, "show,picker", "alti_measuring_picker_mark_layout");
    }
}

void ZentrelPageController::_scrollCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    int page = 0;
    elm_scroller_current_page_get(self->_scroller, &page, nullptr);
    ZLOGD("current_page : %d", page);
    if (page == self->_currentPage) {
        return;
    }
    if (page < PAGE_ALTI_VIEW || page >= PAGE_NUM_MAX) {
        ZLOGE("Invalid page(%d)", page);
        return;
    }
    self->_prevPage = self->_currentPage;
    self->_currentPage = page;
    self->_selectIndex(page);
    brisa::WUiTimer::destroy(self->_aniTimer);
    self->_showIndex();
}

void ZentrelPageController::_scrollAniStopCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    brisa::WUiTimer::destroy(self->_aniTimer);
    for (int page = 0; page < PAGE_NUM_MAX; ++page) {
        if (page != self->_currentPage && self->_viewController[page]) {
            self->_viewController[page]->onBecomeHidePage();
        }
    }
    if (ZentrelViewController* current = self->getPage(self->_currentPage)) {
        current->scrollEnd();
        current->onBecomeTopPage();
    }
    self->_restartAniTimer();
}

Eina_Bool ZentrelPageController::_rotaryEventCb(void* data, Evas_Object*,
                                                Eext_Rotary_Event_Info* info) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self || !info) {
        ZLOGE("data is null");
        return EINA_FALSE;
    }
    const bool clockwise = info->direction == EEXT_ROTARY_DIRECTION_CLOCKWISE;
    const bool atEdge = (!clockwise && self->_currentPage == self->_minPage) ||
                        (clockwise && self->_currentPage == self->_maxPage);
    if (!atEdge) {
        return EINA_FALSE;
    }
    self->_showIndex();
    self->_restartAniTimer();
    return EINA_TRUE;
}

void ZentrelPageController::_layoutMouseDown(void* data, Evas*, Evas_Object*, void* eventInfo) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self || !eventInfo) {
        ZLOGE("data is null");
        return;
    }
    self->_isMouseDown = true;
    self->_lastMoveX = static_cast<Evas_Event_Mouse_Down*>(eventInfo)->canvas.x;
}

void ZentrelPageController::_layoutMouseUp(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_isMouseDown = false;
}

void ZentrelPageController::_layoutMouseMove(void* data, Evas*, Evas_Object*, void* eventInfo) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self || !eventInfo) {
        ZLOGE("data is null");
        return;
    }
    if (!self->_isMouseDown) {
        ZLOGD("This is not real move event.");
        return;
    }
    const int x = static_cast<Evas_Event_Mouse_Move*>(eventInfo)->cur.canvas.x;
    const int dx = x - self->_lastMoveX;
    self->_lastMoveX = x;
    // Dragging towards a neighbour that does not exist: the pager stays put.
    const bool atEdge = (self->_currentPage == self->_minPage && dx > kDragThreshold) ||
                        (self->_currentPage == self->_maxPage && dx < -kDragThreshold);
    if (atEdge) {
        self->_showIndex();
        self->_restartAniTimer();
    }
}

void ZentrelPageController::_layoutResizeCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelPageController*>(data);
    if (!self || !obj) {
        ZLOGE("data is null");
        return;
    }
    Evas_Coord w = 0, h = 0;
    evas_object_geometry_get(obj, nullptr, nullptr, &w, &h);
    if (self->_scroller && w > 0 && h > 0) {
        elm_scroller_page_size_set(self->_scroller, w, h);
        // A page asked for before the pager had its size is shown now.
        elm_scroller_page_show(self->_scroller, self->_currentPage, 0);
    }
}

void ZentrelPageController::onAppPaused() {
    _pauseSensor();
}

void ZentrelPageController::onAppResumed() {
    ZLOG_BEGIN();
    const int64_t now = currentTime();
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (_isThemeChanged) {
        _isThemeChanged = false;
        _recreateSettingPage();
    }
    bool haveSensor = false;
    {
        std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
        haveSensor = _sensorSlot->sensor != nullptr;
    }
    if (storage->getLDUModeEnable()) {
        storage->setCurrentPressure(kLduPressure);
    } else if (!haveSensor) {
        _createSensorOnThread();
    } else {
        _resumeSensor();
        if (now - _lastGraphUpdateTime >= GRAPH_PERIOD) {
            ZLOGI("Need to Update Graph by Resume");
            for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW}) {
                if (_viewController[page]) {
                    _viewController[page]->deleteGraph();
                    _viewController[page]->initGraph();
                }
            }
            _initGraphItemList(now);
            if (auto* alti = static_cast<ZentrelAltiViewController*>(_viewController[0])) {
                alti->setGraphItemList(_graphItemList);
            }
            if (auto* baro = static_cast<ZentrelBaroViewController*>(_viewController[1])) {
                baro->setGraphItemList(_graphItemList);
            }
            _startTime = now - GRAPH_PERIOD;
            _validStartTimeFound = false;
            _requestRecorded(now);
        }
    }
    auto* alti = static_cast<ZentrelAltiViewController*>(_viewController[PAGE_ALTI_VIEW]);
    if (alti) {
        const long long calTime = storage->getDataCalTime();
        if (storage->getAutoRefresh() == 1 && calTime > 0 && now - calTime > GRAPH_AUTO_PERIOD) {
            alti->runAutoCalibration();
        }
        alti->updateCalTime();
    }
    ZLOG_END();
}

void ZentrelPageController::_initGraphItemList(int64_t t) {
    if (t == 0) {
        t = currentTime();
    }
    _lastGraphUpdateTime = t;
    _lastListItemTime = t - GRAPH_PERIOD;
    auto list = std::make_shared<ZentrelGraphItemList>();
    for (int i = GRAPH_POINT - 1; i >= 0; --i) {
        ZentrelGraphItem item;
        item._itemTime = _lastListItemTime - static_cast<int64_t>(i) * GRAPH_PERIOD;
        item._itemAlti = -9900;
        item._itemBaro = 0;
        list->appendItem(item);
    }
    _graphItemList = list;
}

void ZentrelPageController::_initSLPItemList() {
    _slpItemList = std::make_shared<ZentrelSLPItemList>();
}

// The sensor and its main-loop sources are made here, on the main loop, so their
// ids are written and cleared on one thread; only the recorder daemon's start,
// which forks and waits, goes to a thread.
void ZentrelPageController::_createSensorOnThread() {
    {
        std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
        if (_sensorSlot->closed || _sensorSlot->sensor) {
            return;
        }
        auto& sensor = _sensorSlot->sensor;
        sensor = std::make_unique<ZentrelSensor>(this);
        sensor->startSensor();
        sensor->startSensorIndicator();
        sensor->getSensorRecorder(static_cast<long>(_lastGraphUpdateTime));
    }
    std::thread(_sensorThread, _sensorSlot).detach();
    _startTime = _lastGraphUpdateTime - GRAPH_PERIOD;
    _validStartTimeFound = false;
}

// Runs without the slot lock, so pausing or closing the UI meanwhile is not
// held up; the outcome is handed to the main loop.
void ZentrelPageController::_sensorThread(std::shared_ptr<SensorSlot> slot) {
    struct Started {
        std::shared_ptr<SensorSlot> slot;
        bool recording;
    };
    auto* started = new Started{std::move(slot), ZentrelSensor::startRecorderDaemon()};
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto* done = static_cast<Started*>(data);
            std::lock_guard<std::mutex> lock(done->slot->mutex);
            if (!done->recording) {
                return G_SOURCE_REMOVE;
            }
            if (done->slot->closed || !done->slot->sensor) {
                // Closed meanwhile: stopped as closing would have stopped it.
                sensor_recorder_stop(SENSOR_PRESSURE);
                return G_SOURCE_REMOVE;
            }
            done->slot->sensor->startSensorRecorder();  // it runs: this only takes it on
            return G_SOURCE_REMOVE;
        },
        started, [](gpointer data) { delete static_cast<Started*>(data); });
}

void ZentrelPageController::_requestRecorded(int64_t until) {
    std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
    if (_sensorSlot->sensor) {
        _sensorSlot->sensor->getSensorRecorder(static_cast<long>(until));
    }
}

void ZentrelPageController::_pauseSensor() {
    std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
    if (_sensorSlot->sensor) {
        _sensorSlot->sensor->pauseSensor();
    }
}

void ZentrelPageController::_resumeSensor() {
    std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
    if (_sensorSlot->sensor) {
        _sensorSlot->sensor->resumeSensor();
    }
}

void ZentrelPageController::_destroySensor() {
    std::lock_guard<std::mutex> lock(_sensorSlot->mutex);
    _sensorSlot->closed = true;
    if (_sensorSlot->sensor) {
        _sensorSlot->sensor->stopSensor();
        _sensorSlot->sensor->stopSensorRecorder();
        _sensorSlot->sensor->stopSensorIndicator();
        _sensorSlot->sensor.reset();
    }
}

void ZentrelPageController::_updateLimits(double pressure, double altitude) {
    if (!_graphItemList) {
        return;
    }
    const auto p = static_cast<int32_t>(pressure);
    const auto a = static_cast<int32_t>(altitude);
    if (p < _graphItemList->getBaroMin()) {
        _graphItemList->setBaroMin(p);
    } else if (p > _graphItemList->getBaroMax()) {
        _graphItemList->setBaroMax(p);
    }
    if (a < _graphItemList->getAltiMin()) {
        _graphItemList->setAltiMin(a);
    } else if (a > _graphItemList->getAltiMax()) {
        _graphItemList->setAltiMax(a);
    }
}

void ZentrelPageController::_rebuildGraphs() {
    for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW}) {
        if (_viewController[page]) {
            _viewController[page]->deleteGraph();
            _viewController[page]->initGraph();
            _viewController[page]->createGraph(_graphItemList);
        }
    }
}

bool ZentrelPageController::onCurrentPressure(float pressure) {
    const int64_t now = currentTime();
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const double p = pressure;
    if (!storage->getLDUModeEnable() && !storage->getDebugFeature() &&
        storage->getCurrentPressure() == 0 && p < 0) {
        storage->setCurrentPressure(p);
        _showSensorFailurePopup();
        return false;
    }
    storage->setCurrentPressure(p);
    const double altitude = std::trunc(storage->getAltivalue(p));
    if (_graphItemList && _graphItemList->getCount() > 0) {
        const ZentrelGraphItem& last = _graphItemList->getLastItem();
        if (last._itemBaro <= 0) {
            _graphItemList->updateItemInfo(last._itemTime, std::trunc(p), altitude);
            ZLOGI("Last pressure is 0, create new graph (%lf, %lf)", std::trunc(p), altitude);
            _updateLimits(p, altitude);
            _rebuildGraphs();
        } else if (_slpItemList && _lastGraphUpdateTime != 0 &&
                   now - _lastGraphUpdateTime >= GRAPH_PERIOD) {
            const double slp = _slpItemList->getDynamicSLP(now);
            ZentrelGraphItem item;
            item._itemTime = _lastGraphUpdateTime;
            item._itemAlti = static_cast<int32_t>(std::trunc(storage->getAltivalue(p, slp)));
            item._itemBaro = static_cast<int32_t>(std::trunc(p));
            _graphItemList->appendItem(item);
            _lastListItemTime = _lastGraphUpdateTime;
            _lastGraphUpdateTime += GRAPH_PERIOD;
            ZLOGI("Update graph (Time:%lld)(%lf, %lf, %lf)", static_cast<long long>(item._itemTime),
                  p, static_cast<double>(item._itemAlti), slp);
            _updateLimits(p, item._itemAlti);
            for (int page : {PAGE_ALTI_VIEW, PAGE_BARO_VIEW}) {
                if (_viewController[page]) {
                    _viewController[page]->addGraphItem(_graphItemList);
                }
            }
            _graphItemList->removeItem(0);
        }
    }
    if (_viewController[PAGE_BARO_VIEW]) {
        _viewController[PAGE_BARO_VIEW]->updateValue(p, 0);
    }
    // The settings summary re-reads the store with each reading, so another
    // program's change shows within a second.
    if (_viewController[PAGE_SETTING_VIEW]) {
        _viewController[PAGE_SETTING_VIEW]->updateValue(p, 0);
    }
    if (_currentPage == PAGE_ALTI_VIEW && storage->isDataSLPHistoryEmpty()) {
        return true;
    }
    if (_viewController[PAGE_ALTI_VIEW]) {
        _viewController[PAGE_ALTI_VIEW]->updateValue(p, 0);
    }
    if (_initLaunch && !_trans) {
        _rotatePickerMark(p);
    }
    return true;
}

bool ZentrelPageController::onRecordedPressure(long long time, double pressure, int index) {
    if (!_validStartTimeFound && time > 0) {
        _startTime = time + static_cast<int64_t>(GRAPH_PERIOD) * index;
        _validStartTimeFound = true;
    }
    if (pressure < 260.0 || pressure > 1260.0) {
        ZLOGW("Wrong Value  %lld , %lf occured at %s", time, pressure,
              clockText(_startTime - static_cast<int64_t>(GRAPH_PERIOD) * index).c_str());
        return true;
    }
    const double slp = _slpItemList ? _slpItemList->getDynamicSLP(time) : 0.0;
    if (slp == 0 || pressure == 0) {
        ZLOGW("divider is zero! %lf, %lf occured at %s", slp, pressure,
              clockText(_startTime - static_cast<int64_t>(GRAPH_PERIOD) * index).c_str());
    }
    const double altitude = ZentrelStorageMgr::getInstance()->getAltivalue(pressure, slp);
    if (_graphItemList) {
        _graphItemList->updateItemInfo(time, pressure, altitude);
    }
    return true;
}

bool ZentrelPageController::onRecorderCBComplete() {
    if (!_graphItemList || _graphItemList->getCount() == 0) {
        return true;
    }
    _graphItemList->restoreMissingItem();
    _graphItemList->updateMinMax();
    if (_graphItemList->getLastItem()._itemBaro <= 0) {
        ZLOGI("Last Item has 0 Pressure do not update it");
        return true;
    }
    _rebuildGraphs();
    return true;
}

bool ZentrelPageController::onBarometricTrendIndicator(float value) {
    ZLOGI("onBarometricTrendIndicator value : %f", value);
    if (static_cast<int>(value) != 0) {
        if (_viewController[PAGE_BARO_VIEW]) {
            _viewController[PAGE_BARO_VIEW]->updateIndicator(value);
        }
        return true;
    }
    ZLOGW("Sensor sent wrong value");
    return false;
}

void ZentrelPageController::_showSensorFailurePopup() {
    if (getPopup() || !_layout) {
        return;
    }
    // A round popup over the whole window: the message and one confirm button.
    Evas_Object* win = elm_object_top_widget_get(_layout);
    Evas_Object* popup = elm_layout_add(win ? win : _layout);
    elm_layout_file_set(popup, ZentrelUtil::getAppEdjFilePath(),
                        "elm/layout/popup/content/circle/buttons1");
    Evas_Object* text = elm_label_add(popup);
    elm_label_line_wrap_set(text, ELM_WRAP_MIXED);
    std::string markup =
        std::string("<align=center><font_size=26 color=#FAFAFA>") +
        i18n_get_text(
            "WDS_ALTI_BODY_ZENTREL_HAS_CLOSED_DUE_TO_A_SENSOR_ISSUE_RESTART_THE_APP_AND_"
            "TRY_AGAIN") +
        "</font_size></align>";
    elm_object_text_set(text, markup.c_str());
    evas_object_size_hint_weight_set(text, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(text, EVAS_HINT_FILL, 0.5);
    elm_object_part_content_set(popup, "elm.swallow.content", text);
    Evas_Object* button = elm_button_add(popup);
    elm_object_text_set(button, i18n_get_text("IDS_COM_SK_OK"));
    evas_object_smart_callback_add(
        button, "clicked", [](void*, Evas_Object*, void*) { ui_app_exit(); }, nullptr);
    elm_object_part_content_set(popup, "elm.swallow.button1", button);
    if (win) {
        Evas_Coord w = 0, h = 0;
        evas_object_geometry_get(win, nullptr, nullptr, &w, &h);
        evas_object_resize(popup, w, h);
    }
    evas_object_layer_set(popup, EVAS_LAYER_MAX - 1);
    evas_object_show(popup);
    attachPopup(popup);
}
