#include "ZentrelPopup.h"

#include <ZentrelLog.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>

#include <cstdint>
#include <cstdlib>

#include "ZentrelUtil.h"

namespace {

constexpr const char* kDataKey = "zentrel,popup";
constexpr const char* kSlotKey = "zentrel,popup,slot";
constexpr Evas_Coord kRotaryStep = 60;

enum Slot { SLOT_BACK = 0, SLOT_BUTTON1 = 1, SLOT_BUTTON2 = 2, SLOT_COUNT = 3 };

struct PopupData {
    ZentrelPopup::Action actions[SLOT_COUNT];
    Evas_Object* buttons[SLOT_COUNT] = {};
    Evas_Object* label = nullptr;
    std::string text;
    Ecore_Timer* timer = nullptr;
};

PopupData* dataOf(Evas_Object* popup) {
    return popup ? static_cast<PopupData*>(evas_object_data_get(popup, kDataKey)) : nullptr;
}

const char* translated(const char* id) {
    return id ? i18n_get_text(id) : "";
}

std::string labelMarkup(const std::string& text) {
    char* escaped = elm_entry_utf8_to_markup(text.c_str());
    std::string markup = std::string("<align=center><font=Roboto font_size=26 color=#FAFAFA>") +
                         (escaped ? escaped : "") + "</font_size></align>";
    free(escaped);
    return markup;
}

// Closes the popup, then runs the action: the action may open another popup
// or delete the screen that opened this one.
void finish(Evas_Object* popup, int slot) {
    PopupData* data = dataOf(popup);
    if (!data) {
        ZLOGE("data is null");
        return;
    }
    ZentrelPopup::Action action = data->actions[slot];
    evas_object_del(popup);
    if (action) {
        action();
    }
}

void delCb(void*, Evas*, Evas_Object* popup, void*) {
    PopupData* data = dataOf(popup);
    evas_object_data_del(popup, kDataKey);
    eext_object_event_callback_del(popup, EEXT_CALLBACK_BACK, nullptr);
    if (data && data->timer) {
        ecore_timer_del(data->timer);
    }
    delete data;
}

void backCb(void*, Evas_Object* popup, void*) {
    finish(popup, SLOT_BACK);
}

void clickedCb(void* data, Evas_Object* button, void*) {
    const int slot =
        static_cast<int>(reinterpret_cast<intptr_t>(evas_object_data_get(button, kSlotKey)));
    finish(static_cast<Evas_Object*>(data), slot);
}

Evas_Object* createFrame(Evas_Object* anchor, const char* group) {
    Evas_Object* win = anchor ? elm_object_top_widget_get(anchor) : nullptr;
    if (!win) {
        ZLOGE("no window for the popup");
        return nullptr;
    }
    Evas_Object* popup = elm_layout_add(win);
    if (!elm_layout_file_set(popup, ZentrelUtil::getAppEdjFilePath(), group)) {
        ZLOGE("%s is missing in %s", group, ZentrelUtil::getAppEdjFilePath());
        evas_object_del(popup);
        return nullptr;
    }
    auto* data = new PopupData();
    evas_object_data_set(popup, kDataKey, data);
    evas_object_event_callback_add(popup, EVAS_CALLBACK_DEL, delCb, nullptr);
    Evas_Coord w = 0, h = 0;
    evas_object_geometry_get(win, nullptr, nullptr, &w, &h);
    evas_object_resize(popup, w, h);
    evas_object_layer_set(popup, EVAS_LAYER_MAX - 1);
    evas_object_show(popup);
    return popup;
}

void addButton(Evas_Object* popup, int slot, const char* part, const char* style, const char* text,
               const char* icon, ZentrelPopup::Action action) {
    PopupData* data = dataOf(popup);
    Evas_Object* button = elm_button_add(popup);
    elm_object_style_set(button, style);
    if (text) {
        elm_object_text_set(button, translated(text));
    }
    if (icon) {
        Evas_Object* image = elm_image_add(button);
        char* path = ZentrelUtil::getAppResourceImageFilePathN(icon);
        elm_image_file_set(image, path, nullptr);
        free(path);
        elm_object_part_content_set(button, "icon", image);
    }
    evas_object_data_set(button, kSlotKey, reinterpret_cast<void*>(static_cast<intptr_t>(slot)));
    evas_object_smart_callback_add(button, "clicked", clickedCb, popup);
    elm_object_part_content_set(popup, part, button);
    data->buttons[slot] = button;
    data->actions[slot] = std::move(action);
}

// A bezel turn scrolls a long popup text by about two lines.
Eina_Bool rotaryCb(void* data, Evas_Object*, Eext_Rotary_Event_Info* info) {
    auto* scroller = static_cast<Evas_Object*>(data);
    Evas_Coord x = 0, y = 0, w = 0, h = 0;
    elm_scroller_region_get(scroller, &x, &y, &w, &h);
    const Evas_Coord step =
        info->direction == EEXT_ROTARY_DIRECTION_CLOCKWISE ? kRotaryStep : -kRotaryStep;
    elm_scroller_region_bring_in(scroller, x, y + step, w, h);
    return EINA_TRUE;
}

void setContent(Evas_Object* popup, Evas_Object* content) {
    Evas_Object* scroller = elm_scroller_add(popup);
    eext_rotary_object_event_callback_add(popup, rotaryCb, scroller);
    eext_rotary_object_event_activated_set(popup, EINA_TRUE);
    elm_scroller_bounce_set(scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_policy_set(scroller, ELM_SCROLLER_POLICY_OFF, ELM_SCROLLER_POLICY_OFF);
    evas_object_size_hint_weight_set(content, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(content, EVAS_HINT_FILL, 0.5);
    elm_object_content_set(scroller, content);
    elm_object_part_content_set(popup, "elm.swallow.content", scroller);
}

void setBack(Evas_Object* popup, ZentrelPopup::Action onBack) {
    dataOf(popup)->actions[SLOT_BACK] = std::move(onBack);
    eext_object_event_callback_add(popup, EEXT_CALLBACK_BACK, backCb, nullptr);
}

}  // namespace

Evas_Object* ZentrelPopup::createTextLabel(Evas_Object* parent, const std::string& text) {
    Evas_Object* label = elm_label_add(parent);
    elm_label_line_wrap_set(label, ELM_WRAP_MIXED);
    elm_object_text_set(label, labelMarkup(text).c_str());
    evas_object_size_hint_weight_set(label, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(label, EVAS_HINT_FILL, 0.5);
    evas_object_show(label);
    return label;
}

Evas_Object* ZentrelPopup::oneButton(Evas_Object* anchor, const char* title,
                                     const std::string& text, const char* buttonText,
                                     Action onButton, Action onBack) {
    Evas_Object* popup = createFrame(anchor, "elm/layout/popup/content/circle/buttons1");
    if (!popup) {
        return nullptr;
    }
    setTitle(popup, title);
    setText(popup, text);
    addButton(popup, SLOT_BUTTON1, "elm.swallow.button1", "bottom", buttonText, nullptr,
              std::move(onButton));
    setBack(popup, std::move(onBack));
    return popup;
}

Evas_Object* ZentrelPopup::oneButtonWithContent(Evas_Object* anchor, const char* title,
                                                Evas_Object* content, const char* buttonText,
                                                Action onButton, Action onBack) {
    Evas_Object* popup = createFrame(anchor, "elm/layout/popup/content/circle/buttons1");
    if (!popup) {
        return nullptr;
    }
    setTitle(popup, title);
    if (content) {
        setContent(popup, content);
    }
    addButton(popup, SLOT_BUTTON1, "elm.swallow.button1", "bottom", buttonText, nullptr,
              std::move(onButton));
    setBack(popup, std::move(onBack));
    return popup;
}

Evas_Object* ZentrelPopup::twoButtons(Evas_Object* anchor, const char* title,
                                      const std::string& text, Action onCancel, Action onConfirm,
                                      Action onBack) {
    Evas_Object* popup = twoButtonsWithContent(anchor, title, nullptr, std::move(onCancel),
                                               std::move(onConfirm), std::move(onBack));
    if (popup) {
        setText(popup, text);
    }
    return popup;
}

Evas_Object* ZentrelPopup::twoButtonsWithContent(Evas_Object* anchor, const char* title,
                                                 Evas_Object* content, Action onCancel,
                                                 Action onConfirm, Action onBack) {
    Evas_Object* popup = createFrame(anchor, "elm/layout/popup/content/circle/buttons2");
    if (!popup) {
        return nullptr;
    }
    setTitle(popup, title);
    if (content) {
        setContent(popup, content);
    }
    addButton(popup, SLOT_BUTTON1, "elm.swallow.button1", "circle_icon", nullptr,
              "alti_popup_btn_delete.png", std::move(onCancel));
    addButton(popup, SLOT_BUTTON2, "elm.swallow.button2", "circle_icon", nullptr,
              "alti_popup_btn_check.png", std::move(onConfirm));
    setBack(popup, std::move(onBack));
    return popup;
}

Evas_Object* ZentrelPopup::toast(Evas_Object* anchor, const std::string& text, double seconds,
                                 Action onTimeout) {
    Evas_Object* popup = createFrame(anchor, "zentrel/popup/toast");
    if (!popup) {
        return nullptr;
    }
    PopupData* data = dataOf(popup);
    data->text = text;
    char* escaped = elm_entry_utf8_to_markup(text.c_str());
    elm_object_part_text_set(popup, "elm.text", escaped ? escaped : "");
    free(escaped);
    data->actions[SLOT_BUTTON1] = std::move(onTimeout);
    data->timer = ecore_timer_add(
        seconds,
        [](void* obj) -> Eina_Bool {
            auto* popupObj = static_cast<Evas_Object*>(obj);
            dataOf(popupObj)->timer = nullptr;
            finish(popupObj, SLOT_BUTTON1);
            return ECORE_CALLBACK_CANCEL;
        },
        popup);
    // A toast does not take the back key: it goes by itself.
    evas_object_pass_events_set(popup, EINA_TRUE);
    return popup;
}

void ZentrelPopup::setText(Evas_Object* popup, const std::string& text) {
    PopupData* data = dataOf(popup);
    if (!data) {
        ZLOGE("data is null");
        return;
    }
    data->text = text;
    if (data->label) {
        elm_object_text_set(data->label, labelMarkup(text).c_str());
        return;
    }
    data->label = createTextLabel(popup, text);
    setContent(popup, data->label);
}

void ZentrelPopup::setTitle(Evas_Object* popup, const char* title) {
    elm_object_part_text_set(popup, "elm.text.title", translated(title));
}

void ZentrelPopup::setButtonText(Evas_Object* popup, int button, const char* text) {
    PopupData* data = dataOf(popup);
    if (data && button >= SLOT_BUTTON1 && button < SLOT_COUNT && data->buttons[button]) {
        elm_object_text_set(data->buttons[button], translated(text));
    }
}

bool ZentrelPopup::press(Evas_Object* popup, int button) {
    PopupData* data = dataOf(popup);
    if (!data || button < SLOT_BUTTON1 || button >= SLOT_COUNT || !data->buttons[button]) {
        return false;
    }
    evas_object_smart_callback_call(data->buttons[button], "clicked", nullptr);
    return true;
}

std::string ZentrelPopup::getText(Evas_Object* popup) {
    PopupData* data = dataOf(popup);
    return data ? data->text : std::string();
}
