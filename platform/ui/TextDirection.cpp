#include <Elementary.h>
#include <unicode/uloc.h>

#include <cstring>
#include <string>

#include "PlatformLog.h"
#include "ostra/i18n.h"
#include "ostra/ostra_efl.h"

namespace {

// The "Language:" field of a catalogue header, empty when there is none.
std::string headerLanguage(const char* header) {
    static constexpr const char kField[] = "Language: ";
    const char* field = header ? strstr(header, kField) : nullptr;
    if (!field) {
        return "";
    }
    field += sizeof kField - 1;
    return std::string(field, strcspn(field, "\n"));
}

}  // namespace

extern "C" bool ostra_efl_apply_text_direction(void) {
    // gettext answers the empty id with the header of the catalogue in force.
    std::string language = headerLanguage(i18n_get_text(""));
    const bool rightToLeft = !language.empty() && uloc_isRightToLeft(language.c_str());
    elm_config_mirrored_set(rightToLeft ? EINA_TRUE : EINA_FALSE);
    OSTRA_LOGI("texts in %s, %s", language.empty() ? "(no catalogue)" : language.c_str(),
               rightToLeft ? "right to left: the toolkit is mirrored" : "left to right");
    return rightToLeft;
}
