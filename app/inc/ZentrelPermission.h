// The location privilege and the first-launch permission guide. Flows that
// need the position ask checkAccessPermission first; when the user is asked,
// the flow resumes through the stored callback only if the user allows it
// for good.
#pragma once

#include <Elementary.h>

#include <functional>
#include <memory>

class ZentrelPermission {
  public:
    ZentrelPermission() = default;
    ~ZentrelPermission();

    // True when the privilege is already allowed. Otherwise starts the request
    // (or the privacy guide when it is denied) and returns false; callback(data)
    // runs later if the user allows the privilege for good.
    bool checkAccessPermission(std::function<void(void*)> callback, void* data);

    // The guide popup over parent's window: resultCb(true) when the user goes
    // on, resultCb(false) when the back key closes it.
    void createGuidePopup(Evas_Object* parent, std::function<void(bool)> resultCb);
    Evas_Object* getGuidePopup() const { return _popup; }

    void addLanguageChangedEventListener();
    void removeLanguageChangedEventListener();

    ZentrelPermission(const ZentrelPermission&) = delete;
    ZentrelPermission& operator=(const ZentrelPermission&) = delete;

  private:
    void _fillGuidePopup();
    void _deleteGuidePopup();
    void _launchPrivacyGuidePopup();
    static void _requestResponseCb(int cause, int result, const char* privilege, void* userData);
    static void _popupDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    std::function<void(void*)> _permissionResultCb;
    void* _userData = nullptr;
    std::function<void(bool)> _guideResultCb;
    Evas_Object* _popup = nullptr;
    int _signalId = -1;
    // Cleared when this object dies, so a request answered later finds no one.
    std::shared_ptr<ZentrelPermission*> _alive = std::make_shared<ZentrelPermission*>(this);
};
