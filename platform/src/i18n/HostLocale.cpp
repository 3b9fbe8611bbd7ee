#include "HostLocale.h"

#include <unicode/locid.h>

#include <cstdlib>

#include "IcuFormatting.h"

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
    const IcuFormatting* icu = icuFormatting();
    if (!icu) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    UDateTimePatternGenerator* generator =
        icu->patternsOpen(icuLocaleId(posixName).c_str(), &status);
    if (U_FAILURE(status)) {
        return false;
    }
    std::u16string pattern = icu->bestPattern(generator, u"j", &status);
    icu->patternsClose(generator);
    if (U_FAILURE(status)) {
        return false;
    }
    // Quoted literals such as 'Uhr' in German are text, not fields.
    bool quoted = false;
    for (char16_t c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && (c == u'h' || c == u'K')) {
            return true;
        }
    }
    return false;
}

}  // namespace ostra
