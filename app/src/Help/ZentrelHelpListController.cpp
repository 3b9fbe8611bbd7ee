#include "ZentrelHelpListController.h"

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ZentrelLog.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>

#include <cstring>

#include "ZentrelHelpContentController.h"

namespace {

// The rows' texts; a row's position after the title is its help type + 1.
constexpr const char* kRows[] = {"WDS_ALTI_MBODY_ALTIMETER", "WDS_ALTI_MBODY_BAROMETER",
                                 "WDS_ALTI_HEADER_PRESSURE_ALERTS"};

char* rowText(void* data, Evas_Object*, const char* part) {
    if (strcmp(part, "elm.text") != 0) {
        return nullptr;
    }
    return strdup(i18n_get_text(static_cast<const char*>(data)));
}

Elm_Genlist_Item_Class* itemClass(const char* style) {
    Elm_Genlist_Item_Class* itc = elm_genlist_item_class_new();
    itc->item_style = style;
    itc->func.text_get = rowText;
    return itc;
}

}  // namespace

Evas_Object* ZentrelHelpListController::onCreateView(Evas_Object* parent, void*) {
    setTitle("Help");
    if (!parent) {
        ZLOGE("Naviframe obj is null.");
        return nullptr;
    }
    _genlist = elm_genlist_add(parent);
    elm_genlist_mode_set(_genlist, ELM_LIST_COMPRESS);
    elm_genlist_homogeneous_set(_genlist, EINA_FALSE);
    brisa::WWindowController* window = getWindowController();
    _circleList =
        eext_circle_object_genlist_add(_genlist, window ? window->getCircleSurface() : nullptr);
    eext_circle_object_genlist_scroller_policy_set(_circleList, ELM_SCROLLER_POLICY_OFF,
                                                   ELM_SCROLLER_POLICY_OFF);
    eext_rotary_object_event_activated_set(_circleList, EINA_TRUE);

    Elm_Genlist_Item_Class* title = itemClass("title");
    elm_genlist_item_append(_genlist, title, const_cast<char*>("WDS_ALTI_HEADER_HELP"), nullptr,
                            ELM_GENLIST_ITEM_NONE, nullptr, nullptr);
    Elm_Genlist_Item_Class* row = itemClass("1text");
    for (const char* id : kRows) {
        elm_genlist_item_append(
            _genlist, row, const_cast<char*>(id), nullptr, ELM_GENLIST_ITEM_NONE,
            [](void* data, Evas_Object*, void* eventInfo) {
                elm_genlist_item_selected_set(static_cast<Elm_Object_Item*>(eventInfo), EINA_FALSE);
                auto* self = static_cast<ZentrelHelpListController*>(data);
                const char* id = static_cast<const char*>(
                    elm_object_item_data_get(static_cast<Elm_Object_Item*>(eventInfo)));
                for (int type = 0; type < 3; ++type) {
                    if (id == kRows[type] && self->getNaviframeController()) {
                        self->getNaviframeController()->push(
                            new ZentrelHelpContentController(), "help",
                            ZentrelHelpContentController::typeParam(type));
                    }
                }
            },
            this);
    }
    Elm_Genlist_Item_Class* padding = itemClass("padding");
    elm_genlist_item_append(_genlist, padding, nullptr, nullptr, ELM_GENLIST_ITEM_NONE, nullptr,
                            nullptr);
    elm_genlist_item_class_free(title);
    elm_genlist_item_class_free(row);
    elm_genlist_item_class_free(padding);
    return _genlist;
}

void ZentrelHelpListController::onPushed(Elm_Object_Item* naviItem) {
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
    elm_object_item_access_info_set(naviItem, i18n_get_text("WDS_ALTI_HEADER_HELP"));
}

void ZentrelHelpListController::onBecomeTop() {
    if (_circleList) {
        eext_rotary_object_event_activated_set(_circleList, EINA_TRUE);
    }
}
