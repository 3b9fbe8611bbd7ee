// The sample program's main page: a title, a value and an action button
// that pushes the detail page.
#pragma once

#include <WContentViewController.h>
#include <ostra/efl_extension.h>

#include <string>

class SampleContentController : public brisa::WContentViewController {
  public:
    const char* getClassName() const override { return "SampleContentController"; }
    void setValue(const char* value);
    Evas_Object* getLayout() const { return _layout; }
    int getBecomeTopCount() const { return _becomeTopCount; }
    int getRotaryCount() const { return _rotaryCount; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onPushed(Elm_Object_Item* naviItem) override;
    void onBecomeTop() override;

  private:
    static void _actionCb(void* data, Evas_Object* obj, const char* emission, const char* source);
    static Eina_Bool _rotaryCb(void* data, Evas_Object* obj, Eext_Rotary_Event_Info* info);

    Evas_Object* _layout = nullptr;
    int _becomeTopCount = 0;
    int _rotaryCount = 0;
};
