#include <ZentrelLog.h>
#include <ostra/utils_i18n.h>

#include "ZentrelSettingViewController.h"
#include "ZentrelUtil.h"

namespace {

Evas_Object* titledLayout(Evas_Object* parent, const char* group, const char* title) {
    Evas_Object* layout = elm_layout_add(parent);
    if (!elm_layout_file_set(layout, ZentrelUtil::getAppEdjFilePath(), group)) {
        ZLOGE("%s is missing in %s", group, ZentrelUtil::getAppEdjFilePath());
        evas_object_del(layout);
        return nullptr;
    }
    elm_object_part_text_set(layout, "title", i18n_get_text(title));
    return layout;
}

}  // namespace

Evas_Object* ZentrelSettingViewController::onCreateView(Evas_Object* parent, void*) {
    return titledLayout(parent, "setting_view", "WDS_ALTI_HEADER_SETTINGS_ABB2");
}
