// zentrel-alert: the full-screen pressure-drop alert. It refuses to start
// while the user has pressure alerts off; otherwise it wakes the screen,
// plays the alert feedback (held back during a call), shows the alert and
// closes on any dismiss gesture.
#pragma once

#include <Elementary.h>
#include <ostra/app_control.h>
#include <ostra/uxt_theme.h>

class ZentrelAlertView;

// The program's state, owned by the entry for the program's lifetime.
struct appdata {
    Evas_Object* win = nullptr;
    Evas_Object* layout = nullptr;
    Evas_Object* conform = nullptr;
    ZentrelAlertView* view = nullptr;
    uxt_theme_table_h colorTable = nullptr;
    uxt_theme_table_h fontTable = nullptr;
};

namespace ZentrelAlert {

// The program's entry: the refusal, the handlers and the main loop.
int run(int argc, char** argv);

// "ZENTREL_SETTING_ALERT"; 0 when it is off, absent or unreadable.
int _getAlertSettingValue();
// The locale's date-time text of `time`; the caller frees it.
char* _getTimeText(long time);

// Life-cycle callbacks of the UI application.
bool create(void* data);
void resume(void* data);
void pause(void* data);
void terminate(void* data);
void appControl(app_control_h request, void* data);

// Closes the alert at the user's request: one "deleted" usage event however
// many dismiss gestures arrive, then the program exits.
void dismiss();
// Exits without the usage event (the screen reader's close action).
void exitQuietly();

}  // namespace ZentrelAlert
