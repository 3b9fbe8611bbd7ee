// The widget program: the application and instance callbacks of the widget
// framework around ZentrelWidgetView.
#define ZENTREL_LOG_TAG "ZENTRELWIDGET"

#include <Elementary.h>
#include <ostra/app_common.h>
#include <ostra/uxt_theme.h>
#include <ostra/widget_app.h>

#include <cstdlib>
#include <new>

#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelUtil.h"
#include "ZentrelWidgetView.h"

namespace {

enum eEventType {
    LANGUAGE_CHANGED = 0,
    FONT_CHANGED = 1,
};

struct widget_instance_data {
    Evas_Object* win;
    Evas_Object* conform;
    ZentrelWidgetView* view;
    uxt_theme_table_h colorTable;
    uxt_theme_table_h fontTable;
};

bool sendEvent(widget_context_h context, void* data) {
    void* tag = nullptr;
    widget_app_context_get_tag(context, &tag);
    auto* wid = static_cast<widget_instance_data*>(tag);
    if (!wid || !wid->view) {
        return true;
    }
    switch (static_cast<eEventType>(reinterpret_cast<intptr_t>(data))) {
        case LANGUAGE_CHANGED:
            wid->view->onLanguageChanged();
            break;
        case FONT_CHANGED:
            wid->view->onFontChanged();
            break;
        default:
            ZLOGE("Not defined event.");
            break;
    }
    return true;
}

void broadcast(eEventType event) {
    widget_app_foreach_context(sendEvent, reinterpret_cast<void*>(static_cast<intptr_t>(event)));
}

void fontChangedCb(void*) {
    broadcast(FONT_CHANGED);
}

void loadTables(widget_instance_data* wid) {
    if (wid->colorTable) {
        ZLOGW("Color table already created.");
    } else {
        wid->colorTable = uxt_theme_color_table_load(ZentrelUtil::getAppColorTablePath());
        uxt_theme_table_apply(wid->colorTable);
    }
    if (wid->fontTable) {
        ZLOGW("Font table already created.");
    } else {
        wid->fontTable = uxt_theme_font_table_load(ZentrelUtil::getAppFontTablePath());
        uxt_theme_table_apply(wid->fontTable);
    }
    uxt_theme_add_font_changed_cb(fontChangedCb, nullptr);
}

int instanceCreate(widget_context_h context, bundle*, int w, int h, void*) {
    auto* wid = new (std::nothrow) widget_instance_data{};
    if (!wid) {
        ZLOGE("failed to create widget_instance_data");
        return WIDGET_ERROR_FAULT;
    }
    int ret = widget_app_get_elm_win(context, &wid->win);
    if (ret != WIDGET_ERROR_NONE) {
        ZLOGE("failed to get window. err = %d", ret);
        delete wid;
        return WIDGET_ERROR_FAULT;
    }
    evas_object_resize(wid->win, w, h);
    wid->conform = elm_conformant_add(wid->win);
    evas_object_size_hint_weight_set(wid->conform, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(wid->win, wid->conform);
    evas_object_show(wid->conform);
    loadTables(wid);
    wid->view = new ZentrelWidgetView();
    Evas_Object* layout = wid->view->create(wid->conform);
    if (layout) {
        elm_object_content_set(wid->conform, layout);
        evas_object_move(layout, 0, 0);
        evas_object_resize(layout, w, h);
    }
    evas_object_show(wid->win);
    widget_app_context_set_tag(context, wid);
    return WIDGET_ERROR_NONE;
}

int instanceDestroy(widget_context_h context, widget_app_destroy_type_e, bundle*, void*) {
    void* tag = nullptr;
    widget_app_context_get_tag(context, &tag);
    auto* wid = static_cast<widget_instance_data*>(tag);
    if (!wid) {
        return WIDGET_ERROR_NONE;
    }
    delete wid->view;
    if (wid->win) {
        evas_object_del(wid->win);
    }
    uxt_theme_remove_font_changed_cb(fontChangedCb);
    uxt_theme_table_free(wid->colorTable);
    uxt_theme_table_free(wid->fontTable);
    delete wid;
    widget_app_context_set_tag(context, nullptr);
    return WIDGET_ERROR_NONE;
}

ZentrelWidgetView* viewOf(widget_context_h context) {
    void* tag = nullptr;
    widget_app_context_get_tag(context, &tag);
    auto* wid = static_cast<widget_instance_data*>(tag);
    return wid ? wid->view : nullptr;
}

int instancePause(widget_context_h context, void*) {
    if (ZentrelWidgetView* view = viewOf(context)) {
        view->paused();
    }
    return WIDGET_ERROR_NONE;
}

int instanceResume(widget_context_h context, void*) {
    const char* version = nullptr;
    const char* updateVersion = nullptr;
    ZentrelStorageMgr::getInstance()->getAppVersion(&version, &updateVersion);
    ZLOGI("version %s, update version %s", version ? version : "",
          updateVersion ? updateVersion : "");
    if (ZentrelWidgetView* view = viewOf(context)) {
        view->resumed();
    }
    return WIDGET_ERROR_NONE;
}

int instanceResize(widget_context_h, int, int, void*) {
    return WIDGET_ERROR_NONE;
}

int instanceUpdate(widget_context_h, bundle*, int, void*) {
    return WIDGET_ERROR_NONE;
}

void languageChangedCb(app_event_info_h event, void*) {
    char* locale = nullptr;
    app_event_get_language(event, &locale);
    if (locale) {
        elm_language_set(locale);
        free(locale);
    }
    broadcast(LANGUAGE_CHANGED);
}

void regionChangedCb(app_event_info_h, void*) {}

app_event_handler_h gHandlers[2] = {nullptr, nullptr};

widget_class_h widgetAppCreate(void*) {
    widget_app_add_event_handler(&gHandlers[0], APP_EVENT_LANGUAGE_CHANGED, languageChangedCb,
                                 nullptr);
    widget_app_add_event_handler(&gHandlers[1], APP_EVENT_REGION_FORMAT_CHANGED, regionChangedCb,
                                 nullptr);
    ZentrelStorageMgr::getInstance()->initStorage();
    widget_instance_lifecycle_callback_s callbacks = {instanceCreate, instanceDestroy,
                                                      instancePause,  instanceResume,
                                                      instanceResize, instanceUpdate};
    return widget_app_class_create(callbacks, nullptr);
}

void widgetAppTerminate(void*) {
    for (auto& handler : gHandlers) {
        if (handler) {
            widget_app_remove_event_handler(handler);
            handler = nullptr;
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    setenv("ELM_PROD_THEME", "pulse", 1);
    // Started from the shell the widget is still the widget, not the package's
    // main program (a launcher names the app in OSTRA_APP_ID).
    if (!getenv("OSTRA_APP_ID")) {
        ostra_app_set_app_id(ZENTREL_APP_ID_WIDGET);
    }
    widget_app_lifecycle_callback_s ops = {widgetAppCreate, widgetAppTerminate};
    int ret = widget_app_main(argc, argv, &ops, nullptr);
    if (ret != WIDGET_ERROR_NONE) {
        ZLOGE("widget_app_main() is failed. err = %d", ret);
    }
    return ret;
}
