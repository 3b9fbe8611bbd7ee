/* Launch requests between applications. A request reaches the target's
 * running instance over its socket, or starts the target program and is
 * handed to it; a reply travels back on the same connection. */
#ifndef OSTRA_APP_CONTROL_H
#define OSTRA_APP_CONTROL_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct app_control_s* app_control_h;

typedef enum {
    APP_CONTROL_ERROR_NONE = 0,
    APP_CONTROL_ERROR_INVALID_PARAMETER = -22,
    APP_CONTROL_ERROR_OUT_OF_MEMORY = -12,
    APP_CONTROL_ERROR_IO_ERROR = -5,
    APP_CONTROL_ERROR_KEY_NOT_FOUND = -126,
    APP_CONTROL_ERROR_APP_NOT_FOUND = -0x01110001,
    APP_CONTROL_ERROR_LAUNCH_REJECTED = -0x01110002,
    APP_CONTROL_ERROR_LAUNCH_FAILED = -0x01110003,
} app_control_error_e;

typedef enum {
    APP_CONTROL_RESULT_APP_STARTED = 1,
    APP_CONTROL_RESULT_SUCCEEDED = 0,
    APP_CONTROL_RESULT_FAILED = -1,
    APP_CONTROL_RESULT_CANCELED = -2,
} app_control_result_e;

typedef enum {
    APP_CONTROL_LAUNCH_MODE_SINGLE = 0,
    APP_CONTROL_LAUNCH_MODE_GROUP = 1,
} app_control_launch_mode_e;

#define APP_CONTROL_OPERATION_MAIN "http://ostra.org/appcontrol/operation/main"
#define APP_CONTROL_OPERATION_DEFAULT "http://ostra.org/appcontrol/operation/default"
#define APP_CONTROL_OPERATION_VIEW "http://ostra.org/appcontrol/operation/view"
#define APP_CONTROL_OPERATION_SETTING "http://ostra.org/appcontrol/operation/setting"

typedef void (*app_control_reply_cb)(app_control_h request, app_control_h reply,
                                     app_control_result_e result, void* user_data);
typedef bool (*app_control_extra_data_cb)(app_control_h app_control, const char* key,
                                          void* user_data);

int app_control_create(app_control_h* app_control);
int app_control_destroy(app_control_h app_control);
int app_control_clone(app_control_h* clone, app_control_h app_control);

/* Getters hand out newly allocated strings (NULL when unset). */
int app_control_set_operation(app_control_h app_control, const char* operation);
int app_control_get_operation(app_control_h app_control, char** operation);
int app_control_set_uri(app_control_h app_control, const char* uri);
int app_control_get_uri(app_control_h app_control, char** uri);
int app_control_set_app_id(app_control_h app_control, const char* app_id);
int app_control_get_app_id(app_control_h app_control, char** app_id);
int app_control_get_caller(app_control_h app_control, char** app_id);
int app_control_set_launch_mode(app_control_h app_control, app_control_launch_mode_e mode);
int app_control_get_launch_mode(app_control_h app_control, app_control_launch_mode_e* mode);

int app_control_add_extra_data(app_control_h app_control, const char* key, const char* value);
int app_control_remove_extra_data(app_control_h app_control, const char* key);
int app_control_get_extra_data(app_control_h app_control, const char* key, char** value);
int app_control_foreach_extra_data(app_control_h app_control, app_control_extra_data_cb cb,
                                   void* user_data);

/* Delivers the request to the app named by its app id. Returns at once; the
 * delivery and the reply run on the GLib main context. APP_NOT_FOUND when the
 * app is neither running nor registered. */
int app_control_send_launch_request(app_control_h app_control, app_control_reply_cb cb,
                                    void* user_data);
/* Answers a received request whose sender waits for a reply. */
int app_control_reply_to_launch_request(app_control_h reply, app_control_h request,
                                        app_control_result_e result);

/* Requests still on their way (a started program not listening yet). */
int ostra_app_control_pending_count(void);

#ifdef __cplusplus
}
#endif

#endif
