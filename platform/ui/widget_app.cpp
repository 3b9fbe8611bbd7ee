#include <Elementary.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AppControlWire.h"
#include "AppCore.h"
#include "FirstFrameLog.h"
#include "PlatformLog.h"
#include "TouchInput.h"
#include "UnmanagedWindow.h"
#include "WidgetInstance.h"
#include "ostra/ostra_efl.h"
#include "ostra/utils_i18n.h"
#include "ostra/widget_app.h"
#include "ostra/widget_control.h"

namespace {

constexpr int kInstanceSize = 360;

struct WidgetApp {
    std::unique_ptr<_widget_class> widgetClass;
    std::vector<std::unique_ptr<_widget_context>> contexts;
};

WidgetApp& app() {
    static WidgetApp a;
    return a;
}

void winDeleteRequestCb(void*, Evas_Object*, void*) {
    elm_exit();
}

ostra::WidgetInstance* instanceOf(widget_context_h context) {
    return context ? context->instance : nullptr;
}

Evas_Object* addInstanceWindow() {
    const std::string& appId = ostra::AppCore::appId();
    Evas_Object* win = elm_win_add(nullptr, appId.c_str(), ELM_WIN_BASIC);
    elm_win_title_set(win, appId.c_str());
    elm_win_autodel_set(win, EINA_FALSE);
    evas_object_smart_callback_add(win, "delete,request", winDeleteRequestCb, nullptr);
    // The home screen's background behind the widget.
    Evas_Object* bg = elm_bg_add(win);
    elm_bg_color_set(bg, 0, 0, 0);
    evas_object_size_hint_weight_set(bg, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(win, bg);
    evas_object_show(bg);
    evas_object_resize(win, kInstanceSize, kInstanceSize);
    return win;
}

bool createInstance() {
    WidgetApp& a = app();
    auto context = std::make_unique<_widget_context>();
    context->instance = nullptr;
    auto* instance =
        new ostra::WidgetInstance(context.get(), a.widgetClass.get(), addInstanceWindow());
    context->instance = instance;
    a.contexts.push_back(std::move(context));
    if (!instance->create(kInstanceSize, kInstanceSize)) {
        delete instance;
        a.contexts.pop_back();
        return false;
    }
    return true;
}

void destroyInstances() {
    for (auto& context : app().contexts) {
        context->instance->destroy(WIDGET_APP_DESTROY_TYPE_TEMPORARY);
        delete context->instance;
        context->instance = nullptr;
    }
    app().contexts.clear();
}

void replyState(app_control_h request, bool paused) {
    app_control_h reply = nullptr;
    app_control_create(&reply);
    app_control_add_extra_data(reply, OSTRA_WIDGET_EXTRA_STATE, paused ? "paused" : "resumed");
    // Senders that wait for no answer get none.
    if (request->wantsReply) {
        app_control_reply_to_launch_request(reply, request, APP_CONTROL_RESULT_SUCCEEDED);
    }
    app_control_destroy(reply);
}

void showInstance(ostra::WidgetInstance* instance) {
    Evas_Object* win = instance->window();
    if (!win) {
        return;
    }
    static bool firstShown = false;
    if (!firstShown) {
        firstShown = true;
        ostra::logFirstFrame(win);
    }
    evas_object_show(win);
    ostra::markShownUnmanagedWindowNormal(win);
    elm_win_activate(win);
}

void onLaunch(app_control_h request, bool) {
    char* operation = nullptr;
    app_control_get_operation(request, &operation);
    const std::string op = operation ? operation : "";
    free(operation);
    bool paused = false;
    for (auto& context : app().contexts) {
        ostra::WidgetInstance* instance = context->instance;
        if (op == OSTRA_WIDGET_OPERATION_PAUSE) {
            instance->setHiddenByHome(true);
        } else if (op == OSTRA_WIDGET_OPERATION_RESUME) {
            instance->setHiddenByHome(false);
        } else if (op == OSTRA_WIDGET_OPERATION_UPDATE) {
            instance->update(true);
        } else {
            showInstance(instance);
            instance->setHiddenByHome(false);
        }
        paused = paused || instance->paused();
    }
    replyState(request, paused);
}

}  // namespace

extern "C" {

widget_class_h widget_app_class_create(widget_instance_lifecycle_callback_s callback,
                                       void* user_data) {
    if (!callback.create) {
        OSTRA_LOGE("widget class without create callback");
        return nullptr;
    }
    app().widgetClass.reset(new _widget_class{callback, user_data});
    return app().widgetClass.get();
}

int widget_app_main(int argc, char** argv, widget_app_lifecycle_callback_s* callback,
                    void* user_data) {
    if (!callback || !callback->create) {
        return WIDGET_ERROR_INVALID_PARAMETER;
    }
    elm_init(argc, argv);
    ostra_efl_glib_integrate();
    ostra::useTouchScrolling();
    auto start = ostra::AppCore::start(onLaunch);
    if (start != ostra::AppCore::Start::Listening) {
        elm_shutdown();
        return start == ostra::AppCore::Start::Failed ? WIDGET_ERROR_FAULT : WIDGET_ERROR_NONE;
    }
    ostra_i18n_bind_text_domain();
    ostra_efl_apply_text_direction();
    ostra_efl_follow_language_before_program();
    widget_class_h widgetClass = callback->create(user_data);
    if (!widgetClass || widgetClass != app().widgetClass.get() || !createInstance()) {
        OSTRA_LOGE("widget create step failed");
        ostra_efl_stop_following_language();
        destroyInstances();
        ostra::AppCore::stop();
        elm_shutdown();
        return WIDGET_ERROR_FAULT;
    }
    ostra_efl_follow_language_after_program();
    ostra::AppCore::deliverFirstRequest();
    ostra_efl_schedule_screenshot();
    elm_run();
    ostra_efl_stop_following_language();
    ostra::AppCore::stop();
    destroyInstances();
    if (callback->terminate) {
        callback->terminate(user_data);
    }
    app().widgetClass.reset();
    elm_shutdown();
    return WIDGET_ERROR_NONE;
}

int widget_app_exit(void) {
    elm_exit();
    return WIDGET_ERROR_NONE;
}

int widget_app_get_elm_win(widget_context_h context, Evas_Object** win) {
    ostra::WidgetInstance* instance = instanceOf(context);
    if (!instance || !win) {
        return WIDGET_ERROR_INVALID_PARAMETER;
    }
    *win = instance->window();
    return *win ? WIDGET_ERROR_NONE : WIDGET_ERROR_FAULT;
}

int widget_app_context_set_tag(widget_context_h context, void* tag) {
    ostra::WidgetInstance* instance = instanceOf(context);
    if (!instance) {
        return WIDGET_ERROR_INVALID_PARAMETER;
    }
    instance->tag = tag;
    return WIDGET_ERROR_NONE;
}

int widget_app_context_get_tag(widget_context_h context, void** tag) {
    ostra::WidgetInstance* instance = instanceOf(context);
    if (!instance || !tag) {
        return WIDGET_ERROR_INVALID_PARAMETER;
    }
    *tag = instance->tag;
    return WIDGET_ERROR_NONE;
}

int widget_app_foreach_context(widget_context_cb cb, void* data) {
    if (!cb) {
        return WIDGET_ERROR_INVALID_PARAMETER;
    }
    for (auto& context : app().contexts) {
        if (!cb(context.get(), data)) {
            break;
        }
    }
    return WIDGET_ERROR_NONE;
}

int widget_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                 app_event_cb callback, void* user_data) {
    return ostra_app_add_event_handler(handler, type, callback, user_data);
}

int widget_app_remove_event_handler(app_event_handler_h handler) {
    return ostra_app_remove_event_handler(handler);
}

}  // extern "C"
