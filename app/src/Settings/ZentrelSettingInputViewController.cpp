#include "ZentrelSettingInputViewController.h"

#include <WNaviframeController.h>
#include <ZentrelLog.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ZentrelUtil.h"

namespace {

constexpr const char* kDigitsAndDot = "0123456789.";
constexpr const char* kDigitsAndMinus = "0123456789-";
constexpr const char* kDigits = "0123456789";

std::string plainText(Evas_Object* entry) {
    char* text = elm_entry_markup_to_utf8(elm_entry_entry_get(entry));
    std::string plain = text ? text : "";
    free(text);
    return plain;
}

}  // namespace

ZentrelSettingInputViewController::ZentrelSettingInputViewController(int value, double min,
                                                                     double max)
    : mMin(min),
      mMax(max),
      mValue(std::to_string(value)),
      mBlockDot(true),
      mSign(value < 0 ? "-" : "+") {}

ZentrelSettingInputViewController::ZentrelSettingInputViewController(const char* value, double min,
                                                                     double max, bool blockDot)
    : mMin(min), mMax(max), mValue(value ? value : ""), mBlockDot(blockDot) {}

Evas_Object* ZentrelSettingInputViewController::onCreateView(Evas_Object* parent, void*) {
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "entry_layout")) {
        ZLOGE("entry_layout is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    mEntry = elm_entry_add(_layout);
    elm_entry_single_line_set(mEntry, EINA_TRUE);
    elm_entry_scrollable_set(mEntry, EINA_TRUE);
    elm_entry_editable_set(mEntry, EINA_TRUE);
    elm_entry_prediction_allow_set(mEntry, EINA_FALSE);
    elm_entry_context_menu_disabled_set(mEntry, EINA_TRUE);
    elm_entry_selection_handler_disabled_set(mEntry, EINA_TRUE);
    elm_entry_text_style_user_push(mEntry,
                                   "DEFAULT='align=center font=Roboto font_size=56 "
                                   "color=#FAFAFA'");
    _accept.accepted = !mBlockDot ? kDigitsAndDot : (!mSign.empty() ? kDigitsAndMinus : kDigits);
    _accept.rejected = nullptr;
    elm_entry_markup_filter_append(mEntry, elm_entry_filter_accept_set, &_accept);
    elm_entry_input_panel_layout_set(mEntry, ELM_INPUT_PANEL_LAYOUT_NUMBERONLY);
    elm_entry_input_panel_layout_variation_set(
        mEntry, !mBlockDot ? ELM_INPUT_PANEL_LAYOUT_NUMBERONLY_VARIATION_DECIMAL
                           : (!mSign.empty() ? ELM_INPUT_PANEL_LAYOUT_NUMBERONLY_VARIATION_SIGNED
                                             : ELM_INPUT_PANEL_LAYOUT_NUMBERONLY_VARIATION_NORMAL));
    elm_entry_input_panel_return_key_type_set(mEntry, ELM_INPUT_PANEL_RETURN_KEY_TYPE_DONE);
    elm_object_text_set(mEntry, mValue.c_str());
    elm_entry_cursor_end_set(mEntry);
    evas_object_smart_callback_add(mEntry, "changed,user", _changedCb, this);
    evas_object_smart_callback_add(mEntry, "activated", _activatedCb, this);
    evas_object_smart_callback_add(mEntry, "cursor,changed,manual", _cursorChangedCb, this);
    evas_object_smart_callback_add(mEntry, "focused", _focusedCb, this);
    evas_object_smart_callback_add(mEntry, "unfocused", _unfocusedCb, this);
    elm_object_part_content_set(_layout, "swallow_entry", mEntry);

    // The keypad's Done key, for a pointer; Return does the same.
    _doneButton = elm_button_add(_layout);
    elm_object_style_set(_doneButton, "bottom");
    elm_object_text_set(_doneButton, i18n_get_text("IDS_COM_SK_DONE"));
    evas_object_smart_callback_add(_doneButton, "clicked", _activatedCb, this);
    elm_object_part_content_set(_layout, "swallow_done", _doneButton);
    // Escape hides the keypad, which leaves the entry.
    eext_object_event_callback_add(_layout, EEXT_CALLBACK_BACK, _backCb, this);
    _updateDone();
    return _layout;
}

void ZentrelSettingInputViewController::onPushed(Elm_Object_Item* naviItem) {
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
    if (mEntry) {
        elm_object_focus_set(mEntry, EINA_TRUE);
        elm_entry_cursor_end_set(mEntry);
        ZLOGD("keypad show");
        mKeypadHide = false;
    }
}

bool ZentrelSettingInputViewController::onPop() {
    mIsPopOut = true;
    return true;
}

bool ZentrelSettingInputViewController::isDoneEnabled() const {
    return _doneButton && !elm_object_disabled_get(_doneButton);
}

void ZentrelSettingInputViewController::_updateDone() {
    const std::string text = plainText(mEntry);
    const bool disabled = text.empty() || (!mSign.empty() && text == "-");
    elm_entry_input_panel_return_key_disabled_set(mEntry, disabled ? EINA_TRUE : EINA_FALSE);
    if (_doneButton) {
        elm_object_disabled_set(_doneButton, disabled ? EINA_TRUE : EINA_FALSE);
    }
}

void ZentrelSettingInputViewController::_changedByUser() {
    const std::string text = plainText(mEntry);
    bool accepted = true;
    if (!mSign.empty()) {
        const size_t minus = text.find('-');
        accepted = std::count(text.begin(), text.end(), '-') <= 1 &&
                   (minus == std::string::npos || minus == 0);
    } else if (!mBlockDot) {
        accepted = std::count(text.begin(), text.end(), '.') <= 1;
    }
    if (!accepted) {
        const int cursor = elm_entry_cursor_pos_get(mEntry);
        elm_object_text_set(mEntry, mValue.c_str());
        elm_entry_cursor_pos_set(mEntry, std::max(0, cursor - 1));
    } else {
        mValue = text;
    }
    _updateDone();
}

void ZentrelSettingInputViewController::done() {
    brisa::WNaviframeController* navi = getNaviframeController();
    if (mIsPopOut || !navi || !navi->isTopContentViewController(this)) {
        ZLOGE("Already popped. Ignore activatedCb");
        return;
    }
    if (!isDoneEnabled()) {
        return;
    }
    const std::string text = plainText(mEntry);
    if (mRurnValueCb) {
        mRurnValueCb(text.c_str());
    }
    popOut();
}

void ZentrelSettingInputViewController::hideKeypad() {
    ZLOGD("keypad hide");
    mKeypadHide = true;
    if (!mIsPopOut && mIsEntryFocused) {
        popOut();
    }
}

void ZentrelSettingInputViewController::_changedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    self->_changedByUser();
}

void ZentrelSettingInputViewController::_activatedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    self->done();
}

void ZentrelSettingInputViewController::_cursorChangedCb(void* data, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    // The sign stays in front of the digits.
    if (!self->mSign.empty() && elm_entry_cursor_pos_get(obj) == 0) {
        elm_entry_cursor_pos_set(obj, 1);
    }
}

void ZentrelSettingInputViewController::_focusedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    self->mIsEntryFocused = true;
}

void ZentrelSettingInputViewController::_unfocusedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    self->mIsEntryFocused = false;
}

void ZentrelSettingInputViewController::_backCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingInputViewController*>(data);
    if (!self) {
        ZLOGE("invalid parameter: data is nullptr");
        return;
    }
    if (self->mIsEntryFocused) {
        self->hideKeypad();
        return;
    }
    // Without the keypad up, the back key simply leaves, without a value.
    if (!self->mIsPopOut) {
        self->popOut();
    }
}
