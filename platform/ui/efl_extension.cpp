#include "ostra/efl_extension.h"

#include <Ecore_Input.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "PlatformLog.h"

struct _Eext_Circle_Surface {
    Evas_Object* parent;
};

namespace {

constexpr int kListStep = 90;

struct BackEntry {
    Evas_Object* obj;
    Eext_Callback_Type type;
    Eext_Event_Cb func;
    void* data;
};

struct RotaryEntry {
    Eext_Rotary_Event_Cb cb;
    void* data;
};

enum class CircleKind { Scroller, Genlist };

struct CircleInfo {
    Evas_Object* widget;
    CircleKind kind;
};

struct ExtState {
    std::vector<BackEntry> back;
    std::map<Evas_Object*, std::vector<RotaryEntry>> rotary;
    std::vector<Evas_Object*> activated;
    std::map<Evas_Object*, CircleInfo> circles;
    Ecore_Event_Handler* keyHandler = nullptr;
    Ecore_Event_Handler* wheelHandler = nullptr;
};

ExtState& ext() {
    static ExtState s;
    return s;
}

void circleWidgetDelCb(void* data, Evas*, Evas_Object*, void*) {
    evas_object_del(static_cast<Evas_Object*>(data));
}

void forget(Evas_Object* obj) {
    ExtState& s = ext();
    auto circle = s.circles.find(obj);
    if (circle != s.circles.end()) {
        evas_object_event_callback_del_full(circle->second.widget, EVAS_CALLBACK_DEL,
                                            circleWidgetDelCb, obj);
    }
    s.back.erase(std::remove_if(s.back.begin(), s.back.end(),
                                [obj](const BackEntry& e) { return e.obj == obj; }),
                 s.back.end());
    s.rotary.erase(obj);
    s.activated.erase(std::remove(s.activated.begin(), s.activated.end(), obj), s.activated.end());
    s.circles.erase(obj);
}

void objDelCb(void*, Evas*, Evas_Object* obj, void*) {
    forget(obj);
}

void track(Evas_Object* obj) {
    evas_object_event_callback_del(obj, EVAS_CALLBACK_DEL, objDelCb);
    evas_object_event_callback_add(obj, EVAS_CALLBACK_DEL, objDelCb, nullptr);
}

bool shownOnScreen(Evas_Object* obj) {
    for (Evas_Object* o = obj; o; o = evas_object_smart_parent_get(o)) {
        if (!evas_object_visible_get(o)) {
            return false;
        }
    }
    return true;
}

void scrollWidget(const CircleInfo& info, Eext_Rotary_Event_Direction direction) {
    const int sign = direction == EEXT_ROTARY_DIRECTION_CLOCKWISE ? 1 : -1;
    Evas_Object* w = info.widget;
    if (info.kind == CircleKind::Scroller) {
        int pageW = 0, pageH = 0;
        elm_scroller_page_size_get(w, &pageW, &pageH);
        int hPage = 0, vPage = 0;
        elm_scroller_current_page_get(w, &hPage, &vPage);
        if (pageW > 0) {
            int last = 0, lastV = 0;
            elm_scroller_last_page_get(w, &last, &lastV);
            int next = std::clamp(hPage + sign, 0, last);
            elm_scroller_page_bring_in(w, next, vPage);
            return;
        }
    }
    Evas_Coord x, y, rw, rh;
    elm_scroller_region_get(w, &x, &y, &rw, &rh);
    elm_scroller_region_bring_in(w, x, y + sign * kListStep, rw, rh);
}

void dispatchRotary(Eext_Rotary_Event_Direction direction, unsigned int timestamp) {
    ExtState& s = ext();
    if (s.activated.empty()) {
        return;
    }
    Evas_Object* obj = s.activated.back();
    Eext_Rotary_Event_Info info{direction, timestamp};
    // A copy: callbacks may change the registrations.
    std::vector<RotaryEntry> callbacks = s.rotary[obj];
    for (const RotaryEntry& e : callbacks) {
        if (e.cb(e.data, obj, &info)) {
            return;
        }
        if (s.activated.empty() || s.activated.back() != obj) {
            return;
        }
    }
    auto circle = s.circles.find(obj);
    if (circle != s.circles.end()) {
        scrollWidget(circle->second, direction);
    }
}

void dispatchBack() {
    ExtState& s = ext();
    for (auto it = s.back.rbegin(); it != s.back.rend(); ++it) {
        if (it->type == EEXT_CALLBACK_BACK && shownOnScreen(it->obj)) {
            BackEntry entry = *it;
            entry.func(entry.data, entry.obj, nullptr);
            return;
        }
    }
}

Eina_Bool keyDownCb(void*, int, void* event) {
    auto* ev = static_cast<Ecore_Event_Key*>(event);
    if (!ev->keyname) {
        return ECORE_CALLBACK_PASS_ON;
    }
    if (!strcmp(ev->keyname, "Escape") || !strcmp(ev->keyname, "XF86Back")) {
        dispatchBack();
    } else if (!strcmp(ev->keyname, "Next") || !strcmp(ev->keyname, "Page_Down")) {
        dispatchRotary(EEXT_ROTARY_DIRECTION_CLOCKWISE, ev->timestamp);
    } else if (!strcmp(ev->keyname, "Prior") || !strcmp(ev->keyname, "Page_Up")) {
        dispatchRotary(EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE, ev->timestamp);
    }
    return ECORE_CALLBACK_PASS_ON;
}

Eina_Bool wheelCb(void*, int, void* event) {
    auto* ev = static_cast<Ecore_Event_Mouse_Wheel*>(event);
    if (ev->z != 0) {
        dispatchRotary(
            ev->z > 0 ? EEXT_ROTARY_DIRECTION_CLOCKWISE : EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE,
            ev->timestamp);
    }
    return ECORE_CALLBACK_PASS_ON;
}

void installInputHandlers() {
    ExtState& s = ext();
    if (s.keyHandler) {
        return;
    }
    s.keyHandler = ecore_event_handler_add(ECORE_EVENT_KEY_DOWN, keyDownCb, nullptr);
    s.wheelHandler = ecore_event_handler_add(ECORE_EVENT_MOUSE_WHEEL, wheelCb, nullptr);
}

Evas_Object* addCircle(Evas_Object* widget, CircleKind kind) {
    if (!widget) {
        OSTRA_LOGE("circle object without widget");
        return nullptr;
    }
    // The circle object is an invisible stand-in that carries the bezel
    // registrations of its widget.
    Evas_Object* circle = evas_object_rectangle_add(evas_object_evas_get(widget));
    evas_object_color_set(circle, 0, 0, 0, 0);
    evas_object_pass_events_set(circle, EINA_TRUE);
    ext().circles[circle] = CircleInfo{widget, kind};
    track(circle);
    evas_object_event_callback_add(widget, EVAS_CALLBACK_DEL, circleWidgetDelCb, circle);
    installInputHandlers();
    return circle;
}

}  // namespace

extern "C" {

void eext_object_event_callback_add(Evas_Object* obj, Eext_Callback_Type type, Eext_Event_Cb func,
                                    void* data) {
    if (!obj || !func || type < EEXT_CALLBACK_BACK || type >= EEXT_CALLBACK_LAST) {
        OSTRA_LOGE("eext_object_event_callback_add: invalid argument");
        return;
    }
    ext().back.push_back(BackEntry{obj, type, func, data});
    track(obj);
    installInputHandlers();
}

void* eext_object_event_callback_del(Evas_Object* obj, Eext_Callback_Type type,
                                     Eext_Event_Cb func) {
    auto& back = ext().back;
    for (auto it = back.begin(); it != back.end(); ++it) {
        if (it->obj == obj && it->type == type && it->func == func) {
            void* data = it->data;
            back.erase(it);
            return data;
        }
    }
    return nullptr;
}

void eext_popup_back_cb(void*, Evas_Object* obj, void*) {
    elm_popup_dismiss(obj);
}

Eina_Bool eext_rotary_object_event_callback_add(Evas_Object* obj, Eext_Rotary_Event_Cb cb,
                                                void* data) {
    if (!obj || !cb) {
        return EINA_FALSE;
    }
    ext().rotary[obj].push_back(RotaryEntry{cb, data});
    track(obj);
    installInputHandlers();
    return EINA_TRUE;
}

void* eext_rotary_object_event_callback_del(Evas_Object* obj, Eext_Rotary_Event_Cb cb) {
    auto found = ext().rotary.find(obj);
    if (found == ext().rotary.end()) {
        return nullptr;
    }
    for (auto it = found->second.begin(); it != found->second.end(); ++it) {
        if (it->cb == cb) {
            void* data = it->data;
            found->second.erase(it);
            return data;
        }
    }
    return nullptr;
}

void eext_rotary_object_event_activated_set(Evas_Object* obj, Eina_Bool activated) {
    if (!obj) {
        return;
    }
    auto& list = ext().activated;
    list.erase(std::remove(list.begin(), list.end(), obj), list.end());
    if (activated) {
        list.push_back(obj);
        track(obj);
        installInputHandlers();
    }
}

Evas_Object* ostra_eext_rotary_activated_object_get(void) {
    return ext().activated.empty() ? nullptr : ext().activated.back();
}

void ostra_eext_rotary_feed(Eext_Rotary_Event_Direction direction) {
    dispatchRotary(direction, static_cast<unsigned int>(ecore_time_get() * 1000));
}

void ostra_eext_back_feed(void) {
    dispatchBack();
}

Eext_Circle_Surface* eext_circle_surface_conformant_add(Evas_Object* conform) {
    return conform ? new _Eext_Circle_Surface{conform} : nullptr;
}

Eext_Circle_Surface* eext_circle_surface_layout_add(Evas_Object* layout) {
    return layout ? new _Eext_Circle_Surface{layout} : nullptr;
}

void eext_circle_surface_del(Eext_Circle_Surface* surface) {
    delete surface;
}

Evas_Object* eext_circle_object_scroller_add(Evas_Object* scroller, Eext_Circle_Surface*) {
    return addCircle(scroller, CircleKind::Scroller);
}

Evas_Object* eext_circle_object_genlist_add(Evas_Object* genlist, Eext_Circle_Surface*) {
    return addCircle(genlist, CircleKind::Genlist);
}

void eext_circle_object_scroller_policy_set(Evas_Object* obj, Elm_Scroller_Policy h,
                                            Elm_Scroller_Policy v) {
    Evas_Object* widget = ostra_eext_circle_object_widget_get(obj);
    if (widget) {
        elm_scroller_policy_set(widget, h, v);
    }
}

void eext_circle_object_genlist_scroller_policy_set(Evas_Object* obj, Elm_Scroller_Policy h,
                                                    Elm_Scroller_Policy v) {
    eext_circle_object_scroller_policy_set(obj, h, v);
}

void eext_circle_object_mirrored_set(Evas_Object* obj, Eina_Bool mirrored) {
    Evas_Object* widget = ostra_eext_circle_object_widget_get(obj);
    if (widget) {
        elm_object_mirrored_set(widget, mirrored);
    }
}

Evas_Object* ostra_eext_circle_object_widget_get(Evas_Object* obj) {
    auto found = ext().circles.find(obj);
    return found == ext().circles.end() ? nullptr : found->second.widget;
}

}  // extern "C"
