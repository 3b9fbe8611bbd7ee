/* UI application life cycle on the EFL main loop. */
#ifndef OSTRA_APP_H
#define OSTRA_APP_H

#include <ostra/app_common.h>
#include <ostra/app_control.h>
#include <ostra/app_event.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef bool (*app_create_cb)(void* user_data);
typedef void (*app_terminate_cb)(void* user_data);
typedef void (*app_pause_cb)(void* user_data);
typedef void (*app_resume_cb)(void* user_data);
typedef void (*app_control_cb)(app_control_h app_control, void* user_data);

typedef struct {
    app_create_cb create;
    app_terminate_cb terminate;
    app_pause_cb pause;
    app_resume_cb resume;
    app_control_cb app_control;
} ui_app_lifecycle_callback_s;

/* create, then the first launch request, then resume once the main window is
 * up; pause and resume follow the window (hidden or unfocused / shown and
 * focused); later launch requests reach app_control and raise the window.
 * Returns 0 at once when another instance took the request. */
int ui_app_main(int argc, char** argv, ui_app_lifecycle_callback_s* callback, void* user_data);
void ui_app_exit(void);
int ui_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                             app_event_cb callback, void* user_data);
int ui_app_remove_event_handler(app_event_handler_h handler);

#ifdef __cplusplus
}
#endif

#endif
