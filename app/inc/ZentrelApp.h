// The main program's application object: window, naviframe, theme and its
// tables, and the reactions to launches, pauses, resumes and language changes.
#pragma once

#include <WApp.h>
#include <WAppEventHandler.h>
#include <ostra/app_control.h>
#include <ostra/uxt_theme.h>

class ZentrelPageController;

class ZentrelApp : public brisa::WApp {
  public:
    ZentrelApp();
    ~ZentrelApp() override;

    ZentrelPageController* getPageController() const { return _pageController; }

  protected:
    bool onCreate() override;
    void onTerminate() override;
    void onPause() override;
    void onResume() override;
    void onAppControl(app_control_h appControl, bool firstLaunch) override;

  private:
    void _createChangeableTables();
    int _pageFromRequest(app_control_h appControl);
    static void _languageChangedCb(app_event_info_h event, void* data);
    static void _regionFormatChangedCb(app_event_info_h event, void* data);
    static void _themeChangedCb(void* data);
    static void _renderFlushPostCb(void* data, Evas* evas, void* eventInfo);
    static void _pageControllerDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    brisa::WAppEventHandler _regionFormatChangedHandler;
    brisa::WAppEventHandler _languageChangedHandler;
    uxt_theme_table_h _colorTable = nullptr;
    uxt_theme_table_h _fontTable = nullptr;
    ZentrelPageController* _pageController = nullptr;
};
