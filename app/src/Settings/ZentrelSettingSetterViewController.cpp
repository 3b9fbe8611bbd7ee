#include "ZentrelSettingSetterViewController.h"

#include <ZentrelLog.h>
#include <ostra/i18n.h>

#include "ZentrelUtil.h"

namespace {

constexpr int kTitleWrap = 180;

}  // namespace

Evas_Object* ZentrelSettingSetterViewController::_createScreen(Evas_Object* parent,
                                                               const char* numberGroup,
                                                               const char* title, const char* unit,
                                                               const char* longUnit,
                                                               TapSource tapSource) {
    mLayout = elm_layout_add(parent);
    if (!elm_layout_theme_set(mLayout, "layout", "circle", "spinner_sliding")) {
        ZLOGE("layout/circle/spinner_sliding is missing");
        evas_object_del(mLayout);
        mLayout = nullptr;
        return nullptr;
    }
    mTextLayout = elm_layout_add(mLayout);
    elm_layout_file_set(mTextLayout, ZentrelUtil::getAppEdjFilePath(), numberGroup);
    elm_object_part_content_set(mLayout, "elm.swallow.text", mTextLayout);
    if (tapSource == TAP_NUMBER_LAYOUT) {
        elm_layout_signal_callback_add(mTextLayout, "mouse,clicked,1", "*", _clickedCb, this);
    } else {
        elm_layout_signal_callback_add(mLayout, "mouse,clicked,1", "touch_rect", _clickedCb, this);
    }

    _title = elm_label_add(mLayout);
    elm_object_style_set(_title, "slide_title_text");
    elm_label_wrap_width_set(_title, kTitleWrap);
    elm_label_slide_mode_set(_title, ELM_LABEL_SLIDE_MODE_AUTO);
    elm_object_text_set(_title, i18n_get_text(title));
    elm_object_part_content_set(mLayout, "title_label", _title);
    elm_object_part_text_set(mLayout, "elm.text", i18n_get_text(unit));
    _longUnit = i18n_get_text(longUnit);

    Evas_Object* button = elm_button_add(mLayout);
    elm_object_style_set(button, "bottom");
    elm_object_text_set(button, i18n_get_text("WDS_ALTI_BUTTON_SET_10"));
    evas_object_smart_callback_add(button, "clicked", _setClickedCb, this);
    elm_object_part_content_set(mLayout, "elm.swallow.btn", button);

    // The number is one accessible object: its value and unit, opened by a double tap.
    Evas_Object* touch = const_cast<Evas_Object*>(
        edje_object_part_object_get(elm_layout_edje_get(mLayout), "touch_rect"));
    _accessObj = touch ? elm_access_object_register(touch, mLayout) : nullptr;
    if (_accessObj) {
        elm_access_activate_cb_set(_accessObj, _accessActivateCb, this);
        elm_access_highlight_next_set(_title, ELM_HIGHLIGHT_DIR_NEXT, _accessObj);
        elm_access_highlight_next_set(_accessObj, ELM_HIGHLIGHT_DIR_NEXT, button);
    }
    elm_access_info_set(mLayout, ELM_ACCESS_INFO, i18n_get_text(title));
    return mLayout;
}

void ZentrelSettingSetterViewController::_showNumber(const std::string& text) {
    elm_object_part_text_set(mTextLayout, "elm.text", text.c_str());
    if (_accessObj) {
        elm_access_info_set(_accessObj, ELM_ACCESS_INFO, getAccessText().c_str());
    }
}

std::string ZentrelSettingSetterViewController::getNumberText() const {
    const char* text = mTextLayout ? elm_object_part_text_get(mTextLayout, "elm.text") : nullptr;
    return text ? text : "";
}

std::string ZentrelSettingSetterViewController::getAccessText() const {
    return getNumberText() + ", " + _longUnit;
}

void ZentrelSettingSetterViewController::onPushed(Elm_Object_Item* naviItem) {
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
}

void ZentrelSettingSetterViewController::_clickedCb(void* data, Evas_Object*, const char*,
                                                    const char*) {
    auto* self = static_cast<ZentrelSettingSetterViewController*>(data);
    if (self && self->getNaviframeController()) {
        self->openEntry();
    }
}

void ZentrelSettingSetterViewController::_setClickedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingSetterViewController*>(data);
    if (self) {
        self->set();
    }
}

void ZentrelSettingSetterViewController::_accessActivateCb(void* data, Evas_Object*,
                                                           Elm_Object_Item*) {
    auto* self = static_cast<ZentrelSettingSetterViewController*>(data);
    if (!self) {
        ZLOGE("data is nullptr");
        return;
    }
    if (self->getNaviframeController()) {
        self->openEntry();
    }
}
