/* What the home screen tells a running widget program, as launch requests
 * to the widget's app id. The program answers each with a reply whose extra
 * "state" is "paused" or "resumed" (the state after the request). */
#ifndef OSTRA_WIDGET_CONTROL_H
#define OSTRA_WIDGET_CONTROL_H

/* The home screen hides the widget: its instances pause. */
#define OSTRA_WIDGET_OPERATION_PAUSE "http://ostra.org/appcontrol/operation/widget/pause"
/* The home screen shows the widget again: its instances resume unless their
 * window is hidden. */
#define OSTRA_WIDGET_OPERATION_RESUME "http://ostra.org/appcontrol/operation/widget/resume"
/* The home screen asks for fresh content (the update callback, forced). */
#define OSTRA_WIDGET_OPERATION_UPDATE "http://ostra.org/appcontrol/operation/widget/update"

#define OSTRA_WIDGET_EXTRA_STATE "state"

#endif
