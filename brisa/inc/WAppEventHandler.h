#ifndef BRISA_WAPP_EVENT_HANDLER_H
#define BRISA_WAPP_EVENT_HANDLER_H

#include <ostra/app.h>

namespace brisa {

// One platform application event subscription; removed at the latest when
// the handler object dies.
class WAppEventHandler {
  public:
    WAppEventHandler();
    virtual ~WAppEventHandler();

    // Replaces an earlier subscription of this object. Returns the platform result.
    int addEventHandler(app_event_type_e type, app_event_cb cb, void* data);
    void removeEventHandler();
    bool isAdded() const { return _handler != nullptr; }

    WAppEventHandler(const WAppEventHandler&) = delete;
    WAppEventHandler& operator=(const WAppEventHandler&) = delete;

  private:
    app_event_handler_h _handler = nullptr;
};

}  // namespace brisa

#endif
