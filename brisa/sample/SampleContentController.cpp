#include "SampleContentController.h"

#include <WNaviframeController.h>
#include <ostra/dlog.h>
#include <ostra/efl_extension.h>
#include <ostra/utils_i18n.h>

#include "SampleDetailController.h"
#include "SampleTheme.h"

Evas_Object* SampleContentController::onCreateView(Evas_Object* parent, void* viewParam) {
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, sample::themePath().c_str(), "sample_content")) {
        dlog_print(DLOG_ERROR, "SAMPLE", "theme %s has no sample_content",
                   sample::themePath().c_str());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    evas_object_size_hint_weight_set(_layout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_object_part_text_set(_layout, "title", i18n_get_text("WDS_ALTI_HEADER_ALTIMETER_ABB"));
    elm_object_part_text_set(_layout, "sub", i18n_get_text("WDS_ALTI_BODY_LAST_6_HOURS_ABB"));
    setValue(viewParam ? static_cast<const char*>(viewParam) : "0");
    elm_layout_signal_callback_add(_layout, "sample,action", "", _actionCb, this);
    return _layout;
}

void SampleContentController::onPushed(Elm_Object_Item*) {
    eext_rotary_object_event_callback_add(_layout, _rotaryCb, this);
    eext_rotary_object_event_activated_set(_layout, EINA_TRUE);
}

void SampleContentController::onBecomeTop() {
    ++_becomeTopCount;
    eext_rotary_object_event_activated_set(_layout, EINA_TRUE);
}

void SampleContentController::setValue(const char* value) {
    if (_layout)
        elm_object_part_text_set(_layout, "value", value ? value : "");
}

void SampleContentController::_actionCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<SampleContentController*>(data);
    if (!self || !self->getNaviframeController())
        return;
    self->getNaviframeController()->push(new SampleDetailController(), "detail");
}

Eina_Bool SampleContentController::_rotaryCb(void* data, Evas_Object*,
                                             Eext_Rotary_Event_Info* info) {
    auto* self = static_cast<SampleContentController*>(data);
    self->_rotaryCount += info->direction == EEXT_ROTARY_DIRECTION_CLOCKWISE ? 1 : -1;
    self->setValue(std::to_string(self->_rotaryCount).c_str());
    return EINA_TRUE;
}
