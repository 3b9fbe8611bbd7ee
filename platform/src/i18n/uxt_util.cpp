#include "ostra/uxt_util.h"

#include <unicode/unistr.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "HostLocale.h"
#include "IcuFormatting.h"
#include "PlatformLog.h"
#include "ostra/vconf.h"

namespace {

std::u16string skeletonFor(int format) {
    std::u16string skeleton;
    if (format & UXT_DATE_TIME_YEAR) {
        skeleton += u"y";
    }
    if (format & UXT_DATE_TIME_MONTH_DAY) {
        skeleton += u"MMMd";
    }
    if (format & UXT_DATE_TIME_WEEKDAY) {
        skeleton += u"EEE";
    }
    if (format & UXT_DATE_TIME_HOUR) {
        skeleton += (format & UXT_DATE_TIME_12H) ? u"h" : u"H";
    }
    if (format & UXT_DATE_TIME_MINUTE) {
        skeleton += u"mm";
    }
    if (format & UXT_DATE_TIME_SECOND) {
        skeleton += u"ss";
    }
    if (skeleton.empty()) {
        skeleton = u"yMMMdHHmm";
    }
    return skeleton;
}

// The date as text in a pattern of the locale; "" with *status set on failure.
std::string formatDate(const ostra::IcuFormatting& icu, const std::string& locale,
                       const std::u16string& pattern, UDate date, UErrorCode* status) {
    UDateFormat* formatter =
        icu.dateOpen(UDAT_PATTERN, UDAT_PATTERN, locale.c_str(), nullptr, -1, pattern.data(),
                     static_cast<int32_t>(pattern.size()), status);
    if (U_FAILURE(*status)) {
        return "";
    }
    std::u16string text = ostra::icuText(
        [&](UChar* buffer, int32_t capacity, UErrorCode* error) {
            return icu.dateFormat(formatter, date, buffer, capacity, nullptr, error);
        },
        status);
    icu.dateClose(formatter);
    std::string utf8;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
    return utf8;
}

}  // namespace

extern "C" char* uxt_util_get_date_time_text_by_locale(const char* locale, int format, time_t t) {
    std::string name = locale && *locale ? locale : "";
    if (name.empty()) {
        char* region = vconf_get_str(VCONFKEY_REGIONFORMAT);
        name = region ? region : "";
        free(region);
    }
    const ostra::IcuFormatting* icu = ostra::icuFormatting();
    if (!icu) {
        return nullptr;
    }
    const std::string icuLocale = ostra::icuLocaleId(name);
    UErrorCode status = U_ZERO_ERROR;
    UDateTimePatternGenerator* generator = icu->patternsOpen(icuLocale.c_str(), &status);
    if (U_FAILURE(status)) {
        OSTRA_LOGE("date-time patterns for %s: %s", name.c_str(), u_errorName(status));
        return nullptr;
    }
    std::u16string pattern = icu->bestPattern(generator, skeletonFor(format), &status);
    icu->patternsClose(generator);
    std::string text;
    if (U_SUCCESS(status)) {
        text = formatDate(*icu, icuLocale, pattern, static_cast<UDate>(t) * 1000.0, &status);
    }
    if (U_FAILURE(status)) {
        OSTRA_LOGE("date-time format %d for %s: %s", format, name.c_str(), u_errorName(status));
        return nullptr;
    }
    return strdup(text.c_str());
}
