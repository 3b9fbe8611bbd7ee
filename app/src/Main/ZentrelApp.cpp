#include "ZentrelApp.h"

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ZentrelBuildConfig.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/app_event.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZentrelBroadCaster.h"
#include "ZentrelPageController.h"
#include "ZentrelUtil.h"

namespace {

constexpr double kBaseScale = 1.8;

std::string takeString(char* text) {
    std::string value = text ? text : "";
    free(text);
    return value;
}

}  // namespace

ZentrelApp::ZentrelApp() = default;

ZentrelApp::~ZentrelApp() {
    // The window goes after this object; its pages must not call back here.
    if (_pageController && _pageController->getEvasObj()) {
        evas_object_event_callback_del_full(_pageController->getEvasObj(), EVAS_CALLBACK_DEL,
                                            _pageControllerDelCb, this);
    }
}

bool ZentrelApp::onCreate() {
    ZLOG_BEGIN();
    ZentrelStorageMgr::getInstance()->initStorage();
    _regionFormatChangedHandler.addEventHandler(APP_EVENT_REGION_FORMAT_CHANGED,
                                                _regionFormatChangedCb, this);
    _languageChangedHandler.addEventHandler(APP_EVENT_LANGUAGE_CHANGED, _languageChangedCb, this);
    auto* window = new brisa::WWindowController("ZentrelMainApp", ELM_WIN_BASIC);
    attachWindowController(window);
    elm_app_base_scale_set(kBaseScale);
    auto* navi = new brisa::WNaviframeController();
    if (!window->attachBaseViewController(navi)) {
        ZLOGE("no naviframe");
        return false;
    }
    elm_theme_extension_add(nullptr, ZentrelUtil::getAppEdjFilePath());
    _createChangeableTables();
    ZLOG_END();
    return true;
}

void ZentrelApp::_createChangeableTables() {
    uxt_theme_changeable_ui_enabled_set(true);
    if (!_colorTable) {
        _colorTable = uxt_theme_color_table_load(ZentrelUtil::getAppColorTablePath());
        uxt_theme_table_apply(_colorTable);
        uxt_theme_add_color_changed_cb(_themeChangedCb, this);
    } else {
        ZLOGI("Color table already created.");
    }
    if (!_fontTable) {
        _fontTable = uxt_theme_font_table_load(ZentrelUtil::getAppFontTablePath());
        uxt_theme_table_apply(_fontTable);
        uxt_theme_add_font_changed_cb(_themeChangedCb, this);
    } else {
        ZLOGI("Font table already created.");
    }
}

int ZentrelApp::_pageFromRequest(app_control_h appControl) {
    char* text = nullptr;
    if (app_control_get_extra_data(appControl, "page", &text) != APP_CONTROL_ERROR_NONE || !text) {
        ZLOGI("no page info");
        return ZentrelPageController::PAGE_ALTI_VIEW;
    }
    int error = 0;
    int page = ZentrelUtil::charToInt(text, error);
    if (error != 0) {
        page = ZentrelPageController::PAGE_ALTI_VIEW;
    }
    ZLOGI("page [%s][%d]", text, page);
    free(text);
    return page;
}

void ZentrelApp::onAppControl(app_control_h appControl, bool firstLaunch) {
    ZLOGI("onAppControl() start (firstLaunch [%d])", firstLaunch);
    auto* navi = static_cast<brisa::WNaviframeController*>(
        getWindowController() ? getWindowController()->getBaseViewController() : nullptr);
    char* operationText = nullptr;
    app_control_get_operation(appControl, &operationText);
    const std::string operation = takeString(operationText);
    ZentrelLogging* logging = ZentrelLogging::getInstance();
    if (firstLaunch) {
        _pageController = new ZentrelPageController();
        ZLOGI("operation [%s]", operation.c_str());
        logging->setQueueEnableStatus(true);
        void* param = nullptr;
        if (operation == ZENTREL_OPERATION_WIDGET_OPEN) {
            logging->sendKorvaneLog(LAUNCH_PATH, "Widget launch", nullptr);
            ZLOGI("App launched from widget");
            int page = _pageFromRequest(appControl);
            // Later launches go through setPage, which refuses such a page too.
            if (page < ZentrelPageController::PAGE_ALTI_VIEW ||
                page >= ZentrelPageController::PAGE_NUM_MAX) {
                ZLOGE("invalid page(%d)", page);
                page = ZentrelPageController::PAGE_ALTI_VIEW;
            }
            param = reinterpret_cast<void*>(static_cast<intptr_t>(page));
        } else {
            logging->sendKorvaneLog(LAUNCH_PATH, "Apps launch", nullptr);
        }
        if (!navi || !navi->push(_pageController, "ZentrelPageController", param)) {
            ZLOGE("page controller not pushed");
            _pageController = nullptr;
        } else {
            evas_object_event_callback_add(_pageController->getEvasObj(), EVAS_CALLBACK_DEL,
                                           _pageControllerDelCb, this);
        }
    } else if (navi && _pageController) {
        Eina_List* items = elm_naviframe_items_get(navi->getEvasObj());
        ZLOGI("naviframe items count %d", eina_list_count(items));
        Eina_List* last = eina_list_last(items);
        // Everything above the pager goes, newest first.
        for (Eina_List* l = last; l && l != items; l = eina_list_prev(l)) {
            elm_object_item_del(static_cast<Elm_Object_Item*>(eina_list_data_get(l)));
        }
        eina_list_free(items);
        _pageController->onBecomeTop();
        if (operation == ZENTREL_OPERATION_WIDGET_OPEN) {
            logging->sendKorvaneLog(LAUNCH_PATH, "Widget launch", nullptr);
            ZLOGI("App resumed from widget");
            _pageController->onAppResumed();
            _pageController->setPage(_pageFromRequest(appControl));
        } else if (operation == APP_CONTROL_OPERATION_MAIN) {
            logging->sendKorvaneLog(LAUNCH_PATH, "Apps launch", nullptr);
            ZLOGI("App resumed from main menu");
            _pageController->onAppResumed();
            _pageController->setPage(ZentrelPageController::PAGE_ALTI_VIEW);
        }
    }
    ZLOGI("onAppControl() end");
}

void ZentrelApp::_pageControllerDelCb(void* data, Evas*, Evas_Object*, void*) {
    static_cast<ZentrelApp*>(data)->_pageController = nullptr;
}

void ZentrelApp::onPause() {
    if (_pageController) {
        _pageController->onAppPaused();
    }
}

void ZentrelApp::onResume() {
    const char* version = nullptr;
    const char* updateVersion = nullptr;
    ZentrelStorageMgr::getInstance()->getAppVersion(&version, &updateVersion);
    ZLOGI("version %s, updateVersion %s", version ? version : "",
          updateVersion ? updateVersion : "");
    if (_pageController) {
        _pageController->onAppResumed();
    }
    if (getWindowController()) {
        Evas* evas = evas_object_evas_get(getWindowController()->getEvasObj());
        evas_event_callback_add(evas, EVAS_CALLBACK_RENDER_FLUSH_POST, _renderFlushPostCb, this);
    }
}

void ZentrelApp::_renderFlushPostCb(void* data, Evas* evas, void*) {
    evas_event_callback_del_full(evas, EVAS_CALLBACK_RENDER_FLUSH_POST, _renderFlushPostCb, data);
    ZentrelLogging::getInstance()->dequeueLogData();
}

void ZentrelApp::onTerminate() {
    _regionFormatChangedHandler.removeEventHandler();
    _languageChangedHandler.removeEventHandler();
    uxt_theme_remove_color_changed_cb(_themeChangedCb);
    uxt_theme_remove_font_changed_cb(_themeChangedCb);
    if (_colorTable) {
        uxt_theme_table_free(_colorTable);
        _colorTable = nullptr;
    }
    if (_fontTable) {
        uxt_theme_table_free(_fontTable);
        _fontTable = nullptr;
    }
    ZentrelBroadCaster::deleteBroadCaster();
}

void ZentrelApp::_languageChangedCb(app_event_info_h event, void*) {
    char* language = nullptr;
    app_event_get_language(event, &language);
    if (language) {
        elm_language_set(language);
        free(language);
    }
    if (ZentrelStorageMgr::getInstance()->getLDUModeEnable()) {
        ZentrelStorageMgr::getInstance()->initStorage();
    }
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
}

void ZentrelApp::_regionFormatChangedCb(app_event_info_h event, void*) {
    char* region = nullptr;
    app_event_get_region_format(event, &region);
    free(region);
}

void ZentrelApp::_themeChangedCb(void* data) {
    auto* self = static_cast<ZentrelApp*>(data);
    if (!self) {
        ZLOGE("data is nullptr");
        return;
    }
    // Applying a table calls the change callbacks again.
    static bool applying = false;
    if (applying) {
        return;
    }
    applying = true;
    if (self->_colorTable) {
        uxt_theme_table_apply(self->_colorTable);
    }
    if (self->_fontTable) {
        uxt_theme_table_apply(self->_fontTable);
    }
    applying = false;
    if (self->_pageController) {
        self->_pageController->setThemeChangedStatus();
    }
}
