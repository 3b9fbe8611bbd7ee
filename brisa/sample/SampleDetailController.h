// The page the sample pushes over its main page.
#pragma once

#include <WContentViewController.h>

class SampleDetailController : public brisa::WContentViewController {
  public:
    const char* getClassName() const override { return "SampleDetailController"; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
};
