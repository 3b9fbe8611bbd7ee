#include "ostra/reserved_screen.h"

#include <string>

#include "Paths.h"
#include "PlatformLog.h"
#include "SessionScreenSaver.h"

namespace {

int holders = 0;

}  // namespace

extern "C" {

int reserved_screen_request(void) {
    if (holders++ == 0) {
        OSTRA_LOGI("screen reserved by %s", ostra::packageId().c_str());
        ostra::SessionScreenSaver::inhibit(ostra::packageId().c_str(), "an alert is shown");
    }
    return RESERVED_SCREEN_ERROR_NONE;
}

int reserved_screen_release(void) {
    if (holders == 0) {
        OSTRA_LOGW("reserved_screen_release without a request");
        return RESERVED_SCREEN_ERROR_NOT_RESERVED;
    }
    if (--holders == 0) {
        OSTRA_LOGI("screen reservation released");
        ostra::SessionScreenSaver::uninhibit();
    }
    return RESERVED_SCREEN_ERROR_NONE;
}

int ostra_reserved_screen_count(void) {
    return holders;
}

}  // extern "C"
