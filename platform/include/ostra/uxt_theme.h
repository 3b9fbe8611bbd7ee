/* Theme colour and font tables. A table is an XML file of entries keyed by
 * code (such as "AO0156"); applying it sets one edje colour class (colour
 * table) or text class (font table) per code, so theme files refer to the
 * codes by name:
 *   <colortable><color code="AO0156" value="#2FA7FF73"/></colortable>
 *   <fonttable><font code="AT0232" family="Roboto" style="Regular" size="16"/></fonttable>
 * Colours are #RRGGBB or #RRGGBBAA. */
#ifndef OSTRA_UXT_THEME_H
#define OSTRA_UXT_THEME_H

#include <Evas.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    UXT_THEME_ERROR_NONE = 0,
    UXT_THEME_ERROR_INVALID_PARAMETER = -22,
    UXT_THEME_ERROR_NO_DATA = -61,
    UXT_THEME_ERROR_IO_ERROR = -5,
} uxt_theme_error_e;

typedef struct uxt_theme_table_s* uxt_theme_table_h;
typedef void (*uxt_theme_changed_cb)(void* user_data);

/* Kept for source compatibility: tables here can always be changed. */
void uxt_theme_changeable_ui_enabled_set(bool enabled);

/* NULL (with a log line) when the file is missing or not a table. */
uxt_theme_table_h uxt_theme_color_table_load(const char* path);
uxt_theme_table_h uxt_theme_font_table_load(const char* path);
/* Sets the classes of every entry and makes the table current for look-ups;
 * the change callbacks of the table's kind run afterwards. */
int uxt_theme_table_apply(uxt_theme_table_h table);
int uxt_theme_table_free(uxt_theme_table_h table);
int uxt_theme_table_count(uxt_theme_table_h table);

int uxt_theme_add_color_changed_cb(uxt_theme_changed_cb cb, void* user_data);
int uxt_theme_remove_color_changed_cb(uxt_theme_changed_cb cb);
int uxt_theme_add_font_changed_cb(uxt_theme_changed_cb cb, void* user_data);
int uxt_theme_remove_font_changed_cb(uxt_theme_changed_cb cb);

/* The colour of a code in the current colour table. */
int uxt_theme_get_color(const char* code, int* r, int* g, int* b, int* a);
/* Colours an object with a code (premultiplied, as Evas wants it). */
int uxt_theme_object_set_color(Evas_Object* obj, const char* code);
/* Font family, style and size of a code in the current font table; family
 * and style are newly allocated. */
int uxt_theme_get_font(const char* code, char** family, char** style, int* size);

#ifdef __cplusplus
}
#endif

#endif
