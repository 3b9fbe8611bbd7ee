/* Application events shared by the UI, widget and service frameworks. The
 * language and region events follow the system keys
 * "db/menu_widget/language" and "db/menu_widget/regionformat". */
#ifndef OSTRA_APP_EVENT_H
#define OSTRA_APP_EVENT_H

#include <ostra/app_common.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    APP_EVENT_LOW_MEMORY = 0,
    APP_EVENT_LOW_BATTERY = 1,
    APP_EVENT_LANGUAGE_CHANGED = 2,
    APP_EVENT_DEVICE_ORIENTATION_CHANGED = 3,
    APP_EVENT_REGION_FORMAT_CHANGED = 4,
    APP_EVENT_SUSPENDED_STATE_CHANGED = 5,
} app_event_type_e;

#define VCONFKEY_LANGSET "db/menu_widget/language"

typedef struct app_event_info* app_event_info_h;
typedef struct app_event_handler* app_event_handler_h;
typedef void (*app_event_cb)(app_event_info_h event_info, void* user_data);

/* *value is newly allocated. */
int app_event_get_language(app_event_info_h event_info, char** lang);
int app_event_get_region_format(app_event_info_h event_info, char** region);

/* The same registry serves ui_app_*, widget_app_* and service_app_*. */
int ostra_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                app_event_cb callback, void* user_data);
int ostra_app_remove_event_handler(app_event_handler_h handler);

#ifdef __cplusplus
}
#endif

#endif
