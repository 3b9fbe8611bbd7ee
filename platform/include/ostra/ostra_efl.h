/* Glue between the EFL main loop and the rest of the platform. */
#ifndef OSTRA_OSTRA_EFL_H
#define OSTRA_OSTRA_EFL_H

#include <Evas.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Lets the EFL main loop dispatch the GLib default context (the core
 * library's I/O watches, timeouts and file monitors). Call after elm_init and
 * before the loop runs; ui_app_main and widget_app_main do it. Idempotent. */
bool ostra_efl_glib_integrate(void);

/* Writes the window's current frame as a PNG. Works with the buffer engine
 * (ELM_DISPLAY=buffer) and the software X11 engine. */
bool ostra_efl_window_screenshot(Evas_Object* win, const char* png_path);

/* Honours OSTRA_SCREENSHOT=FILE[:SECONDS] (default 2 s): the main window is
 * written to FILE after SECONDS; with OSTRA_SCREENSHOT_EXIT=1 the program
 * then quits. Called by the application frameworks after their create step. */
void ostra_efl_schedule_screenshot(void);

/* Mirrors the toolkit for a right-to-left language: the direction is that
 * of the catalogue the texts come from (its header names the language), so
 * a language without a catalogue, whose texts stay English, stays
 * left-to-right. Called by the application frameworks after the text domain
 * is bound and again when the language changes; true when mirrored. */
bool ostra_efl_apply_text_direction(void);

/* Follow the platform's language key while the program runs. The first
 * handler, installed before the program's own, switches gettext's language
 * list and the toolkit's direction, so the program's handlers rebuild their
 * screens in the new language; the second, installed after them, puts the
 * numeric locale back to "C", which the toolkit's language change resets.
 * The application frameworks install them around their create step. */
void ostra_efl_follow_language_before_program(void);
void ostra_efl_follow_language_after_program(void);
/* Removes both; the frameworks call it when their main loop has ended. */
void ostra_efl_stop_following_language(void);

/* The first toolkit window of the process, or NULL. */
Evas_Object* ostra_efl_main_window(void);

#ifdef __cplusplus
}
#endif

#endif
