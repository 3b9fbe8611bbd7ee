#include "ZentrelSettingItem.h"

#include <ZentrelLog.h>
#include <ZentrelStorageMgr.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>

#include <cstring>

ZentrelSettingItem::ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, int index, std::string title)
    : _title(std::move(title)), _index(index), _listIndex(kind), _isIcon(true) {}

ZentrelSettingItem::ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title,
                                       std::string title2)
    : _title(std::move(title)), _title2(std::move(title2)), _listIndex(kind), _isTwoItem(true) {}

ZentrelSettingItem::ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title)
    : _title(std::move(title)), _listIndex(kind), _isTitle(true) {}

ZentrelSettingItem::ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title, bool)
    : _title(std::move(title)), _listIndex(kind), _isHelp(true) {}

ZentrelSettingItem::~ZentrelSettingItem() {
    if (_checkBoxItem) {
        evas_object_event_callback_del_full(_checkBoxItem, EVAS_CALLBACK_DEL, _checkDelCb, this);
    }
}

const char* ZentrelSettingItem::getStyle() const {
    if (_isTitle) {
        return "title";
    }
    if (_isTwoItem) {
        return "2text";
    }
    if (_isHelp) {
        return "1text";
    }
    return "1text.1icon.1";
}

Elm_Genlist_Item_Class* ZentrelSettingItem::getItemClassNew() {
    Elm_Genlist_Item_Class* itc = brisa::WGenlistItem::getItemClassNew();
    itc->item_style = getStyle();
    itc->func.text_get = _textGetCb;
    itc->func.content_get = _isIcon ? _contentGetCb : nullptr;
    return itc;
}

Elm_Object_Item* ZentrelSettingItem::append(Evas_Object* genlist) {
    // The class is made per row: rows of one type have different styles.
    Elm_Genlist_Item_Class* itc = getItemClassNew();
    Elm_Object_Item* item = elm_genlist_item_append(genlist, itc, this, nullptr,
                                                    ELM_GENLIST_ITEM_NONE, getSelectCb(), this);
    elm_genlist_item_class_free(itc);
    if (!item) {
        delete this;
        return nullptr;
    }
    setElmObjectItem(item);
    if (_isTitle) {
        elm_genlist_item_select_mode_set(item, ELM_OBJECT_SELECT_MODE_DISPLAY_ONLY);
    }
    return item;
}

Evas_Object* ZentrelSettingItem::createList(Evas_Object* parent, Evas_Object** circle) {
    Evas_Object* genlist = elm_genlist_add(parent);
    elm_genlist_mode_set(genlist, ELM_LIST_COMPRESS);
    elm_genlist_homogeneous_set(genlist, EINA_FALSE);
    elm_scroller_bounce_set(genlist, EINA_FALSE, EINA_FALSE);
    evas_object_size_hint_weight_set(genlist, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(genlist, EVAS_HINT_FILL, EVAS_HINT_FILL);
    *circle = eext_circle_object_genlist_add(genlist, nullptr);
    eext_circle_object_genlist_scroller_policy_set(*circle, ELM_SCROLLER_POLICY_OFF,
                                                   ELM_SCROLLER_POLICY_OFF);
    eext_rotary_object_event_activated_set(*circle, EINA_TRUE);
    return genlist;
}

void ZentrelSettingItem::appendPadding(Evas_Object* genlist) {
    Elm_Genlist_Item_Class* itc = elm_genlist_item_class_new();
    itc->item_style = "padding";
    Elm_Object_Item* item = elm_genlist_item_append(genlist, itc, nullptr, nullptr,
                                                    ELM_GENLIST_ITEM_NONE, nullptr, nullptr);
    elm_genlist_item_class_free(itc);
    if (item) {
        elm_genlist_item_select_mode_set(item, ELM_OBJECT_SELECT_MODE_DISPLAY_ONLY);
    }
}

void ZentrelSettingItem::onSelect(Elm_Object_Item* item) {
    elm_genlist_item_selected_set(item, EINA_FALSE);
    if (_selectedCb) {
        _selectedCb();
    }
}

void ZentrelSettingItem::UpdateTitle(std::string title2) {
    _title2 = std::move(title2);
}

void ZentrelSettingItem::updateItem() {
    if (getElmObjectItem()) {
        elm_genlist_item_update(getElmObjectItem());
    }
}

void ZentrelSettingItem::setSwitch(bool on) {
    if (!_checkBoxItem) {
        return;
    }
    elm_object_signal_emit(_checkBoxItem, on ? "elm,activate,check,on" : "elm,activate,check,off",
                           "elm");
    elm_check_state_set(_checkBoxItem, on ? EINA_TRUE : EINA_FALSE);
    _describeCheck(on);
}

bool ZentrelSettingItem::_storedSwitchState() const {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    switch (_listIndex) {
        case AUTO_REFRESH:
            return storage->getAutoRefresh() == 1;
        case PRESSURE_ALERTS:
            return storage->getSettingAlert() == 1;
        case CURRENT_LOCATION:
            return storage->getUserAgreementState() == 1;
        default:
            return false;
    }
}

std::string ZentrelSettingItem::_secondLine() const {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    switch (_listIndex) {
        case MANUAL_CALIBRATION:
            return i18n_get_text(storage->getSettingManualMode() == 1
                                     ? "WDS_ALTI_BODY_ON_M_STATUS"
                                     : "WDS_ALTI_BODY_OFF_M_STATUS");
        case ALTITUDE_UNIT:
            return i18n_get_text(storage->getSettingDistance() == 0
                                     ? "WDS_ALTI_BODY_M_M_METRES_UNIT_LC"
                                     : "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC");
        case PRESSURE_UNIT: {
            const int unit = storage->getSettingPressure();
            return i18n_get_text(unit == 0   ? "WDS_ALTI_BODY_HPA_ABB2"
                                 : unit == 1 ? "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB"
                                             : "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB");
        }
        default:
            return i18n_get_text(_title2.c_str());
    }
}

std::string ZentrelSettingItem::getPartText(const char* part) const {
    if (!part) {
        return "";
    }
    if (!strcmp(part, "elm.text")) {
        return i18n_get_text(_title.c_str());
    }
    if (!strcmp(part, "elm.text.1")) {
        return _secondLine();
    }
    return "";
}

void ZentrelSettingItem::_describeCheck(bool on) {
    if (!_checkBoxItem) {
        return;
    }
    std::string description =
        std::string(i18n_get_text("WDS_ALM_TBOPT_SWITCH")) + ", " +
        i18n_get_text(on ? "WDS_PN_SBODY_ON_M_STATUS_ABB" : "WDS_PN_SBODY_OFF_M_STATUS_ABB");
    elm_access_info_set(_checkBoxItem, ELM_ACCESS_CONTEXT_INFO, description.c_str());
}

Evas_Object* ZentrelSettingItem::_createCheck(Evas_Object* parent) {
    if (_checkBoxItem) {
        evas_object_event_callback_del_full(_checkBoxItem, EVAS_CALLBACK_DEL, _checkDelCb, this);
    }
    _checkBoxItem = elm_check_add(parent);
    elm_object_style_set(_checkBoxItem, "on&off/list");
    const bool on = _storedSwitchState();
    elm_check_state_set(_checkBoxItem, on ? EINA_TRUE : EINA_FALSE);
    // The row takes the touches: a tap anywhere on it runs the row's action.
    elm_object_signal_emit(_checkBoxItem, "elm,event,pass,enabled", "elm");
    evas_object_event_callback_add(_checkBoxItem, EVAS_CALLBACK_DEL, _checkDelCb, this);
    _describeCheck(on);
    return _checkBoxItem;
}

char* ZentrelSettingItem::_textGetCb(void* data, Evas_Object*, const char* part) {
    auto* self = static_cast<ZentrelSettingItem*>(data);
    if (!self) {
        ZLOGE("data is null");
        return nullptr;
    }
    std::string text = self->getPartText(part);
    return text.empty() ? nullptr : strdup(text.c_str());
}

Evas_Object* ZentrelSettingItem::_contentGetCb(void* data, Evas_Object* obj, const char* part) {
    auto* self = static_cast<ZentrelSettingItem*>(data);
    if (!self) {
        ZLOGE("data is null");
        return nullptr;
    }
    if (!part || strcmp(part, "elm.icon") != 0) {
        return nullptr;
    }
    return self->_createCheck(obj);
}

void ZentrelSettingItem::_checkDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingItem*>(data);
    if (self->_checkBoxItem == obj) {
        self->_checkBoxItem = nullptr;
    }
}
