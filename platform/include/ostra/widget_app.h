/* Widget application framework. There is no home screen on Linux: each
 * widget instance is a window of its own (the size the widget asks for,
 * 360x360 by default). The instance is paused while its window is hidden or
 * minimised, or while the shell says the home screen hides it (`ostractl
 * widget pause|resume APPID`, see ostra/widget_control.h), and resumed when
 * neither holds. A launch request of the widget's app id shows the window. */
#ifndef OSTRA_WIDGET_APP_H
#define OSTRA_WIDGET_APP_H

#include <Evas.h>
#include <ostra/app_event.h>
#include <ostra/bundle.h>
#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    WIDGET_ERROR_NONE = 0,
    WIDGET_ERROR_INVALID_PARAMETER = -22,
    WIDGET_ERROR_OUT_OF_MEMORY = -12,
    WIDGET_ERROR_FAULT = -0x01150001,
    WIDGET_ERROR_NOT_EXIST = -0x01150002,
} widget_error_e;

typedef enum {
    WIDGET_APP_DESTROY_TYPE_PERMANENT = 0, /* the user removed the widget */
    WIDGET_APP_DESTROY_TYPE_TEMPORARY = 1, /* the program ends */
} widget_app_destroy_type_e;

typedef struct _widget_class* widget_class_h;
typedef struct _widget_context* widget_context_h;

typedef int (*widget_instance_create_cb)(widget_context_h context, bundle* content, int w, int h,
                                         void* user_data);
typedef int (*widget_instance_destroy_cb)(widget_context_h context,
                                          widget_app_destroy_type_e reason, bundle* content,
                                          void* user_data);
typedef int (*widget_instance_pause_cb)(widget_context_h context, void* user_data);
typedef int (*widget_instance_resume_cb)(widget_context_h context, void* user_data);
typedef int (*widget_instance_resize_cb)(widget_context_h context, int w, int h, void* user_data);
typedef int (*widget_instance_update_cb)(widget_context_h context, bundle* content, int force,
                                         void* user_data);

typedef struct {
    widget_instance_create_cb create;
    widget_instance_destroy_cb destroy;
    widget_instance_pause_cb pause;
    widget_instance_resume_cb resume;
    widget_instance_resize_cb resize;
    widget_instance_update_cb update;
} widget_instance_lifecycle_callback_s;

typedef widget_class_h (*widget_app_create_cb)(void* user_data);
typedef void (*widget_app_terminate_cb)(void* user_data);

typedef struct {
    widget_app_create_cb create;
    widget_app_terminate_cb terminate;
} widget_app_lifecycle_callback_s;

/* create (which returns the widget class), then one instance of the class is
 * created, then the first launch request shows its window and resumes it.
 * Returns 0 at once when another instance of the program took the request. */
int widget_app_main(int argc, char** argv, widget_app_lifecycle_callback_s* callback,
                    void* user_data);
int widget_app_exit(void);
/* NULL when create is missing. The class lives until the program ends. */
widget_class_h widget_app_class_create(widget_instance_lifecycle_callback_s callback,
                                       void* user_data);

int widget_app_get_elm_win(widget_context_h context, Evas_Object** win);
int widget_app_context_set_tag(widget_context_h context, void* tag);
int widget_app_context_get_tag(widget_context_h context, void** tag);
/* Visits every instance until cb returns false. */
typedef bool (*widget_context_cb)(widget_context_h context, void* data);
int widget_app_foreach_context(widget_context_cb cb, void* data);

int widget_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                 app_event_cb callback, void* user_data);
int widget_app_remove_event_handler(app_event_handler_h handler);

#ifdef __cplusplus
}
#endif

#endif
