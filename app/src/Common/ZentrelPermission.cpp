#include "ZentrelPermission.h"

#include <ZentrelLog.h>
#include <ostra/app_control.h>
#include <ostra/i18n.h>
#include <ostra/privacy_privilege_manager.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ZentrelBroadCaster.h"
#include "ZentrelPopup.h"

namespace {

constexpr const char* kGuideOperation =
    "http://ostra.org/appcontrol/operation/guide_privacy_setting";
constexpr const char* kExtraType = "http://ostra.org/appcontrol/data/type";
constexpr const char* kExtraName = "http://ostra.org/appcontrol/data/name";
constexpr const char* kExtraFeature = "http://ostra.org/appcontrol/data/feature";
constexpr const char* kExtraPrivileges = "http://ostra.org/appcontrol/data/privileges";
constexpr const char* kExtraSelected = "http://ostra.org/appcontrol/data/selected";

// The answer of a request outlives nothing: it reaches the object only while
// the object lives.
struct RequestContext {
    std::weak_ptr<ZentrelPermission*> owner;
};

std::string guideText() {
    return std::string(i18n_get_text(
               "WDS_OPLATFORM_BODY_TO_USE_THIS_APP_YOU_NEED_TO_ALLOW_THE_REQUIRED_PERMISSIONS_"
               "YOU_CAN_STILL_USE_THE_APPS_BASIC_FUNCTIONS_WITHOUT_ALLOWING_THE_OPTIONAL_"
               "PERMISSIONS")) +
           "\n\n" + i18n_get_text("WDS_OPLATFORM_HEADER_OPTIONAL_PERMISSION") + "\n" +
           i18n_get_text(
               "WDS_ALTI_BODY_LOCATION_C_LOCATION_DATA_WILL_BE_SHARED_WITH_A_THIRD_PARTY_SERVICE_"
               "PROVIDER_FOR_AIR_PRESSURE_REFERENCE_DATA");
}

void guideReplyCb(app_control_h, app_control_h reply, app_control_result_e result, void*) {
    if (result != APP_CONTROL_RESULT_SUCCEEDED || !reply) {
        ZLOGE("_launchPrivacyGuidePopup failed");
        return;
    }
    char* selected = nullptr;
    if (app_control_get_extra_data(reply, kExtraSelected, &selected) != APP_CONTROL_ERROR_NONE ||
        !selected) {
        ZLOGE("invalid app control data selected");
        return;
    }
    if (strcmp(selected, "yes") == 0) {
        ZLOGI("User selected YES");
    } else {
        ZLOGI("User selected NO");
    }
    free(selected);
}

}  // namespace

ZentrelPermission::~ZentrelPermission() {
    _alive.reset();
    removeLanguageChangedEventListener();
    if (_popup) {
        evas_object_event_callback_del_full(_popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
        evas_object_del(_popup);
    }
}

bool ZentrelPermission::checkAccessPermission(std::function<void(void*)> callback, void* data) {
    _permissionResultCb = std::move(callback);
    _userData = data;
    ppm_check_result_e result = PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ASK;
    int ret = ppm_check_permission(OSTRA_PRIVILEGE_LOCATION, &result);
    if (ret != PRIVACY_PRIVILEGE_MANAGER_ERROR_NONE) {
        ZLOGE("ppm_check_permission returns ERROR %d", ret);
        return false;
    }
    switch (result) {
        case PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ALLOW:
            ZLOGI("Permision is Good");
            return true;
        case PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_DENY:
            ZLOGI("No Permision");
            _launchPrivacyGuidePopup();
            return false;
        case PRIVACY_PRIVILEGE_MANAGER_CHECK_RESULT_ASK: {
            ZLOGI("ASK Permision");
            auto* context = new RequestContext{_alive};
            ret = ppm_request_permission(
                OSTRA_PRIVILEGE_LOCATION,
                [](ppm_call_cause_e cause, ppm_request_result_e answer, const char* privilege,
                   void* userData) { _requestResponseCb(cause, answer, privilege, userData); },
                context);
            if (ret != PRIVACY_PRIVILEGE_MANAGER_ERROR_NONE) {
                ZLOGE("ppm_request_permission() is failed! (%d)", ret);
                delete context;
            }
            return false;
        }
    }
    ZLOGE("Unknown result : %d", static_cast<int>(result));
    return false;
}

void ZentrelPermission::_requestResponseCb(int cause, int result, const char*, void* userData) {
    auto* context = static_cast<RequestContext*>(userData);
    std::shared_ptr<ZentrelPermission*> owner = context->owner.lock();
    delete context;
    if (cause == PRIVACY_PRIVILEGE_MANAGER_CALL_CAUSE_ERROR) {
        ZLOGE("ppm_request_permission() is failed! (%d)", cause);
        return;
    }
    ZLOGI("ppm_request_permission() result: %d", result);
    switch (result) {
        case PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_ALLOW_FOREVER:
            if (!owner || !*owner) {
                ZLOGW("the screen that asked is gone");
                return;
            }
            if ((*owner)->_permissionResultCb) {
                // A copy: the callback may start a new check, which replaces it.
                auto callback = (*owner)->_permissionResultCb;
                callback((*owner)->_userData);
            }
            return;
        case PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_FOREVER:
            ZLOGE("checkAccessPermission DENY_FOREVER");
            return;
        case PRIVACY_PRIVILEGE_MANAGER_REQUEST_RESULT_DENY_ONCE:
            ZLOGE("checkAccessPermission DENY_ONCE");
            return;
        default:
            ZLOGE("checkAccessPermission unknown result type");
            return;
    }
}

void ZentrelPermission::_launchPrivacyGuidePopup() {
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_operation(request, kGuideOperation);
    app_control_add_extra_data(request, kExtraType, "use");
    app_control_add_extra_data(request, kExtraName, i18n_get_text("WDS_ALTI_MBODY_ZENTREL_ABB"));
    app_control_add_extra_data(request, kExtraFeature, i18n_get_text("WDS_ST_OPT_LOCATION_ABB"));
    app_control_add_extra_data(request, kExtraPrivileges, OSTRA_PRIVILEGE_LOCATION);
    if (app_control_send_launch_request(request, guideReplyCb, nullptr) != APP_CONTROL_ERROR_NONE) {
        ZLOGE("ERROR !!!");
    }
    app_control_destroy(request);
}

void ZentrelPermission::createGuidePopup(Evas_Object* parent, std::function<void(bool)> resultCb) {
    _guideResultCb = std::move(resultCb);
    _deleteGuidePopup();
    _popup = ZentrelPopup::oneButton(
        parent, "WDS_OPLATFORM_HEADER_APP_PERMISSIONS_ABB2", guideText(), "WDS_ST_BUTTON_NEXT_ABB8",
        [this]() {
            ZLOGI("onConfirmed");
            if (_guideResultCb) {
                _guideResultCb(true);
            }
        },
        [this]() {
            ZLOGI("onCanceled");
            if (_guideResultCb) {
                _guideResultCb(false);
            }
        });
    if (!_popup) {
        return;
    }
    evas_object_event_callback_add(_popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
    addLanguageChangedEventListener();
}

void ZentrelPermission::_fillGuidePopup() {
    if (!_popup) {
        return;
    }
    ZentrelPopup::setTitle(_popup, "WDS_OPLATFORM_HEADER_APP_PERMISSIONS_ABB2");
    ZentrelPopup::setText(_popup, guideText());
    ZentrelPopup::setButtonText(_popup, 1, "WDS_ST_BUTTON_NEXT_ABB8");
}

void ZentrelPermission::_deleteGuidePopup() {
    if (_popup) {
        evas_object_del(_popup);
    }
}

void ZentrelPermission::_popupDelCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelPermission*>(data);
    if (!self) {
        ZLOGE("self is nullptr");
        return;
    }
    ZLOGD("onDismissed");
    self->_popup = nullptr;
    self->removeLanguageChangedEventListener();
}

void ZentrelPermission::addLanguageChangedEventListener() {
    if (_signalId >= 0) {
        return;
    }
    _signalId =
        ZentrelBroadCaster::getBroadCaster().addListener([this](const std::string& signal, void*) {
            if (signal == "language,changed") {
                _fillGuidePopup();
            }
        });
}

void ZentrelPermission::removeLanguageChangedEventListener() {
    if (_signalId < 0) {
        return;
    }
    ZentrelBroadCaster::getBroadCaster().removeListener(_signalId);
    _signalId = -1;
}
