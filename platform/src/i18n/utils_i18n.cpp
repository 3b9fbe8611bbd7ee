#include "ostra/utils_i18n.h"

#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "IcuFormatting.h"
#include "PlatformLog.h"

namespace {

int toError(UErrorCode status) {
    if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
        return I18N_ERROR_BUFFER_OVERFLOW;
    }
    return U_FAILURE(status) ? I18N_ERROR_UNKNOWN : I18N_ERROR_NONE;
}

}  // namespace

extern "C" {

int i18n_unumber_create(i18n_unumber_format_style_e style, const i18n_uchar* pattern,
                        int32_t pattern_len, const char* locale, void*,
                        i18n_unumber_format_h* num_format) {
    if (!num_format || style < I18N_UNUMBER_PATTERN_DECIMAL || style > I18N_UNUMBER_PERCENT) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    UNumberFormatStyle icuStyle = static_cast<UNumberFormatStyle>(style);
    if (style == I18N_UNUMBER_PATTERN_DECIMAL && !pattern) {
        icuStyle = UNUM_DECIMAL;
    }
    const ostra::IcuFormatting* icu = ostra::icuFormatting();
    if (!icu) {
        return I18N_ERROR_UNKNOWN;
    }
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* fmt = icu->numberOpen(icuStyle, reinterpret_cast<const UChar*>(pattern),
                                         pattern ? pattern_len : 0, locale, nullptr, &status);
    if (U_FAILURE(status)) {
        OSTRA_LOGE("unum_open(%s) failed: %s", locale ? locale : "default", u_errorName(status));
        return I18N_ERROR_UNKNOWN;
    }
    *num_format = fmt;
    return I18N_ERROR_NONE;
}

int i18n_unumber_set_attribute(i18n_unumber_format_h fmt, i18n_unumber_numeric_attribute_e attr,
                               int32_t new_value) {
    if (!fmt) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    // A formatter exists only once the library is loaded.
    ostra::icuFormatting()->numberSetAttribute(
        static_cast<UNumberFormat*>(fmt), static_cast<UNumberFormatAttribute>(attr), new_value);
    return I18N_ERROR_NONE;
}

int i18n_unumber_destroy(i18n_unumber_format_h fmt) {
    if (!fmt) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    ostra::icuFormatting()->numberClose(static_cast<UNumberFormat*>(fmt));
    return I18N_ERROR_NONE;
}

int i18n_unumber_format(i18n_unumber_format_h fmt, int32_t number, i18n_uchar* result,
                        int32_t result_len, i18n_ufield_position_h, int32_t* len) {
    if (!fmt || !result || result_len <= 0) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ostra::icuFormatting()->numberFormat(static_cast<UNumberFormat*>(fmt), number,
                                                     reinterpret_cast<UChar*>(result), result_len,
                                                     nullptr, &status);
    if (len) {
        *len = n;
    }
    return toError(status);
}

int i18n_unumber_format_double(i18n_unumber_format_h fmt, double number, i18n_uchar* result,
                               int32_t result_len, i18n_ufield_position_h, int32_t* len) {
    if (!fmt || !result || result_len <= 0) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ostra::icuFormatting()->numberFormatDouble(static_cast<UNumberFormat*>(fmt), number,
                                                           reinterpret_cast<UChar*>(result),
                                                           result_len, nullptr, &status);
    if (len) {
        *len = n;
    }
    return toError(status);
}

int i18n_ustring_to_UTF8(char* dest, int32_t dest_capacity, int32_t* dest_len,
                         const i18n_uchar* src, int32_t src_len) {
    if (!dest || dest_capacity <= 0 || !src) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = 0;
    u_strToUTF8(dest, dest_capacity, &n, reinterpret_cast<const UChar*>(src), src_len, &status);
    if (dest_len) {
        *dest_len = n;
    }
    return toError(status);
}

}  // extern "C"
