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
#include "ostra/utils_i18n.h"
#include "ostra/vconf.h"

namespace {

std::once_flag gInitOnce;
std::string gDomain;

bool isNeutralLocale(const std::string& locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

// The platform's language key, else the region format (which follows the
// host locale until the user sets it).
std::string platformLanguage() {
    std::string code;
    for (const char* key : {"db/menu_widget/language", VCONFKEY_REGIONFORMAT}) {
        char* value = vconf_get_str(key);
        if (code.empty() && value && *value) {
            code = ostra::icuLocaleId(value);
        }
        free(value);
    }
    return code;
}

// gettext answers nothing in the C locale, and a fresh machine often has no
// other one installed: fall back to C.UTF-8, where the language list of
// LANGUAGE still chooses the catalogue. Numbers stay in the C locale: stored
// values and request URLs are written with printf-style formats.
void initCatalogue() {
    const char* applied = setlocale(LC_ALL, "");
    if (!applied || isNeutralLocale(applied)) {
        setlocale(LC_ALL, "C.UTF-8");
    }
    setlocale(LC_NUMERIC, "C");
    const char* language = getenv("LANGUAGE");
    std::string list = language ? language : "";
    if (list.empty()) {
        std::string code = platformLanguage();
        if (!code.empty()) {
            list = code + ":" + code.substr(0, code.find('_'));
        }
    }
    // The message ids are no text: a language without a catalogue falls
    // back to English, never to the ids.
    if (!list.empty() && (":" + list + ":").find(":en:") == std::string::npos) {
        list += ":en";
    }
    if (!list.empty()) {
        setenv("LANGUAGE", list.c_str(), 1);
    }
    gDomain = ostra::packageId();
    char* resources = app_get_resource_path();
    std::string localeDir = std::string(resources ? resources : "") + "locale";
    free(resources);
    bindtextdomain(gDomain.c_str(), localeDir.c_str());
    bind_textdomain_codeset(gDomain.c_str(), "UTF-8");
    OSTRA_LOGD("texts of %s from %s, LANGUAGE=%s", gDomain.c_str(), localeDir.c_str(),
               getenv("LANGUAGE") ? getenv("LANGUAGE") : "");
}

}  // namespace

extern "C" const char* i18n_get_text(const char* msgid) {
    if (!msgid) {
        return "";
    }
    std::call_once(gInitOnce, initCatalogue);
    return dgettext(gDomain.c_str(), msgid);
}

extern "C" void ostra_i18n_bind_text_domain(void) {
    std::call_once(gInitOnce, initCatalogue);
    textdomain(gDomain.c_str());
}
