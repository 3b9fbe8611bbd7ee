#include "ZentrelSettingCalibItem.h"

#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/i18n.h>

#include <cstring>
#include <ctime>
#include <map>
#include <string>

ZentrelSettingCalibItem::ZentrelSettingCalibItem(int listIndex, std::string title)
    : _title(std::move(title)), _listIndex(listIndex), _isTitle(true) {}

ZentrelSettingCalibItem::ZentrelSettingCalibItem(int listIndex, int index, std::string title)
    : _title(std::move(title)), _index(index), _listIndex(listIndex) {}

ZentrelSettingCalibItem::ZentrelSettingCalibItem(int listIndex, std::string title,
                                                 std::string title2)
    : _title(std::move(title)),
      _title2(std::move(title2)),
      _listIndex(listIndex),
      _isTwoItem(true) {}

ZentrelSettingCalibItem::~ZentrelSettingCalibItem() {
    if (_check) {
        evas_object_event_callback_del_full(_check, EVAS_CALLBACK_DEL, _checkDelCb, this);
    }
}

const char* ZentrelSettingCalibItem::_style() const {
    if (_isTitle) {
        return "title";
    }
    if (_isTwoItem) {
        return "2text";
    }
    if (_isPadding) {
        return "padding";
    }
    return "1text.1icon.1";
}

// Rows of one type differ in style, so the class is kept per style, for the
// life of the process (never destroyed, so the classes stay reachable at exit).
Elm_Genlist_Item_Class* ZentrelSettingCalibItem::getItemClassStatic() {
    static auto* classes = new std::map<std::string, Elm_Genlist_Item_Class*>();
    Elm_Genlist_Item_Class*& itc = (*classes)[_style()];
    if (!itc) {
        itc = getItemClassNew();
    }
    return itc;
}

Elm_Genlist_Item_Class* ZentrelSettingCalibItem::getItemClassNew() {
    Elm_Genlist_Item_Class* itc = brisa::WGenlistItem::getItemClassNew();
    itc->item_style = _style();
    itc->func.text_get = _textGet;
    itc->func.content_get = _contentGet;
    return itc;
}

char* ZentrelSettingCalibItem::_textGet(void* data, Evas_Object*, const char* part) {
    auto* self = static_cast<ZentrelSettingCalibItem*>(data);
    if (!self) {
        return nullptr;
    }
    if (strcmp(part, "elm.text") == 0) {
        return strdup(i18n_get_text(self->_title.c_str()));
    }
    if (strcmp(part, "elm.text.1") == 0) {
        return strdup(i18n_get_text(self->_title2.c_str()));
    }
    return nullptr;
}

Evas_Object* ZentrelSettingCalibItem::_contentGet(void* data, Evas_Object* obj, const char* part) {
    auto* self = static_cast<ZentrelSettingCalibItem*>(data);
    if (!self || strcmp(part, "elm.icon") != 0 || self->_isTitle || self->_isTwoItem) {
        return nullptr;
    }
    Evas_Object* check = elm_check_add(obj);
    elm_object_style_set(check, "on&off/list");
    elm_check_state_set(check, ZentrelStorageMgr::getInstance()->getSettingManualMode() == 1
                                   ? EINA_TRUE
                                   : EINA_FALSE);
    // The row takes the touches: selecting the row is the only way to toggle.
    elm_object_signal_emit(check, "elm,event,pass,enabled", "elm");
    evas_object_propagate_events_set(check, EINA_FALSE);
    evas_object_repeat_events_set(check, EINA_TRUE);
    evas_object_event_callback_add(check, EVAS_CALLBACK_DEL, _checkDelCb, self);
    self->_check = check;
    self->_isCheck = true;
    return check;
}

void ZentrelSettingCalibItem::_checkDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingCalibItem*>(data);
    if (self && self->_check == obj) {
        self->_check = nullptr;
    }
}

void ZentrelSettingCalibItem::onSelect(Elm_Object_Item* item) {
    if (_listIndex == LIST_SWITCH) {
        _toggleManualMode(item);
    } else {
        elm_genlist_item_selected_set(item, EINA_FALSE);
    }
    if (_selectedCb) {
        _selectedCb();
    }
}

void ZentrelSettingCalibItem::_toggleManualMode(Elm_Object_Item* item) {
    elm_genlist_item_selected_set(item, EINA_FALSE);
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const bool wasOn = storage->getSettingManualMode() == 1;
    if (wasOn) {
        ZentrelLogging::getInstance()->sendKorvaneLog(STATE_MANUAL_CALIBRATION, "NONE", "0");
        storage->saveSettingManualMode(0);
    } else {
        ZentrelLogging::getInstance()->sendKorvaneLog(STATE_MANUAL_CALIBRATION, "NONE", "1000");
        // Manual mode starts from the pressure in force: it goes into the
        // history, and the calibration time says when manual mode began.
        const long long now = static_cast<long long>(time(nullptr));
        storage->addDataSLPHistory(now, storage->getDataSLP());
        storage->saveSettingManualMode(1);
        storage->saveDataCalTime(now);
    }
    ZLOGI("manual mode %s", wasOn ? "off" : "on");
    if (_check) {
        elm_object_signal_emit(_check, wasOn ? "elm,activate,check,off" : "elm,activate,check,on",
                               "elm");
        elm_check_state_set(_check, wasOn ? EINA_FALSE : EINA_TRUE);
    }
    const Eina_Bool disabled = wasOn ? EINA_TRUE : EINA_FALSE;
    if (objItem2) {
        elm_object_item_disabled_set(objItem2, disabled);
    }
    if (objItem3) {
        elm_object_item_disabled_set(objItem3, disabled);
    }
    onSetElmObjectItem();
}

// What the screen reader says of the switch row: name, state, and what it is.
std::string ZentrelSettingCalibItem::accessText() const {
    const bool on = ZentrelStorageMgr::getInstance()->getSettingManualMode() == 1;
    return std::string(i18n_get_text(_title.c_str())) + ", " +
           i18n_get_text(on ? "WDS_ALTI_BODY_ON_M_STATUS" : "WDS_ALTI_BODY_OFF_M_STATUS") + ", " +
           i18n_get_text("WDS_ALM_TBOPT_SWITCH") + ", " +
           i18n_get_text(on ? "WDS_PN_SBODY_ON_M_STATUS_ABB" : "WDS_PN_SBODY_OFF_M_STATUS_ABB");
}

void ZentrelSettingCalibItem::onSetElmObjectItem() {
    if (_listIndex == LIST_SWITCH && getElmObjectItem()) {
        elm_object_item_access_info_set(getElmObjectItem(), accessText().c_str());
    }
}
