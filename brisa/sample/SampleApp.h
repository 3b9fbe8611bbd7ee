// The framework's sample program: a window with a naviframe and one page
// that shows the "page" extra data of the launch requests it receives.
#pragma once

#include <WApp.h>
#include <ostra/uxt_theme.h>

class SampleContentController;

class SampleApp : public brisa::WApp {
  protected:
    bool onCreate() override;
    void onAppControl(app_control_h request, bool firstLaunch) override;
    void onResume() override;
    void onPause() override;
    void onTerminate() override;

  private:
    SampleContentController* _content = nullptr;
    uxt_theme_table_h _colorTable = nullptr;
    uxt_theme_table_h _fontTable = nullptr;
};
