#include "UnmanagedWindow.h"

#include <Ecore_X.h>
#include <Elementary.h>

namespace ostra {

namespace {

// Only one client at a time may redirect the root's map requests, and the
// one that does is, by definition, the window manager.
bool windowManagerRuns(Ecore_X_Window win) {
    Ecore_X_Window_Attributes attrs;
    return ecore_x_window_attributes_get(ecore_x_window_root_get(win), &attrs) &&
           (attrs.event_mask.all & ECORE_X_EVENT_MASK_WINDOW_MANAGE);
}

}  // namespace

bool markShownUnmanagedWindowNormal(Evas_Object* win) {
    if (!win || !evas_object_visible_get(win)) {
        return false;
    }
    Ecore_X_Window xwin = elm_win_xwindow_get(win);
    if (!xwin || windowManagerRuns(xwin)) {
        return false;
    }
    ecore_x_icccm_state_set(xwin, ECORE_X_WINDOW_STATE_HINT_NORMAL);
    ecore_x_flush();
    return true;
}

}  // namespace ostra
