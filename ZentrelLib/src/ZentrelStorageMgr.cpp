#include "ZentrelStorageMgr.h"

#include <ostra/app_preference.h>
#include <ostra/csc_feature.h>
#include <ostra/package_manager.h>
#include <ostra/uxt_util.h>
#include <ostra/vconf.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"

namespace {

constexpr double kDefaultSLP = 1013.25;
// What a history reader accepts (a positive decimal number), with a ceiling
// far above any altitude's SLP, in hPa.
constexpr double kSlpMinHpa = 0.0;
constexpr double kSlpMaxHpa = 10000.0;
constexpr double kExponentNoTemp = 0.19029495718363465;    // 1 / 5.255
constexpr double kExponentWithTemp = 0.19022256039566293;  // 1 / 5.257
constexpr int kDateTimeLogFormat = 54;
constexpr const char* kLogLocale = "en_GB.UTF-8";

enum class KeyType { Int, Double, String };

struct KeyDefault {
    const char* key;
    KeyType type;
    const char* normal;  // text of the first-run value
    const char* demo;    // text of the retail-demo value
    const char* failureLog;
};

// In the order initStorage writes them.
const KeyDefault kDefaults[] = {
    {ZENTREL_SETTING_MANUAL, KeyType::Int, "0", "0", ZENTREL_SETTING_MANUAL},
    {ZENTREL_SETTING_DISTANCE, KeyType::Int, "2", "2", ZENTREL_SETTING_DISTANCE},
    {ZENTREL_SETTING_PRESSURE, KeyType::Int, "3", "3", ZENTREL_SETTING_PRESSURE},
    {ZENTREL_SETTING_ALERT, KeyType::Int, "0", "0", ZENTREL_SETTING_ALERT},
    {ZENTREL_SETTING_AUTO_REFRESH, KeyType::Int, "0", "0", ZENTREL_SETTING_AUTO_REFRESH},
    {ZENTREL_SETTING_RESTORE_COMPLETED, KeyType::Int, "0", "0", ZENTREL_SETTING_RESTORE_COMPLETED},
    {ZENTREL_DATA_CALIBRATE_TIME, KeyType::String, "", "", ZENTREL_DATA_CALIBRATE_TIME},
    {ZENTREL_DATA_SEE_LEVEL, KeyType::Double, "1013.25", "1013.25", ZENTREL_DATA_SEE_LEVEL},
    {ZENTREL_DATA_SEE_LEVEL_HISTORY, KeyType::String, "", "", ZENTREL_DATA_SEE_LEVEL_HISTORY},
    {ZENTREL_DATA_ACCU_WANING_MESSAGE, KeyType::Int, "0", "0", "ZENTREL_DATA_USER_AGREEMENT_STATE"},
    {ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE, KeyType::Int, "0", "0",
     ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE},
    {ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE, KeyType::Int, "0", "0",
     "ZENTREL_DATA_PERMISSION_GUIDE_STATE"},
    {ZENTREL_DATA_DEBUG_FEATURE, KeyType::Int, "0", "0", ZENTREL_DATA_DEBUG_FEATURE},
    {ZNETREL_DATA_TEMPERATURE, KeyType::Double, "99999.0", "99999.0", ZNETREL_DATA_TEMPERATURE},
    {ZNETREL_DATA_STORE_APP_VERSION, KeyType::String, "0", "-1", ZNETREL_DATA_STORE_APP_VERSION},
    {ZNETREL_DATA_LAST_STORE_CHECK_TIME, KeyType::String, "", "",
     ZNETREL_DATA_LAST_STORE_CHECK_TIME},
};

int writeDefault(const KeyDefault& entry, const char* text) {
    switch (entry.type) {
        case KeyType::Int:
            return preference_set_int(entry.key, atoi(text));
        case KeyType::Double:
            return preference_set_double(entry.key, strtod(text, nullptr));
        case KeyType::String:
            return preference_set_string(entry.key, text);
    }
    return PREFERENCE_ERROR_INVALID_PARAMETER;
}

// Base-10 signed 64-bit text; anything else reads as 0.
long long parseDecimal(const char* text) {
    if (!text || !*text) {
        return 0;
    }
    char* end = nullptr;
    errno = 0;
    long long value = strtoll(text, &end, 10);
    if (errno != 0 || !end || *end != '\0') {
        ZLOGW("not a decimal number [%s]", text);
        return 0;
    }
    return value;
}

}  // namespace

ZentrelStorageMgr* ZentrelStorageMgr::getInstance() {
    static ZentrelStorageMgr instance;
    return &instance;
}

ZentrelStorageMgr::ZentrelStorageMgr() : _currentPressure(0.0) {
    package_info_h info = nullptr;
    if (package_info_create(ZENTREL_PACKAGE_ID, &info) == PACKAGE_MANAGER_ERROR_NONE) {
        char* version = nullptr;
        if (package_info_get_version(info, &version) == PACKAGE_MANAGER_ERROR_NONE && version) {
            _version = version;
        }
        free(version);
        package_info_destroy(info);
    }
    package_updateinfo_h update = nullptr;
    if (package_info_updateinfo_create(ZENTREL_PACKAGE_ID, &update) == PACKAGE_MANAGER_ERROR_NONE) {
        char* version = nullptr;
        if (package_info_updateinfo_get_version(update, &version) == PACKAGE_MANAGER_ERROR_NONE &&
            version) {
            _updateVersion = version;
        }
        free(version);
        package_info_updateinfo_destroy(update);
    }
}

void ZentrelStorageMgr::initStorage() {
    ZLOG_BEGIN();
    _writeDefaults(getLDUModeEnable() != 0);
    _resolveUnits();
    ZLOG_END();
}

void ZentrelStorageMgr::_writeDefaults(bool demo) {
    for (const auto& entry : kDefaults) {
        if (!demo) {
            bool exists = false;
            if (preference_is_existing(entry.key, &exists) != PREFERENCE_ERROR_NONE || exists) {
                continue;
            }
        }
        if (writeDefault(entry, demo ? entry.demo : entry.normal) != PREFERENCE_ERROR_NONE) {
            ZLOGE("%s failed", entry.failureLog);
        }
    }
}

void ZentrelStorageMgr::_resolveUnits() {
    int distance = 0;
    if (preference_get_int(ZENTREL_SETTING_DISTANCE, &distance) == PREFERENCE_ERROR_NONE &&
        distance == 2) {
        char* country = vconf_get_str(VCONFKEY_CSC_COUNTRY_ISO);
        bool us = country && strcmp(country, "US") == 0;
        free(country);
        preference_set_int(ZENTREL_SETTING_DISTANCE, us ? 1 : 0);
    }
    int pressure = 0;
    if (preference_get_int(ZENTREL_SETTING_PRESSURE, &pressure) == PREFERENCE_ERROR_NONE &&
        pressure == 3) {
        char* country = vconf_get_str(VCONFKEY_CSC_COUNTRY_ISO);
        int unit = 0;
        if (country && strcmp(country, "US") == 0) {
            unit = 1;
        } else if (country && strcmp(country, "RU") == 0) {
            unit = 2;
        }
        free(country);
        preference_set_int(ZENTREL_SETTING_PRESSURE, unit);
    }
}

int ZentrelStorageMgr::getLDUModeEnable() {
    int enabled = 0;
    if (vconf_get_int(VCONFKEY_RETAILMODE_ENABLED, &enabled) != VCONF_OK) {
        return 0;
    }
    return enabled;
}

bool ZentrelStorageMgr::isChinaLteModel() {
    if (csc_feature_get_bool(CSC_FEATURE_DEF_BOOL_SECURITY_PERMISSION_MANAGER) ==
        CSC_FEATURE_BOOL_TRUE) {
        ZLOGI("CHINA LTE MODEL");
        return true;
    }
    return false;
}

void ZentrelStorageMgr::getAppVersion(const char** version, const char** updateVersion) {
    if (version) {
        *version = _version.c_str();
    }
    if (updateVersion) {
        *updateVersion = _updateVersion.c_str();
    }
}

double ZentrelStorageMgr::getCurrentPressure() {
    return _currentPressure;
}

void ZentrelStorageMgr::setCurrentPressure(double pressure) {
    _currentPressure = pressure;
}

int ZentrelStorageMgr::_getInt(const char* key, int fallback, bool logFailure) {
    int value = 0;
    if (preference_get_int(key, &value) != PREFERENCE_ERROR_NONE) {
        if (logFailure) {
            ZLOGE("No Correct Data");
        }
        return fallback;
    }
    return value;
}

int ZentrelStorageMgr::getDebugFeature() {
    return _getInt(ZENTREL_DATA_DEBUG_FEATURE, 0, false);
}

void ZentrelStorageMgr::saveSettingManualMode(int mode) {
    preference_set_int(ZENTREL_SETTING_MANUAL, mode);
}
int ZentrelStorageMgr::getSettingManualMode() {
    return _getInt(ZENTREL_SETTING_MANUAL, 0, true);
}

void ZentrelStorageMgr::saveSettingDistance(int unit) {
    preference_set_int(ZENTREL_SETTING_DISTANCE, unit);
}
int ZentrelStorageMgr::getSettingDistance() {
    return _getInt(ZENTREL_SETTING_DISTANCE, 0, true);
}

void ZentrelStorageMgr::saveSettingPressure(int unit) {
    preference_set_int(ZENTREL_SETTING_PRESSURE, unit);
}
int ZentrelStorageMgr::getSettingPressure() {
    return _getInt(ZENTREL_SETTING_PRESSURE, 0, true);
}

void ZentrelStorageMgr::saveSettingAlert(int alert) {
    preference_set_int(ZENTREL_SETTING_ALERT, alert);
}
int ZentrelStorageMgr::getSettingAlert() {
    return _getInt(ZENTREL_SETTING_ALERT, 0, true);
}

void ZentrelStorageMgr::saveAutoRefresh(int mode) {
    preference_set_int(ZENTREL_SETTING_AUTO_REFRESH, mode);
}
int ZentrelStorageMgr::getAutoRefresh() {
    return _getInt(ZENTREL_SETTING_AUTO_REFRESH, 0, false);
}

void ZentrelStorageMgr::saveRestoreComplete(int mode) {
    preference_set_int(ZENTREL_SETTING_RESTORE_COMPLETED, mode);
}
int ZentrelStorageMgr::getRestoreComplete() {
    return _getInt(ZENTREL_SETTING_RESTORE_COMPLETED, 0, false);
}

void ZentrelStorageMgr::saveUserAgreementState(int mode) {
    preference_set_int(ZENTREL_DATA_ACCU_WANING_MESSAGE, mode);
}
int ZentrelStorageMgr::getUserAgreementState() {
    return _getInt(ZENTREL_DATA_ACCU_WANING_MESSAGE, 0, true);
}

void ZentrelStorageMgr::saveUseNetworkAgreementState(int mode) {
    preference_set_int(ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE, mode);
}

int ZentrelStorageMgr::getUseNetworkAgreementState() {
    ZLOG_HIT();
    int value = 0;
    if (preference_get_int(ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE, &value) !=
        PREFERENCE_ERROR_NONE) {
        ZLOGE("No Correct Data");
        return 0;
    }
    if (value == 0) {
        if (isChinaLteModel()) {
            ZLOGI("[China model] ret:%d", value);
        } else {
            ZLOGI("[Not china model]");
            preference_set_int(ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE, 1);
            value = 1;
        }
    }
    ZLOGD("ret [%d]", value);
    return value;
}

void ZentrelStorageMgr::savePermissionGuideState(int mode) {
    preference_set_int(ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE, mode);
}

int ZentrelStorageMgr::getPermissionGuideState() {
    int value = 0;
    if (preference_get_int(ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE, &value) !=
        PREFERENCE_ERROR_NONE) {
        ZLOGE("No Correct Data");
        return 0;
    }
    if (value != 0 || !isChinaLteModel()) {
        return value;
    }
    ZLOGI("[China model] Don't need to show a guide popup");
    preference_set_int(ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE, 1);
    return 1;
}

namespace {

// A reader drops the whole history over one bad entry, so none is written.
bool isStorableSlp(double hPa, const char* what) {
    if (std::isfinite(hPa) && hPa > kSlpMinHpa && hPa <= kSlpMaxHpa) {
        return true;
    }
    ZLOGE("%s: SLP %f hPa refused (must be above %.0f and at most %.0f)", what, hPa, kSlpMinHpa,
          kSlpMaxHpa);
    return false;
}

}  // namespace

void ZentrelStorageMgr::saveDataSLP(double pressure) {
    if (isStorableSlp(pressure, "saveDataSLP")) {
        preference_set_double(ZENTREL_DATA_SEE_LEVEL, pressure);
    }
}

double ZentrelStorageMgr::getDataSLP() {
    double value = 0.0;
    if (preference_get_double(ZENTREL_DATA_SEE_LEVEL, &value) != PREFERENCE_ERROR_NONE) {
        ZLOGE("No Correct Data");
        return 0.0;
    }
    return value;
}

void ZentrelStorageMgr::saveTemperature(double temperature) {
    preference_set_double(ZNETREL_DATA_TEMPERATURE, temperature);
}

double ZentrelStorageMgr::getTemperature() {
    double value = 0.0;
    if (preference_get_double(ZNETREL_DATA_TEMPERATURE, &value) != PREFERENCE_ERROR_NONE) {
        return ZENTREL_NO_TEMPERATURE;
    }
    return value;
}

void ZentrelStorageMgr::_saveDecimalText(const char* key, long long value) {
    char text[32];
    snprintf(text, sizeof(text), "%lld", value);
    preference_set_string(key, text);
}

long long ZentrelStorageMgr::_getDecimalText(const char* key, const char* failureLog,
                                             bool* present) {
    char* text = nullptr;
    if (preference_get_string(key, &text) != PREFERENCE_ERROR_NONE) {
        ZLOGE("%s", failureLog);
        *present = false;
        return 0;
    }
    *present = true;
    long long value = parseDecimal(text);
    free(text);
    return value;
}

void ZentrelStorageMgr::saveDataCalTime(long long time) {
    _saveDecimalText(ZENTREL_DATA_CALIBRATE_TIME, time);
}

long long ZentrelStorageMgr::getDataCalTime() {
    bool present = false;
    return _getDecimalText(ZENTREL_DATA_CALIBRATE_TIME, "No Correct Data", &present);
}

void ZentrelStorageMgr::saveStoreAppVersion(long long versionCode) {
    char text[32];
    snprintf(text, sizeof(text), "%lld", versionCode);
    ZLOGI("Version code [%s]", text);
    preference_set_string(ZNETREL_DATA_STORE_APP_VERSION, text);
}

long long ZentrelStorageMgr::getStoreAppVersion() {
    bool present = false;
    long long value = _getDecimalText(ZNETREL_DATA_STORE_APP_VERSION, "No Data", &present);
    if (present) {
        ZLOGI("Store app version code [%lld]", value);
    }
    return value;
}

void ZentrelStorageMgr::saveLastStoreCheckTime(long long time) {
    char text[32];
    snprintf(text, sizeof(text), "%lld", time);
    char* dateTime = getTimeText(time);
    ZLOGI("Store check time [%s][%s]", text, dateTime ? dateTime : "");
    free(dateTime);
    preference_set_string(ZNETREL_DATA_LAST_STORE_CHECK_TIME, text);
}

long long ZentrelStorageMgr::getLastStoreCheckTime() {
    bool present = false;
    long long value = _getDecimalText(ZNETREL_DATA_LAST_STORE_CHECK_TIME, "No Data", &present);
    if (present) {
        char* dateTime = getTimeText(value);
        ZLOGI("Last store check time [%lld][%s]", value, dateTime ? dateTime : "");
        free(dateTime);
    }
    return value;
}

char* ZentrelStorageMgr::getDataSLPHistory() {
    char* history = nullptr;
    if (preference_get_string(ZENTREL_DATA_SEE_LEVEL_HISTORY, &history) != PREFERENCE_ERROR_NONE ||
        !history) {
        free(history);
        history = strdup("");
    }
    ZLOGI("SLP History [%s]", history);
    return history;
}

void ZentrelStorageMgr::saveDataSLPHistory(std::string history) {
    preference_set_string(ZENTREL_DATA_SEE_LEVEL_HISTORY, history.c_str());
}

void ZentrelStorageMgr::addDataSLPHistory(long long time, double slp) {
    ZLOG_BEGIN();
    if (!isStorableSlp(slp, "addDataSLPHistory")) {
        return;
    }
    char* history = getDataSLPHistory();
    std::string text = history ? history : "";
    free(history);
    char timeText[32];
    snprintf(timeText, sizeof(timeText), "%lld", time);
    if (text.find(timeText) != std::string::npos) {
        return;
    }
    char slpText[64];
    snprintf(slpText, sizeof(slpText), "%f", slp);
    text += std::string("T:") + timeText + ";P+" + slpText;
    preference_set_string(ZENTREL_DATA_SEE_LEVEL_HISTORY, text.c_str());
}

bool ZentrelStorageMgr::isDataSLPHistoryEmpty() {
    char* history = nullptr;
    if (preference_get_string(ZENTREL_DATA_SEE_LEVEL_HISTORY, &history) != PREFERENCE_ERROR_NONE) {
        return true;
    }
    bool empty = !history || !*history;
    free(history);
    return empty;
}

double ZentrelStorageMgr::getDefaultSLP() {
    return kDefaultSLP;
}

double ZentrelStorageMgr::getAltivalue(double pressure) {
    if (pressure == 0.0) {
        ZLOGE("divider is zero!");
        return 0.0;
    }
    if (getLDUModeEnable() != 0) {
        return 110.0;
    }
    double slp = getDataSLP();
    if (!(slp > 0.0)) {
        ZLOGW("No valid slp");
        slp = getDefaultSLP();
    }
    return getAltivalue(pressure, slp);
}

double ZentrelStorageMgr::getAltivalue(double pressure, double seeLevelPressure) {
    if (pressure == 0.0 || seeLevelPressure == 0.0) {
        ZLOGE("divider is zero! %lf, %lf", pressure, seeLevelPressure);
        return 0.0;
    }
    double temperature = getTemperature();
    if (temperature == ZENTREL_NO_TEMPERATURE) {
        ZLOGD("No valid temperature value! (%lf, %lf)", pressure, seeLevelPressure);
        return (1.0 - std::pow(pressure / seeLevelPressure, kExponentNoTemp)) * 44330.0;
    }
    return (std::pow(seeLevelPressure / pressure, kExponentWithTemp) - 1.0) *
           (temperature + 273.15) / 0.0065;
}

double ZentrelStorageMgr::getManualSLP(double alti, double baro) {
    return getManualSLP(alti, baro, getTemperature());
}

double ZentrelStorageMgr::getManualSLP(double alti, double baro, double temperature) {
    if (temperature == ZENTREL_NO_TEMPERATURE) {
        ZLOGD("No valid temperature value! (%lf, %lf, %lf)", alti, baro, temperature);
        return baro / std::pow(1.0 - alti / 44330.0, 5.255);
    }
    return baro * std::pow(1.0 + (alti * 0.0065) / (temperature + 273.15), 5.257);
}

int ZentrelStorageMgr::getAltiMinValue() {
    return getSettingDistance() == 0 ? -800 : -2620;
}

int ZentrelStorageMgr::getAltiMaxValue() {
    return getSettingDistance() == 0 ? 8800 : 28870;
}

int ZentrelStorageMgr::getValidAltiValue(int value) {
    int minimum = getAltiMinValue();
    int maximum = getAltiMaxValue();
    if (value < minimum) {
        return minimum;
    }
    return value > maximum ? maximum : value;
}

double ZentrelStorageMgr::getSlpMinValue() {
    switch (getSettingPressure()) {
        case 0:
            return 350.0;
        case 1:
            return 10.33;
        default:
            return 263.0;
    }
}

double ZentrelStorageMgr::getSlpMaxValue() {
    switch (getSettingPressure()) {
        case 0:
            return 1150.0;
        case 1:
            return 33.95;
        default:
            return 863.0;
    }
}

double ZentrelStorageMgr::getValidSlpValue(double value) {
    double minimum = getSlpMinValue();
    double maximum = getSlpMaxValue();
    if (value < minimum) {
        return minimum;
    }
    return value > maximum ? maximum : value;
}

char* ZentrelStorageMgr::getTimeText(long long rtcTime) {
    return uxt_util_get_date_time_text_by_locale(kLogLocale, kDateTimeLogFormat,
                                                 static_cast<time_t>(rtcTime));
}
