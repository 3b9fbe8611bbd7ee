/* Privacy privileges: whether this package may use a privacy-relevant
 * privilege (the location), and asking the user for it. States are system
 * keys "db/ostra/privilege/<name>" holding "allow", "deny" or "ask" (the
 * default); a request is answered on the main loop the way the system key
 * "db/ostra/privilege/answer" says: "allow-forever" (the default),
 * "deny-forever" or "deny-once". */
#ifndef OSTRA_PRIVACY_PRIVILEGE_MANAGER_H
#define OSTRA_PRIVACY_PRIVILEGE_MANAGER_H

#ifdef __cplusplus
extern "C" {
#endif

#define OSTRA_PRIVILEGE_LOCATION "http://ostra.org/privilege/location"
#define OSTRA_PRIVILEGE_KEY_PREFIX "db/ostra/privilege/"
#define OSTRA_PRIVILEGE_ANSWER_KEY "db/ostra/privilege/answer"

typedef enum {
    PRIVACY_PRIVILEGE_MANAGER_ERROR_NONE = 0,
    PRIVACY_PRIVILEGE_MANAGER_ERROR_INVALID_PARAMETER = -22,
    PRIVACY_PRIVILEGE_MANAGER_ERROR_IO_ERROR = -5,
    PRIVACY_PRIVILEGE_MANAGER_ERROR_ALREADY_IN_PROGRESS = -114,
    PRIVACY_PRIVILEGE_MANAGER_ERROR_UNKNOWN = -1073741824,
} ppm_error_e;

typedef enum {
    PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ALLOW = 0,
    PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_DENY = 1,
    PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ASK = 2,
} ppm_check_result_e;

typedef enum {
    PRIVACY_PRIVILEGE_MANAGER_CALL_CAUSE_ANSWER = 0,
    PRIVACY_PRIVILEGE_MANAGER_CALL_CAUSE_ERROR = 1,
} ppm_call_cause_e;

typedef enum {
    PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_ALLOW_FOREVER = 0,
    PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_FOREVER = 1,
    PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_ONCE = 2,
} ppm_request_result_e;

typedef void (*ppm_request_response_cb)(ppm_call_cause_e cause, ppm_request_result_e result,
                                        const char* privilege, void* user_data);

int ppm_check_permission(const char* privilege, ppm_check_result_e* result);
/* The answer comes later on the main loop; one request per privilege at a time. */
int ppm_request_permission(const char* privilege, ppm_request_response_cb callback,
                           void* user_data);

#ifdef __cplusplus
}
#endif

#endif
