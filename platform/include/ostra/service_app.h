/* Headless application life cycle on the GLib main loop. */
#ifndef OSTRA_SERVICE_APP_H
#define OSTRA_SERVICE_APP_H

#include <ostra/app_control.h>
#include <ostra/app_event.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef bool (*service_app_create_cb)(void* user_data);
typedef void (*service_app_terminate_cb)(void* user_data);
typedef void (*service_app_control_cb)(app_control_h app_control, void* user_data);

typedef struct {
    service_app_create_cb create;
    service_app_terminate_cb terminate;
    service_app_control_cb app_control;
} service_app_lifecycle_callback_s;

/* Runs until service_app_exit. Returns APP_ERROR_NONE, or an error when the
 * create step fails; 0 at once when another instance took the request. */
int service_app_main(int argc, char** argv, service_app_lifecycle_callback_s* callback,
                     void* user_data);
void service_app_exit(void);
int service_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                  app_event_cb callback, void* user_data);
int service_app_remove_event_handler(app_event_handler_h handler);

#ifdef __cplusplus
}
#endif

#endif
