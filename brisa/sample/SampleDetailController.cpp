#include "SampleDetailController.h"

#include <ostra/utils_i18n.h>

#include "SampleTheme.h"

Evas_Object* SampleDetailController::onCreateView(Evas_Object* parent, void*) {
    Evas_Object* layout = elm_layout_add(parent);
    if (!elm_layout_file_set(layout, sample::themePath().c_str(), "sample_detail")) {
        evas_object_del(layout);
        return nullptr;
    }
    elm_object_part_text_set(layout, "title", i18n_get_text("WDS_ALTI_HEADER_HELP"));
    elm_object_part_text_set(
        layout, "body",
        i18n_get_text(
            "WDS_ALTI_BODY_THE_BAROMETER_MEASURES_ATMOSPHERIC_PRESSURE_WITH_AN_INTERNAL_SENSOR"));
    return layout;
}
