#include "HostLocale.h"

#include <unicode/dtptngen.h>
#include <unicode/locid.h>

#include <cstdlib>
#include <memory>

namespace ostra {

std::string hostLocaleName() {
    for (const char* var : {"LC_ALL", "LANG"}) {
        const char* value = getenv(var);
        if (!value || !*value) {
            continue;
        }
        std::string name = value;
        if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) {
            return "";
        }
        return name;
    }
    return "";
}

std::string icuLocaleId(const std::string& posixName) {
    std::string id = posixName.substr(0, posixName.find_first_of(".@"));
    return id;
}

std::string hostCountry() {
    std::string name = hostLocaleName();
    if (name.empty()) {
        return "";
    }
    icu::Locale locale(icuLocaleId(name).c_str());
    return locale.isBogus() ? "" : locale.getCountry();
}

bool localeUses12Hour(const std::string& posixName) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale(icuLocaleId(posixName).c_str());
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status) || !generator) {
        return false;
    }
    icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(u"j"), status);
    if (U_FAILURE(status)) {
        return false;
    }
    // Quoted literals such as 'Uhr' in German are text, not fields.
    bool quoted = false;
    for (int32_t i = 0; i < pattern.length(); ++i) {
        char16_t c = pattern.charAt(i);
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && (c == u'h' || c == u'K')) {
            return true;
        }
    }
    return false;
}

}  // namespace ostra
