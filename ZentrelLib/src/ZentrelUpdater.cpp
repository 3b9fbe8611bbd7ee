#include "ZentrelUpdater.h"

#include <Elementary.h>
#include <gio/gio.h>
#include <libxml/parser.h>
#include <ostra/app_common.h>
#include <ostra/app_control.h>
#include <ostra/capability_manager.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>
#include <ostra/library_loader.h>
#include <ostra/system_info.h>
#include <ostra/telephony.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"

namespace {
const char* DEFAULT_UPDATE_HOST = "verdan-update.invalid";
const char* DEFAULT_STORE_APP_ID = "com.verdan.store";
const char* DEFAULT_STORE_HOST = "verdan-store.invalid";
const char* RESULT_FILE = "downloaded_file.xml";
const char* UPDATE_QUESTION = "IDS_ST_POP_A_NEW_VERSION_OF_THIS_APP_IS_AVAILABLE_UPDATE_NOW_Q";
constexpr long long CHECK_INTERVAL_SECONDS = 345599;  // under 96 hours

// libxml2, loaded by its SONAME on the first update answer read: only the
// update check uses it, and loading it cost every start of every program
// about a millisecond.
struct XmlApi {
    decltype(&xmlReadFile) readFile;
    decltype(&xmlDocGetRootElement) rootElement;
    decltype(&xmlStrcmp) strcmp;
    decltype(&xmlNodeGetContent) nodeContent;
    decltype(&xmlFreeDoc) freeDoc;
    xmlFreeFunc* free;  // a variable of the library: the content's deallocator
};

template <typename Symbol>
bool resolveXml(void* library, const char* name, Symbol* out) {
    return ostra::librarySymbol(library, ZENTREL_LIBXML_SONAME, name, out);
}

const XmlApi* xmlApi() {
    static std::once_flag once;
    static const XmlApi* api = nullptr;
    std::call_once(once, [] {
        void* library = ostra_library_open(ZENTREL_LIBXML_SONAME);
        if (!library) {
            return;
        }
        static XmlApi loaded;
        if (resolveXml(library, "xmlReadFile", &loaded.readFile) &&
            resolveXml(library, "xmlDocGetRootElement", &loaded.rootElement) &&
            resolveXml(library, "xmlStrcmp", &loaded.strcmp) &&
            resolveXml(library, "xmlNodeGetContent", &loaded.nodeContent) &&
            resolveXml(library, "xmlFreeDoc", &loaded.freeDoc) &&
            resolveXml(library, "xmlFree", &loaded.free)) {
            api = &loaded;
        }
    });
    return api;
}

char* dupOrNull(const std::string& text) {
    return text.empty() ? nullptr : strdup(text.c_str());
}

// Takes over a platform string and gives it back as text.
std::string adopt(char* value) {
    std::string text = value ? value : "";
    free(value);
    return text;
}

std::string dataPath() {
    char* path = app_get_data_path();
    if (!path) {
        ZLOGE("App data path is null");
    }
    return adopt(path);
}

// Every value goes through here: a model name such as "Pro & Co" must not
// rewrite the query.
std::string queryValue(const char* value) {
    if (!value) {
        return "";
    }
    char* escaped = g_uri_escape_string(value, nullptr, FALSE);
    std::string text = escaped ? escaped : "";
    g_free(escaped);
    return text;
}
}  // namespace

ZentrelUpdater::ZentrelUpdater() {
    int standalone = 0;
    int error = vconf_get_int(VCONFKEY_SETUP_WIZARD_STANDALONE, &standalone);
    if (error != VCONF_OK) {
        ZLOGE("vconf_get_int() Fail(%d)", error);
        standalone = 0;
    }
    if (standalone) {
        _gatherStandaloneIds();
    } else {
        _gatherPairedIds();
    }
    char* version = nullptr;
    error = app_get_version(&version);
    if (error != APP_ERROR_NONE) {
        ZLOGE("Failed to get the app version [%d]", error);
    } else if (!version) {
        ZLOGE("Failed to get the app version code");
    } else {
        _versionCode = _convertVersionToCode(version);
    }
    free(version);
    char* platform = nullptr;
    error = system_info_get_platform_string(SYSTEM_INFO_KEY_PLATFORM_VERSION, &platform);
    if (error != SYSTEM_INFO_ERROR_NONE) {
        ZLOGE("system_info_get_platform_string failed [%d]", error);
    }
    _platformVer = platform;
    ZLOGI("Platform Ver [%s]", _platformVer ? _platformVer : "");
    _checkFromQaStore = 1;
    ZLOGI(
        "MCC[%s], MNC[%s], CSC[%s], SDK_VER[%s], MODEL_NAME[%s], APP_VER[%lld], "
        "PLATFORM_VER[%s]",
        _mcc ? _mcc : "", _mnc ? _mnc : "", _csc ? _csc : "", _sdkVer ? _sdkVer : "",
        _modelName ? _modelName : "", _versionCode, _platformVer ? _platformVer : "");
}

ZentrelUpdater::~ZentrelUpdater() {
    if (_downloadId >= 0) {
        download_destroy(_downloadId);
    }
    for (char* text : {_mcc, _mnc, _csc, _sdkVer, _modelName, _platformVer}) {
        free(text);
    }
}

void ZentrelUpdater::_readSimPlmn() {
    int slot = -1;
    for (int i = 0; i < 2 && slot < 0; ++i) {
        int on = 0;
        const char* key =
            i == 0 ? "db/telephony/sim_power_state1" : "db/telephony/sim_power_state2";
        if (vconf_get_bool(key, &on) == VCONF_OK && on) {
            slot = i;
        }
    }
    if (slot < 0) {
        ZLOGW("No enabled sim slot");
        return;
    }
    char** modems = tel_get_cp_name_list();
    int count = 0;
    while (modems && modems[count]) {
        ++count;
    }
    if (count <= slot) {
        ZLOGE("Invalid SIM index [Index:%d][Max:%d]", slot, count);
        g_strfreev(modems);
        return;
    }
    TapiHandle* handle = tel_init(modems[slot]);
    g_strfreev(modems);
    char* plmn = nullptr;
    int error = tel_get_property_string(handle, TAPI_PROP_NETWORK_PLMN, &plmn);
    if (error != TAPI_API_SUCCESS || !plmn) {
        ZLOGE("tel_get_property_string failed : [%d]!!!", error);
    } else {
        std::string text = plmn;
        _mcc = dupOrNull(text.substr(0, 3));
        _mnc = dupOrNull(text.size() > 3 ? text.substr(3, 2) : "");
    }
    free(plmn);
    tel_deinit(handle);
}

void ZentrelUpdater::_gatherStandaloneIds() {
    _readSimPlmn();
    _csc = vconf_get_str("db/csc/salescode");
    capability_device_info_h phone = nullptr;
    if (capability_manager_create_device_info(&phone) == CAPABILITY_MANAGER_ERROR_NONE) {
        char* sdk = nullptr;
        capability_manager_get_device_sdk_version(phone, &sdk);
        _sdkVer = sdk && strcmp(sdk, "[Invalid UTF-8]") ? sdk : nullptr;
        capability_manager_destroy_device_info(phone);
    }
    char* model = nullptr;
    int error = system_info_get_platform_string(SYSTEM_INFO_KEY_MODEL_NAME, &model);
    if (error != SYSTEM_INFO_ERROR_NONE) {
        ZLOGE("system_info_get_platform_string failed [%d]", error);
    }
    _modelName = model;
}

void ZentrelUpdater::_gatherPairedIds() {
    capability_device_info_h phone = nullptr;
    int error = capability_manager_create_device_info(&phone);
    if (error != CAPABILITY_MANAGER_ERROR_NONE) {
        ZLOGE("capability_manager_create_device_info failed [%d]", error);
        _modelName = dupOrNull(_getHostAndTarnModelName(nullptr));
        return;
    }
    capability_manager_get_device_mcc(phone, &_mcc);
    capability_manager_get_device_mnc(phone, &_mnc);
    capability_manager_get_device_sales_code(phone, &_csc);
    char* sdk = nullptr;
    capability_manager_get_device_sdk_version(phone, &sdk);
    if (sdk && !strcmp(sdk, "[Invalid UTF-8]")) {
        free(sdk);
        sdk = nullptr;
    }
    _sdkVer = sdk;
    _modelName = dupOrNull(_getHostAndTarnModelName(phone));
    capability_manager_destroy_device_info(phone);
}

std::string ZentrelUpdater::_getHostAndTarnModelName(capability_device_info_s* phone) {
    char* feature = nullptr;
    capability_manager_get_device_features(phone, "vendor", &feature);
    std::string vendor = adopt(feature);
    if (vendor.empty()) {
        vendor = adopt(vconf_get_str("db/hxs/host_status/vendor"));
    }
    if (vendor.empty()) {
        ZLOGW("No valid host vender");
        vendor = "korvane";
    }
    char* model = nullptr;
    system_info_get_platform_string(SYSTEM_INFO_KEY_MODEL_NAME, &model);
    std::string watch = model ? adopt(model) : "UNKNOWN";
    std::string host;
    if (vendor == "korvane") {
        char* number = nullptr;
        capability_manager_get_device_model_number(phone, &number);
        host = adopt(number);
        host = host.empty() ? "ZQ-R410K" : host.rfind("KORVANE-", 0) == 0 ? host.substr(8) : host;
    } else {
        char* resolution = nullptr;
        capability_manager_get_device_resolution(phone, &resolution);
        std::string text = adopt(resolution);
        size_t x = text.find('x');
        if (text.empty() || x == std::string::npos) {
            text = "1080x1920";
            x = 4;
        }
        host = text.substr(x + 1) + "x" + text.substr(0, x);
    }
    return host + "_" + watch + (vendor == "LO" ? "_i" : "");
}

long long ZentrelUpdater::_convertVersionToCode(const std::string& version) {
    gchar** parts = g_strsplit(version.c_str(), ".", -1);
    long long code = 0;
    if (g_strv_length(parts) >= 3) {
        // The text comes from a server: a part too large for the code is no
        // version (it overflowed the code before).
        long long major = 0;
        long long minor = 0;
        if (__builtin_mul_overflow(strtoll(parts[0], nullptr, 10), 100000000LL, &major) ||
            __builtin_mul_overflow(strtoll(parts[1], nullptr, 10), 100000LL, &minor) ||
            __builtin_add_overflow(major, minor, &code) ||
            __builtin_add_overflow(code, strtoll(parts[2], nullptr, 10), &code)) {
            ZLOGW("Version [%s] is out of range", version.c_str());
            code = 0;
        }
    } else {
        ZLOGW("Version [%s] has no three parts", version.c_str());
    }
    g_strfreev(parts);
    return code;
}

const char* ZentrelUpdater::_getStateString(int state) {
    static const char* names[] = {"None",   "Ready",     "Queued", "Downloading",
                                  "Paused", "Completed", "Failed", "Canceled"};
    if (state < 0 || state > 7) {
        ZLOGE("Unknown state [%d]", state);
        return "Unknown";
    }
    return names[state];
}

std::string ZentrelUpdater::_keyText(const char* key, const char* fallback) {
    std::string text = adopt(vconf_get_str(key));
    return text.empty() ? fallback : text;
}

void ZentrelUpdater::startDownloadManager(Evas_Object* parent) {
    if (!parent) {
        ZLOGE("Invalid parent object");
        return;
    }
    _parent = parent;
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    long long diff = static_cast<long long>(time(nullptr)) - storage->getLastStoreCheckTime();
    long long store = storage->getStoreAppVersion();
    ZLOGI("Installed ver(%lld), Store ver(%lld), Diff time(%lld)", _versionCode, store, diff);
    if (store == -1) {
        ZLOGI("Do not support app updating on LDU mode");
        return;
    }
    if (store >= 1) {
        if (_versionCode >= store) {
            ZLOGI("No app to updating");
            return;
        }
        ZLOGI("There is app to update on the Verdan Store");
        _createAppUpdatePopup(_parent);
        return;
    }
    if (diff <= CHECK_INTERVAL_SECONDS) {
        ZLOGI("Don't check for updates '< 96 hours'");
        return;
    }
    _startQuery();
}

std::string ZentrelUpdater::_queryUrl() {
    char* appId = nullptr;
    app_get_id(&appId);
    std::string url = "http://" + _keyText(ZENTREL_UPDATE_HOST_KEY, DEFAULT_UPDATE_HOST) +
                      "/stub/stubUpdateCheck.as?appId=" + queryValue(appId) +
                      "&versionCode=" + std::to_string(_versionCode) +
                      "&deviceId=" + queryValue(_modelName) + "&mcc=" + queryValue(_mcc) +
                      "&mnc=" + queryValue(_mnc) + "&csc=" + queryValue(_csc) +
                      "&sdkVer=" + queryValue(_sdkVer) + "&gOSVersion=" + queryValue(_platformVer) +
                      "&pd=" + std::to_string(_checkFromQaStore);
    free(appId);
    return url;
}

void ZentrelUpdater::_startQuery() {
    if (_downloadId >= 0) {
        download_destroy(_downloadId);
        _downloadId = -1;
    }
    int id = -1;
    int error = download_create(&id);
    if (error != DOWNLOAD_ERROR_NONE) {
        ZLOGE("download_create error: %d", error);
        return;
    }
    _downloadId = id;
    ZLOGI("downloadId(%d)", id);
    if ((error = download_set_state_changed_cb(id, _stateChangedCb, this)) != DOWNLOAD_ERROR_NONE) {
        ZLOGE("download_set_state_changed_cb error: %d", error);
    }
    if ((error = download_set_progress_cb(id, _progressCb, this)) != DOWNLOAD_ERROR_NONE) {
        ZLOGE("download_set_progress_cb error: %d", error);
    }
    std::string url = _queryUrl();
    ZLOGI("URL [%s]", url.c_str());
    if ((error = download_set_url(id, url.c_str())) != DOWNLOAD_ERROR_NONE) {
        ZLOGW("download_set_url error: %d", error);
    }
    std::string destination = dataPath();
    if ((error = download_set_destination(id, destination.c_str())) != DOWNLOAD_ERROR_NONE) {
        ZLOGW("download_set_destination error: %d [%s]", error, destination.c_str());
    }
    if ((error = download_set_file_name(id, RESULT_FILE)) != DOWNLOAD_ERROR_NONE) {
        ZLOGW("download_set_file_name error: %d", error);
    }
    if ((error = download_start(id)) != DOWNLOAD_ERROR_NONE) {
        ZLOGE("download_start error: %d", error);
    }
}

void ZentrelUpdater::_progressCb(int, unsigned long long received, void*) {
    ZLOGD("Received data [%llu]", received);
}

void ZentrelUpdater::_stateChangedCb(int downloadId, download_state_e state, void* userData) {
    auto* self = static_cast<ZentrelUpdater*>(userData);
    if (!self) {
        ZLOGE("p is nullptr");
        return;
    }
    ZLOGI("State [%s], downloadId [%d]", _getStateString(state), downloadId);
    if (state != DOWNLOAD_STATE_COMPLETED) {
        return;
    }
    ZLOGI("Download completed");
    std::string dir = dataPath();
    if (!dir.empty()) {
        std::string path = dir + RESULT_FILE;
        ZLOGI("PATH [%s]", path.c_str());
        if (_isUpdateAvailable(path)) {
            self->_createAppUpdatePopup(self->_parent);
        }
    }
    download_unset_progress_cb(downloadId);
    download_unset_state_changed_cb(downloadId);
    int error = download_destroy(downloadId);
    if (error != DOWNLOAD_ERROR_NONE) {
        ZLOGW("download_destroy error: %d", error);
    }
    self->_downloadId = -1;
    ZentrelStorageMgr::getInstance()->saveLastStoreCheckTime(static_cast<long long>(time(nullptr)));
}

bool ZentrelUpdater::_parseXml(const std::string& path, std::string* resultCode,
                               std::string* versionName) {
    // The answer comes over plain HTTP: never let it make the parser fetch
    // anything from the network.
    const XmlApi* xml = xmlApi();
    if (!xml) {
        return false;
    }
    xmlDocPtr doc = xml->readFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!doc) {
        ZLOGE("Failed document parssing!!!");
        return false;
    }
    bool ok = false;
    xmlNodePtr root = xml->rootElement(doc);
    if (!root) {
        ZLOGE("empty document!!!");
    } else if (xml->strcmp(root->name, BAD_CAST "result")) {
        ZLOGE("document of the wrong type, root node != result");
    } else if (!root->children) {
        ZLOGE("cur is nullptr");
    } else {
        for (xmlNodePtr node = root->children; node; node = node->next) {
            if (node->type != XML_ELEMENT_NODE) {
                continue;
            }
            xmlChar* content = xml->nodeContent(node);
            std::string text = content ? reinterpret_cast<const char*>(content) : "";
            (*xml->free)(content);
            const char* name = reinterpret_cast<const char*>(node->name);
            ZLOGD("nodeName[%s] Node[%s]", name, text.c_str());
            if (!strcmp(name, "resultCode")) {
                *resultCode = text;
            } else if (!strcmp(name, "versionName")) {
                *versionName = text;
            }
        }
        ok = true;
    }
    xml->freeDoc(doc);
    return ok;
}

bool ZentrelUpdater::_isUpdateAvailable(const std::string& path) {
    std::string resultCode;
    std::string versionName;
    if (!_parseXml(path, &resultCode, &versionName)) {
        return false;
    }
    if (resultCode != "2") {
        ZLOGI("No available app to update [%s]", resultCode.c_str());
        return false;
    }
    long long code = _convertVersionToCode(versionName);
    ZLOGI("[%s(%lld)] is available", versionName.c_str(), code);
    ZentrelStorageMgr::getInstance()->saveStoreAppVersion(code);
    return true;
}

// The round popup of the program's theme (message and one bottom button over
// the whole window) when the theme has it, else the toolkit's own popup.
void ZentrelUpdater::_createAppUpdatePopup(Evas_Object* parent) {
    const char* question = i18n_get_text(UPDATE_QUESTION);
    Evas_Object* popup = elm_layout_add(parent);
    const char* buttonPart = "elm.swallow.button1";
    if (elm_layout_theme_set(popup, "layout", "popup", "content/circle/buttons1")) {
        Evas_Object* text = elm_label_add(popup);
        elm_label_line_wrap_set(text, ELM_WRAP_MIXED);
        std::string markup = std::string("<align=center><font_size=26 color=#FAFAFA>") + question +
                             "</font_size></align>";
        elm_object_text_set(text, markup.c_str());
        evas_object_size_hint_weight_set(text, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
        evas_object_size_hint_align_set(text, EVAS_HINT_FILL, 0.5);
        elm_object_part_content_set(popup, "elm.swallow.content", text);
        Evas_Coord w = 0, h = 0;
        evas_object_geometry_get(parent, nullptr, nullptr, &w, &h);
        evas_object_resize(popup, w, h);
        evas_object_layer_set(popup, EVAS_LAYER_MAX - 1);
    } else {
        evas_object_del(popup);
        popup = elm_popup_add(parent);
        elm_object_style_set(popup, "circle");
        elm_object_text_set(popup, question);
        buttonPart = "button1";
    }
    evas_object_name_set(popup, ZENTREL_UPDATE_POPUP_NAME);
    elm_access_info_set(popup, ELM_ACCESS_INFO, question);
    Evas_Object* button = elm_button_add(popup);
    elm_object_text_set(button, i18n_get_text("IDS_COM_SK_OK"));
    elm_object_part_content_set(popup, buttonPart, button);
    evas_object_smart_callback_add(button, "clicked", _onConfirmed, this);
    eext_object_event_callback_add(popup, EEXT_CALLBACK_BACK, _onDismissed, this);
    evas_object_show(popup);
    _popup = popup;
    ZLOGI("Update popup is drawn");
}

void ZentrelUpdater::_deletePopup(ZentrelUpdater* self) {
    if (!self) {
        ZLOGE("p is nullptr");
        return;
    }
    if (!self->_popup) {
        ZLOGE("Popup is not matched");
        return;
    }
    ZLOGI("delete popup (%p)", static_cast<void*>(self->_popup));
    evas_object_del(self->_popup);
    self->_popup = nullptr;
}

void ZentrelUpdater::_onDismissed(void* data, Evas_Object*, void*) {
    ZLOGI("onDismissed");
    _deletePopup(static_cast<ZentrelUpdater*>(data));
}

void ZentrelUpdater::_onConfirmed(void* data, Evas_Object*, void*) {
    ZLOGI("onConfirmed");
    _deletePopup(static_cast<ZentrelUpdater*>(data));
    _launchVerdanStore();
}

// Without the store app, a desktop session opens the store's page in the
// default browser instead.
void ZentrelUpdater::_launchVerdanStore() {
    ZLOGI("Launch verdan store");
    char* appId = nullptr;
    app_get_id(&appId);
    std::string uri = "https://" + _keyText(ZENTREL_STORE_HOST_KEY, DEFAULT_STORE_HOST) +
                      "/tarn/appDetail.as?appId=" + queryValue(appId);
    free(appId);
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_operation(request, APP_CONTROL_OPERATION_VIEW);
    app_control_set_app_id(request,
                           _keyText(ZENTREL_STORE_APP_ID_KEY, DEFAULT_STORE_APP_ID).c_str());
    app_control_set_uri(request, uri.c_str());
    int error = app_control_send_launch_request(request, nullptr, nullptr);
    app_control_destroy(request);
    if (error == APP_CONTROL_ERROR_NONE) {
        return;
    }
    ZLOGE("app_control_send_launch_request() failed, ret=[%d]", error);
    if (!g_getenv("DISPLAY") && !g_getenv("WAYLAND_DISPLAY")) {
        return;
    }
    GError* failure = nullptr;
    if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &failure)) {
        ZLOGE("cannot open [%s]: %s", uri.c_str(), failure ? failure->message : "");
        g_clear_error(&failure);
    }
}
