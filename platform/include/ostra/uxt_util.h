/* Locale-aware date-time texts. */
#ifndef OSTRA_UXT_UTIL_H
#define OSTRA_UXT_UTIL_H

#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Format codes are bit sets of the fields to show. */
enum {
    UXT_DATE_TIME_WEEKDAY = 0x01,
    UXT_DATE_TIME_MONTH_DAY = 0x02,
    UXT_DATE_TIME_YEAR = 0x04,
    UXT_DATE_TIME_SECOND = 0x08,
    UXT_DATE_TIME_HOUR = 0x10,
    UXT_DATE_TIME_MINUTE = 0x20,
    UXT_DATE_TIME_12H = 0x40,
};

/* The local time of t rendered for locale (such as "en_GB.UTF-8"; NULL or
 * empty takes the region-format key) with the fields of format. Newly
 * allocated; NULL on failure. */
char* uxt_util_get_date_time_text_by_locale(const char* locale, int format, time_t t);

#ifdef __cplusplus
}
#endif

#endif
