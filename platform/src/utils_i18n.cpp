#include "ostra/utils_i18n.h"

#include <libintl.h>
#include <unicode/unum.h>
#include <unicode/ustring.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"
#include "ostra/vconf.h"

namespace {

int toError(UErrorCode status) {
    if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
        return I18N_ERROR_BUFFER_OVERFLOW;
    }
    return U_FAILURE(status) ? I18N_ERROR_UNKNOWN : I18N_ERROR_NONE;
}

bool isNeutralLocale(const std::string& locale) {
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

// The platform's language key, else the environment's locale, else English.
std::string fallbackLanguage() {
    std::string code;
    char* key = vconf_get_str("db/menu_widget/language");
    if (key && *key) {
        code = key;
    }
    free(key);
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(var);
        if (code.empty() && value && !isNeutralLocale(value)) {
            code = value;
        }
    }
    if (code.empty()) {
        code = "en";
    }
    return code.substr(0, code.find('.'));
}

}  // namespace

extern "C" {

const char* i18n_get_text(const char* msgid) {
    if (!msgid) {
        return "";
    }
    return dgettext(ostra::packageId().c_str(), msgid);
}

void ostra_i18n_bind_text_domain(void) {
    const char* applied = setlocale(LC_ALL, "");
    if (!applied || isNeutralLocale(applied)) {
        // No language in the locale, or a locale the host lacks (a container
        // often has only C.UTF-8): keep UTF-8 and let LANGUAGE pick the
        // catalogue.
        setlocale(LC_ALL, "C.UTF-8");
        const char* language = getenv("LANGUAGE");
        if (!language || !*language) {
            setenv("LANGUAGE", fallbackLanguage().c_str(), 1);
        }
        OSTRA_LOGI("texts follow LANGUAGE=%s", getenv("LANGUAGE"));
    }
    char* res = app_get_resource_path();
    if (!res) {
        return;
    }
    std::string dir = std::string(res) + "locale";
    free(res);
    const std::string domain = ostra::packageId();
    bindtextdomain(domain.c_str(), dir.c_str());
    bind_textdomain_codeset(domain.c_str(), "UTF-8");
    textdomain(domain.c_str());
}

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
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* fmt = unum_open(icuStyle, reinterpret_cast<const UChar*>(pattern),
                                   pattern ? pattern_len : 0, locale, nullptr, &status);
    if (U_FAILURE(status)) {
        OSTRA_LOGE("unum_open(%s) failed: %s", locale ? locale : "default", u_errorName(status));
        return I18N_ERROR_UNKNOWN;
    }
    *num_format = fmt;
    return I18N_ERROR_NONE;
}

int i18n_unumber_destroy(i18n_unumber_format_h fmt) {
    if (!fmt) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    unum_close(static_cast<UNumberFormat*>(fmt));
    return I18N_ERROR_NONE;
}

int i18n_unumber_format(i18n_unumber_format_h fmt, int32_t number, i18n_uchar* result,
                        int32_t result_len, i18n_ufield_position_h, int32_t* len) {
    if (!fmt || !result || result_len <= 0) {
        return I18N_ERROR_INVALID_PARAMETER;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = unum_format(static_cast<UNumberFormat*>(fmt), number,
                            reinterpret_cast<UChar*>(result), result_len, nullptr, &status);
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
    int32_t n = unum_formatDouble(static_cast<UNumberFormat*>(fmt), number,
                                  reinterpret_cast<UChar*>(result), result_len, nullptr, &status);
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
