// Asks the app store's update service, at most once per 96 hours, whether a
// newer version exists; when the installed one is older, a popup offers to
// open the app's page in the store.
#pragma once

#include <Evas.h>
#include <ostra/download.h>

#include <string>

// System keys of the update service's host and the store's identities, so a
// local server can stand in for them.
#define ZENTREL_UPDATE_HOST_KEY "db/zentrel/update/host"
#define ZENTREL_STORE_APP_ID_KEY "db/zentrel/update/store_app_id"
#define ZENTREL_STORE_HOST_KEY "db/zentrel/update/store_host"
// The evas name of the update popup while it is shown.
#define ZENTREL_UPDATE_POPUP_NAME "zentrel-update-popup"

struct capability_device_info_s;

class ZentrelUpdater {
  public:
    ZentrelUpdater();
    virtual ~ZentrelUpdater();

    void startDownloadManager(Evas_Object* parent);

    // Reads the store's answer file; true (and the offered version stored)
    // when it offers an update. Any bytes may arrive there.
    static bool _isUpdateAvailable(const std::string& path);
    static bool _parseXml(const std::string& path, std::string* resultCode,
                          std::string* versionName);

  private:
    ZentrelUpdater(const ZentrelUpdater&) = delete;
    ZentrelUpdater& operator=(const ZentrelUpdater&) = delete;

    static long long _convertVersionToCode(const std::string& version);
    static const char* _getStateString(int state);
    static std::string _keyText(const char* key, const char* fallback);
    std::string _queryUrl();
    void _startQuery();
    void _gatherStandaloneIds();
    void _gatherPairedIds();
    void _readSimPlmn();
    std::string _getHostAndTarnModelName(capability_device_info_s* phone);
    void _createAppUpdatePopup(Evas_Object* parent);
    static void _deletePopup(ZentrelUpdater* self);
    static void _launchVerdanStore();
    static void _stateChangedCb(int downloadId, download_state_e state, void* userData);
    static void _progressCb(int downloadId, unsigned long long received, void* userData);
    static void _onConfirmed(void* data, Evas_Object* obj, void* eventInfo);
    static void _onDismissed(void* data, Evas_Object* obj, void* eventInfo);

    char* _mcc = nullptr;
    char* _mnc = nullptr;
    char* _csc = nullptr;
    char* _sdkVer = nullptr;
    char* _modelName = nullptr;
    char* _platformVer = nullptr;
    long long _versionCode = 0;
    int _checkFromQaStore = 1;
    Evas_Object* _parent = nullptr;
    Evas_Object* _popup = nullptr;
    int _downloadId = -1;
};
