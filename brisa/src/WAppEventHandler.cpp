#include "WAppEventHandler.h"

#include <ostra/dlog.h>

namespace brisa {

WAppEventHandler::WAppEventHandler() = default;

WAppEventHandler::~WAppEventHandler() {
    removeEventHandler();
}

int WAppEventHandler::addEventHandler(app_event_type_e type, app_event_cb cb, void* data) {
    removeEventHandler();
    int ret = ui_app_add_event_handler(&_handler, type, cb, data);
    if (ret != APP_ERROR_NONE) {
        dlog_print(DLOG_ERROR, "BRISA", "ui_app_add_event_handler(%d) failed: %d", type, ret);
        _handler = nullptr;
    }
    return ret;
}

void WAppEventHandler::removeEventHandler() {
    if (!_handler)
        return;
    ui_app_remove_event_handler(_handler);
    _handler = nullptr;
}

}  // namespace brisa
