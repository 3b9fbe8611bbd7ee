#ifndef BRISA_WVIEW_CONTROLLER_H
#define BRISA_WVIEW_CONTROLLER_H

#include <Evas.h>

#include <string>

namespace brisa {

class WWindowController;

// One view. Once created, the controller belongs to its root object: deleting
// the object (or calling destroy) runs onDestroy and deletes the controller.
class WViewController {
  public:
    WViewController();

    virtual const char* getClassName() const;
    // Builds the view under parent; false (and nothing built) on failure.
    virtual bool create(Evas_Object* parent, void* viewParam);
    virtual void destroy();

    Evas_Object* getEvasObj() const { return _evasObj; }
    WWindowController* getWindowController() const;
    const std::string& getName() const { return _name; }
    void setName(const char* name) { _name = name ? name : ""; }

    // A popup shown by this view; it is deleted with the view.
    void attachPopup(Evas_Object* popup);
    Evas_Object* getPopup() const { return _popup; }
    void destroyPopup();

  protected:
    virtual bool onCreate(void* viewParam);
    virtual Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) = 0;
    virtual void onCreated();
    virtual void onDestroy();

  public:
    WViewController(const WViewController&) = delete;
    WViewController& operator=(const WViewController&) = delete;
    virtual ~WViewController();

  private:
    static void _objDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _popupDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _evasObj = nullptr;
    Evas_Object* _popup = nullptr;
    std::string _name;
    bool _destroying = false;
};

}  // namespace brisa

#endif
