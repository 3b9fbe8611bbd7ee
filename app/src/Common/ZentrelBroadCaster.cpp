#include "ZentrelBroadCaster.h"

#include "ZentrelLog.h"

ZentrelBroadCaster* ZentrelBroadCaster::__instance = nullptr;

ZentrelBroadCaster::ZentrelBroadCaster() = default;

ZentrelBroadCaster::~ZentrelBroadCaster() = default;

ZentrelBroadCaster::Signal& ZentrelBroadCaster::getBroadCaster() {
    if (!__instance) {
        __instance = new ZentrelBroadCaster();
    }
    return __instance->__broadCaster;
}

void ZentrelBroadCaster::deleteBroadCaster() {
    ZLOGI("broadcaster deleted");
    delete __instance;
    __instance = nullptr;
}
