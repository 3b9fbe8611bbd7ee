#include "ostra/uxt_util.h"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "HostLocale.h"
#include "PlatformLog.h"
#include "ostra/vconf.h"

namespace {

icu::UnicodeString skeletonFor(int format) {
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
    return icu::UnicodeString(skeleton.data(), static_cast<int32_t>(skeleton.size()));
}

}  // namespace

extern "C" char* uxt_util_get_date_time_text_by_locale(const char* locale, int format, time_t t) {
    std::string name = locale && *locale ? locale : "";
    if (name.empty()) {
        char* region = vconf_get_str(VCONFKEY_REGIONFORMAT);
        name = region ? region : "";
        free(region);
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale icuLocale(ostra::icuLocaleId(name).c_str());
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icuLocale, status));
    if (U_FAILURE(status)) {
        OSTRA_LOGE("date-time patterns for %s: %s", name.c_str(), u_errorName(status));
        return nullptr;
    }
    icu::UnicodeString pattern = generator->getBestPattern(skeletonFor(format), status);
    icu::SimpleDateFormat formatter(pattern, icuLocale, status);
    if (U_FAILURE(status)) {
        OSTRA_LOGE("date-time format %d for %s: %s", format, name.c_str(), u_errorName(status));
        return nullptr;
    }
    icu::UnicodeString text;
    formatter.format(static_cast<UDate>(t) * 1000.0, text);
    std::string utf8;
    text.toUTF8String(utf8);
    return strdup(utf8.c_str());
}
