// Privilege states live in system keys, so the shell (ostractl privilege)
// and every process of the user see the same answer.
#include "ostra/privacy_privilege_manager.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "PlatformLog.h"
#include "ostra/vconf.h"

namespace {

// The key of a privilege: its URI's last path element ("location").
bool privilegeKey(const char* privilege, std::string* key) {
    if (!privilege) {
        return false;
    }
    const char* slash = strrchr(privilege, '/');
    if (!slash || strstr(privilege, "/privilege/") == nullptr || slash[1] == '\0') {
        return false;
    }
    *key = std::string(OSTRA_PRIVILEGE_KEY_PREFIX) + (slash + 1);
    return true;
}

std::string readKey(const std::string& key, const char* fallback) {
    char* value = vconf_get_str(key.c_str());
    std::string text = value && *value ? value : fallback;
    free(value);
    return text;
}

std::set<std::string>& pending() {
    static std::set<std::string> privileges;
    return privileges;
}

struct Request {
    std::string privilege;
    std::string key;
    ppm_request_response_cb callback;
    void* userData;
};

gboolean answer(gpointer data) {
    auto* request = static_cast<Request*>(data);
    pending().erase(request->privilege);
    const std::string how = readKey(OSTRA_PRIVILEGE_ANSWER_KEY, "allow-forever");
    ppm_call_cause_e cause = PRIVACY_PRIVILEGE_MANAGER_CALL_CAUSE_ANSWER;
    ppm_request_result_e result = PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_ONCE;
    if (how == "allow-forever") {
        result = PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_ALLOW_FOREVER;
        vconf_set_str(request->key.c_str(), "allow");
    } else if (how == "deny-forever") {
        result = PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_FOREVER;
        vconf_set_str(request->key.c_str(), "deny");
    } else if (how != "deny-once") {
        OSTRA_LOGE("privilege answer \"%s\" is not allow-forever, deny-forever or deny-once",
                   how.c_str());
        cause = PRIVACY_PRIVILEGE_MANAGER_CALL_CAUSE_ERROR;
    }
    OSTRA_LOGI("privilege %s: request answered %s", request->privilege.c_str(), how.c_str());
    request->callback(cause, result, request->privilege.c_str(), request->userData);
    delete request;
    return G_SOURCE_REMOVE;
}

}  // namespace

extern "C" {

int ppm_check_permission(const char* privilege, ppm_check_result_e* result) {
    std::string key;
    if (!result || !privilegeKey(privilege, &key)) {
        return PRIVACY_PRIVILEGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    const std::string state = readKey(key, "ask");
    if (state == "allow") {
        *result = PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ALLOW;
    } else if (state == "deny") {
        *result = PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_DENY;
    } else {
        if (state != "ask") {
            OSTRA_LOGW("privilege state \"%s\" of %s is unknown; asking", state.c_str(),
                       key.c_str());
        }
        *result = PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ASK;
    }
    return PRIVACY_PRIVILEGE_MANAGER_ERROR_NONE;
}

int ppm_request_permission(const char* privilege, ppm_request_response_cb callback,
                           void* user_data) {
    std::string key;
    if (!callback || !privilegeKey(privilege, &key)) {
        return PRIVACY_PRIVILEGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    if (!pending().insert(privilege).second) {
        return PRIVACY_PRIVILEGE_MANAGER_ERROR_ALREADY_IN_PROGRESS;
    }
    g_idle_add(answer, new Request{privilege, key, callback, user_data});
    return PRIVACY_PRIVILEGE_MANAGER_ERROR_NONE;
}

}  // extern "C"
