#include "ostra/i18n.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <mutex>
#include <string>

#include "HostLocale.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"
#include "ostra/vconf.h"

namespace {

std::once_flag gInitOnce;
std::string gDomain;

// gettext answers nothing in the C locale, and a fresh machine often has no
// other one installed: fall back to C.UTF-8, where the language list of
// LANGUAGE still chooses the catalogue.
void initCatalogue() {
    const char* current = setlocale(LC_MESSAGES, "");
    if (!current || std::string(current) == "C" || std::string(current) == "POSIX") {
        setlocale(LC_MESSAGES, "C.UTF-8");
    }
    char* region = vconf_get_str(VCONFKEY_REGIONFORMAT);
    std::string language = ostra::icuLocaleId(region ? region : "");
    free(region);
    if (!getenv("LANGUAGE") && !language.empty()) {
        std::string list = language + ":" + language.substr(0, language.find('_'));
        setenv("LANGUAGE", list.c_str(), 0);
    }
    gDomain = ostra::packageId();
    char* resources = app_get_resource_path();
    std::string localeDir = std::string(resources ? resources : "") + "locale";
    free(resources);
    bindtextdomain(gDomain.c_str(), localeDir.c_str());
    bind_textdomain_codeset(gDomain.c_str(), "UTF-8");
    OSTRA_LOGD("texts of %s from %s", gDomain.c_str(), localeDir.c_str());
}

}  // namespace

extern "C" const char* i18n_get_text(const char* msgid) {
    if (!msgid) {
        return "";
    }
    std::call_once(gInitOnce, initCatalogue);
    return dgettext(gDomain.c_str(), msgid);
}
