/* Telephony: a Linux machine has no modem, so the calls answer as a device
 * without one does: no handle, and "not supported" for everything else. */
#ifndef OSTRA_TELEPHONY_H
#define OSTRA_TELEPHONY_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tapi_handle TapiHandle;

enum {
    TAPI_API_SUCCESS = 0,
    TAPI_API_INVALID_INPUT = -1,
    TAPI_API_NOT_SUPPORTED = -13,
};

#define TAPI_NOTI_NETWORK_PLMN "org.ostra.telephony.Network:plmn"
#define TAPI_PROP_NETWORK_SERVICE_TYPE "org.ostra.telephony.Network:service_type"
#define TAPI_PROP_NETWORK_PLMN "org.ostra.telephony.Network:plmn"

typedef struct {
    char szMcc[4];
    char szMnc[4];
    char szMsin[11];
} TelSimImsiInfo_t;

typedef void (*tapi_notification_cb)(TapiHandle* handle, const char* evt_id, void* data,
                                     void* user_data);

/* NULL: there is no modem. */
TapiHandle* tel_init(const char* cp_name);
int tel_deinit(TapiHandle* handle);
int tel_register_noti_event(TapiHandle* handle, const char* noti_id, tapi_notification_cb cb,
                            void* user_data);
int tel_deregister_noti_event(TapiHandle* handle, const char* noti_id);
int tel_get_property_int(TapiHandle* handle, const char* property, int* result);
/* *result is newly allocated on success. */
int tel_get_property_string(TapiHandle* handle, const char* property, char** result);
int tel_get_sim_imsi(TapiHandle* handle, TelSimImsiInfo_t* imsi);
/* The modems' names, NULL-terminated and newly allocated; NULL: no modem. */
char** tel_get_cp_name_list(void);

#ifdef __cplusplus
}
#endif

#endif
