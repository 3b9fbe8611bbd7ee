/* Texts and locale-aware numbers: gettext catalogues and ICU formatters. */
#ifndef OSTRA_UTILS_I18N_H
#define OSTRA_UTILS_I18N_H

#include <stdint.h>

#include "ostra/i18n.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t i18n_uchar;
typedef void* i18n_unumber_format_h;
typedef void* i18n_ufield_position_h;

typedef enum {
    I18N_ERROR_NONE = 0,
    I18N_ERROR_INVALID_PARAMETER = -22,
    I18N_ERROR_OUT_OF_MEMORY = -12,
    I18N_ERROR_BUFFER_OVERFLOW = -75,
    I18N_ERROR_UNKNOWN = -0x01120001,
} i18n_error_code_e;

typedef enum {
    /* Without a pattern this is the locale's decimal format. */
    I18N_UNUMBER_PATTERN_DECIMAL = 0,
    I18N_UNUMBER_DECIMAL = 1,
    I18N_UNUMBER_CURRENCY = 2,
    I18N_UNUMBER_PERCENT = 3,
} i18n_unumber_format_style_e;

/* Binds the package's text domain to the resource directory's locale/
 * catalogues and takes the locale from the environment. */
void ostra_i18n_bind_text_domain(void);

int i18n_unumber_create(i18n_unumber_format_style_e style, const i18n_uchar* pattern,
                        int32_t pattern_len, const char* locale, void* parse_error,
                        i18n_unumber_format_h* num_format);
int i18n_unumber_destroy(i18n_unumber_format_h fmt);

/* Formatter attributes (the values are ICU's). */
typedef enum {
    I18N_UNUMBER_GROUPING_USED = 1,
    I18N_UNUMBER_MAX_FRACTION_DIGITS = 6,
    I18N_UNUMBER_MIN_FRACTION_DIGITS = 7,
} i18n_unumber_numeric_attribute_e;

int i18n_unumber_set_attribute(i18n_unumber_format_h fmt, i18n_unumber_numeric_attribute_e attr,
                               int32_t new_value);
/* Writes the text (NUL-terminated when it fits) and its length in *len. */
int i18n_unumber_format(i18n_unumber_format_h fmt, int32_t number, i18n_uchar* result,
                        int32_t result_len, i18n_ufield_position_h pos, int32_t* len);
int i18n_unumber_format_double(i18n_unumber_format_h fmt, double number, i18n_uchar* result,
                               int32_t result_len, i18n_ufield_position_h pos, int32_t* len);
/* UTF-16 to UTF-8; dest gets a NUL-terminated text when it fits. */
int i18n_ustring_to_UTF8(char* dest, int32_t dest_capacity, int32_t* dest_len,
                         const i18n_uchar* src, int32_t src_len);

#ifdef __cplusplus
}
#endif

#endif
