// Texts of the platform's helper programs: their own catalogue, "ostra",
// next to the programs' catalogues in the resource directory. The language
// is the one the application framework chose when it started the program.
#pragma once

#include <libintl.h>
#include <ostra/app_common.h>

#include <cstdlib>
#include <string>

namespace ostra_tools {

constexpr const char* kTextDomain = "ostra";

inline void bindTexts() {
    char* resources = app_get_resource_path();
    std::string localeDir = std::string(resources ? resources : "") + "locale";
    free(resources);
    bindtextdomain(kTextDomain, localeDir.c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
}

inline const char* text(const char* id) {
    return dgettext(kTextDomain, id);
}

}  // namespace ostra_tools
