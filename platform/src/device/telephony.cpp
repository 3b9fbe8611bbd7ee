#include "ostra/telephony.h"

#include "PlatformLog.h"

extern "C" {

TapiHandle* tel_init(const char*) {
    OSTRA_LOGD("telephony: no modem on this machine");
    return nullptr;
}

int tel_deinit(TapiHandle* handle) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

int tel_register_noti_event(TapiHandle* handle, const char*, tapi_notification_cb, void*) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

int tel_deregister_noti_event(TapiHandle* handle, const char*) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

int tel_get_property_int(TapiHandle* handle, const char*, int*) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

int tel_get_property_string(TapiHandle* handle, const char*, char**) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

int tel_get_sim_imsi(TapiHandle* handle, TelSimImsiInfo_t*) {
    return handle ? TAPI_API_NOT_SUPPORTED : TAPI_API_INVALID_INPUT;
}

char** tel_get_cp_name_list(void) {
    return nullptr;
}

}  // extern "C"
