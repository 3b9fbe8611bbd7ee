// The one place where settings and calibration data live, over the package's
// shared preference store, and the altitude arithmetic.
#pragma once

#include <string>

// Preference keys. The spellings are the stored ones and must not change.
#define ZENTREL_SETTING_MANUAL "ZENTREL_SETTING_MANUAL"
#define ZENTREL_SETTING_DISTANCE "ZENTREL_SETTING_DISTANCE"
#define ZENTREL_SETTING_PRESSURE "ZENTREL_SETTING_PRESSURE"
#define ZENTREL_SETTING_ALERT "ZENTREL_SETTING_ALERT"
#define ZENTREL_SETTING_AUTO_REFRESH "ZENTREL_SETTING_AUTO_REFRESH"
#define ZENTREL_SETTING_RESTORE_COMPLETED "ZENTREL_SETTING_RESTORE_COMPLETED"
#define ZENTREL_DATA_CALIBRATE_TIME "ZENTREL_DATA_CALIBRATE_TIME"
#define ZENTREL_DATA_SEE_LEVEL "ZENTREL_DATA_SEE_LEVEL"
#define ZENTREL_DATA_SEE_LEVEL_HISTORY "ZENTREL_DATA_SEE_LEVEL_HISTORY"
#define ZENTREL_DATA_ACCU_WANING_MESSAGE "ZENTREL_DATA_ACCU_WANING_MESSAGE"
#define ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE "ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE"
#define ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE "ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE"
#define ZENTREL_DATA_DEBUG_FEATURE "ZENTREL_DATA_DEBUG_FEATURE"
#define ZNETREL_DATA_TEMPERATURE "ZNETREL_DATA_TEMPERATURE"
#define ZNETREL_DATA_STORE_APP_VERSION "ZNETREL_DATA_STORE_APP_VERSION"
#define ZNETREL_DATA_LAST_STORE_CHECK_TIME "ZNETREL_DATA_LAST_STORE_CHECK_TIME"

#define ZENTREL_NO_TEMPERATURE 99999.0

class ZentrelStorageMgr {
  public:
    static ZentrelStorageMgr* getInstance();

    void initStorage();
    int getLDUModeEnable();
    int getDebugFeature();
    void getAppVersion(const char** version, const char** updateVersion);

    double getCurrentPressure();
    void setCurrentPressure(double pressure);

    void saveSettingManualMode(int mode);
    int getSettingManualMode();
    void saveSettingDistance(int unit);
    int getSettingDistance();
    void saveSettingPressure(int unit);
    int getSettingPressure();
    void saveSettingAlert(int alert);
    int getSettingAlert();
    void saveAutoRefresh(int mode);
    int getAutoRefresh();
    void saveRestoreComplete(int mode);
    int getRestoreComplete();
    void saveUserAgreementState(int mode);
    int getUserAgreementState();
    void saveUseNetworkAgreementState(int mode);
    int getUseNetworkAgreementState();
    void savePermissionGuideState(int mode);
    int getPermissionGuideState();
    void saveDataSLP(double pressure);
    double getDataSLP();
    void saveTemperature(double temperature);
    double getTemperature();
    void saveDataCalTime(long long time);
    long long getDataCalTime();
    void saveStoreAppVersion(long long versionCode);
    long long getStoreAppVersion();
    void saveLastStoreCheckTime(long long time);
    long long getLastStoreCheckTime();

    // Newly allocated; the caller frees it.
    char* getDataSLPHistory();
    void saveDataSLPHistory(std::string history);
    void addDataSLPHistory(long long time, double slp);
    bool isDataSLPHistoryEmpty();

    double getDefaultSLP();
    double getAltivalue(double pressure);
    double getAltivalue(double pressure, double seeLevelPressure);
    double getManualSLP(double alti, double baro);
    double getManualSLP(double alti, double baro, double temperature);
    int getAltiMinValue();
    int getAltiMaxValue();
    int getValidAltiValue(int value);
    double getSlpMinValue();
    double getSlpMaxValue();
    double getValidSlpValue(double value);
    // Newly allocated; the caller frees it. For log lines.
    char* getTimeText(long long rtcTime);

  protected:
    ZentrelStorageMgr();
    virtual ~ZentrelStorageMgr() = default;

  private:
    ZentrelStorageMgr(const ZentrelStorageMgr&) = delete;
    ZentrelStorageMgr& operator=(const ZentrelStorageMgr&) = delete;

    bool isChinaLteModel();
    int _getInt(const char* key, int fallback, bool logFailure);
    long long _getDecimalText(const char* key, const char* failureLog, bool* present);
    void _saveDecimalText(const char* key, long long value);
    void _writeDefaults(bool demo);
    void _resolveUnits();

    double _currentPressure;
    std::string _version;
    std::string _updateVersion;
};
