#include "ZentrelUtil.h"

#include <Elementary.h>

#include <ostra/app_common.h>
#include <ostra/connection.h>
#include <ostra/system_info.h>
#include <ostra/utils_i18n.h>
#include <ostra/uxt_util.h>
#include <ostra/vconf.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "ZentrelLog.h"

namespace {

constexpr const char* kRegionFormatKey = "db/menu_widget/regionformat";
constexpr const char* kTime1224Key = "db/menu_widget/regionformat_time1224";
constexpr const char* kDataRestrictionKey = "db/setting/data_restriction";
constexpr const char* kTelephonyFeature = "http://ostra.org/feature/network.telephony";
constexpr const char* kLinkraAppId = "com.korvane.linkra-popup";
constexpr const char* kLinkraConnectionTypeKey =
    "http://korvane.com/appcontrol/data/connection_type";
constexpr int kEinval = -22;
constexpr int kFormatDateTimeToday = 0x30;
constexpr int kFormatDateTimeOther = 0x36;
constexpr int kFormat12Hour = 0x40;
constexpr int kFormatDay = 0x06;

std::string fromResource(const char* relative) {
    return std::string(ZentrelUtil::getAppResourcePath()) + relative;
}

// The formatters made so far, closed when the program ends.
class FormatterCache {
  public:
    ~FormatterCache() {
        for (auto& entry : formatters) {
            i18n_unumber_destroy(entry.second);
        }
    }
    std::map<std::tuple<std::string, int, bool>, i18n_unumber_format_h> formatters;
};

// The region's decimal formatter for these settings, made once: opening an
// ICU formatter costs more than formatting, and readings format every second.
// Null on failure. Used from the main loop only.
i18n_unumber_format_h decimalFormatter(const std::string& locale, int fractionDigits,
                                       bool grouping) {
    static FormatterCache cache;
    auto& formatters = cache.formatters;
    auto key = std::make_tuple(locale, fractionDigits, grouping);
    auto found = formatters.find(key);
    if (found != formatters.end()) {
        return found->second;
    }
    i18n_unumber_format_h fmt = nullptr;
    int ret = i18n_unumber_create(I18N_UNUMBER_PATTERN_DECIMAL, nullptr, -1, locale.c_str(),
                                  nullptr, &fmt);
    if (ret != I18N_ERROR_NONE) {
        ZLOGE("i18n_unumber_create failed: %d", ret);
        return nullptr;
    }
    i18n_unumber_set_attribute(fmt, I18N_UNUMBER_GROUPING_USED, grouping ? 1 : 0);
    if (fractionDigits >= 0) {
        i18n_unumber_set_attribute(fmt, I18N_UNUMBER_MIN_FRACTION_DIGITS, fractionDigits);
        i18n_unumber_set_attribute(fmt, I18N_UNUMBER_MAX_FRACTION_DIGITS, fractionDigits);
    }
    formatters[key] = fmt;
    return fmt;
}

// Formats with the region's decimal formatter; empty on failure.
template <typename Number, typename FormatFn>
std::string formatWithIcu(const std::string& locale, Number number, FormatFn format,
                          int fractionDigits, bool grouping) {
    i18n_unumber_format_h fmt = decimalFormatter(locale, fractionDigits, grouping);
    if (!fmt) {
        return "";
    }
    i18n_uchar buffer[64] = {};
    int32_t len = 0;
    int ret = format(fmt, number, buffer, 64, nullptr, &len);
    if (ret != I18N_ERROR_NONE) {
        ZLOGE("i18n_unumber_format failed: %d", ret);
        return "";
    }
    char utf8[256] = {};
    if (i18n_ustring_to_UTF8(utf8, sizeof utf8, nullptr, buffer, len) != I18N_ERROR_NONE) {
        return "";
    }
    return utf8;
}

}  // namespace

std::string ZentrelUtil::_appResourcePath;
std::string ZentrelUtil::_appEdjFilePath;
std::string ZentrelUtil::_appResourceImagePath;
std::string ZentrelUtil::_appDataPath;
std::string ZentrelUtil::_appColorTablePath;
std::string ZentrelUtil::_appFontTablePath;

const char* ZentrelUtil::getAppResourcePath() {
    if (_appResourcePath.empty()) {
        char* path = app_get_resource_path();
        if (path) {
            _appResourcePath = path;
            free(path);
        }
    }
    return _appResourcePath.c_str();
}

const char* ZentrelUtil::getAppEdjFilePath() {
    if (_appEdjFilePath.empty()) {
        _appEdjFilePath = fromResource("edje/zentrel.edj");
    }
    ZLOGD("_appEdjFilePath.c_str() : %s", _appEdjFilePath.c_str());
    return _appEdjFilePath.c_str();
}

const char* ZentrelUtil::getAppColorTablePath() {
    if (_appColorTablePath.empty()) {
        _appColorTablePath = fromResource("table/Zentrel_color.xml");
    }
    return _appColorTablePath.c_str();
}

const char* ZentrelUtil::getAppFontTablePath() {
    if (_appFontTablePath.empty()) {
        _appFontTablePath = fromResource("table/Zentrel_font.xml");
    }
    return _appFontTablePath.c_str();
}

const char* ZentrelUtil::getAppResourceImagePath() {
    if (_appResourceImagePath.empty()) {
        _appResourceImagePath = fromResource("edje/images/");
    }
    return _appResourceImagePath.c_str();
}

char* ZentrelUtil::getAppResourceImageFilePathN(const char* name) {
    if (!name) {
        ZLOGE("image name is null");
        return nullptr;
    }
    return strdup((std::string(getAppResourceImagePath()) + name).c_str());
}

const char* ZentrelUtil::getAppDataPath() {
    if (_appDataPath.empty()) {
        char* path = app_get_data_path();
        if (path) {
            _appDataPath = path;
            free(path);
        }
    }
    return _appDataPath.c_str();
}

std::string ZentrelUtil::_regionLocale(bool* found) {
    char* region = vconf_get_str(kRegionFormatKey);
    *found = region != nullptr;
    if (!region) {
        return "";
    }
    std::string locale = region;
    free(region);
    size_t suffix = locale.find(".UTF-8");
    if (suffix != std::string::npos) {
        locale.erase(suffix);
    }
    return locale;
}

std::string ZentrelUtil::getNumberStringFromIcu(int number, bool grouping) {
    bool found = false;
    std::string locale = _regionLocale(&found);
    if (!found) {
        ZLOGE("Can not get region.");
        return std::to_string(number);
    }
    if (locale.size() >= 50) {
        ZLOGE("Region string has wrong value.");
        return std::to_string(number);
    }
    std::string text = formatWithIcu(locale, number, i18n_unumber_format, -1, grouping);
    return text.empty() ? std::to_string(number) : text;
}

std::string ZentrelUtil::getDoubleNumberStringFromIcu(double number, int fractionDigits,
                                                      bool grouping) {
    bool found = false;
    std::string locale = _regionLocale(&found);
    if (!found) {
        ZLOGE("Can not get region.");
        return std::to_string(number);
    }
    if (locale.size() >= 50) {
        ZLOGE("Region string has wrong value.");
        return std::to_string(number);
    }
    std::string text =
        formatWithIcu(locale, number, i18n_unumber_format_double, fractionDigits, grouping);
    return text.empty() ? std::to_string(number) : text;
}

char* ZentrelUtil::getTimeText(time_t time) {
    bool found = false;
    std::string locale = _regionLocale(&found);
    time_t now = ::time(nullptr);
    char* currentDay = uxt_util_get_date_time_text_by_locale(locale.c_str(), kFormatDay, now);
    char* targetDay = uxt_util_get_date_time_text_by_locale(locale.c_str(), kFormatDay, time);
    ZLOGD("C Day : %s, T Day %s", currentDay ? currentDay : "", targetDay ? targetDay : "");
    const bool sameDay = currentDay && targetDay && !strcmp(currentDay, targetDay);
    free(currentDay);
    free(targetDay);
    int format = sameDay ? kFormatDateTimeToday : kFormatDateTimeOther;
    int time1224 = 0;
    if (vconf_get_int(kTime1224Key, &time1224) == VCONF_OK && time1224 == VCONFKEY_TIME_FORMAT_12) {
        format |= kFormat12Hour;
    }
    return uxt_util_get_date_time_text_by_locale(locale.c_str(), format, time);
}

bool ZentrelUtil::isReverseLanguage() {
    bool found = false;
    std::string locale = _regionLocale(&found);
    if (!found) {
        ZLOGE("locale is null");
        return false;
    }
    for (const char* prefix : {"ar", "he", "ur", "fa"}) {
        if (locale.compare(0, 2, prefix) == 0) {
            return true;
        }
    }
    return false;
}

bool ZentrelUtil::isHebrewLanguage() {
    bool found = false;
    std::string locale = _regionLocale(&found);
    if (!found) {
        ZLOGE("locale is null");
        return false;
    }
    return locale.compare(0, 2, "he") == 0;
}

int ZentrelUtil::charToInt(const char* text, int& error) {
    if (!text) {
        ZLOGE("Input is null.");
        error = kEinval;
        return 0;
    }
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (end == text) {
        ZLOGE("Source has no decimal.");
        error = kEinval;
        return 0;
    }
    if (*end != '\0') {
        ZLOGE("%s : Extra characters at end of input : %s\n", text, end);
        error = kEinval;
        return 0;
    }
    // A number beyond int would come back as some other number.
    if (errno == ERANGE || value > INT_MAX || value < INT_MIN) {
        ZLOGE("%s : out of range", text);
        error = kEinval;
        return 0;
    }
    error = 0;
    return static_cast<int>(value);
}

bool ZentrelUtil::isConnectToMobile() {
    int connected = 0;
    if (vconf_get_bool("memory/hxs/hxmanager_connected", &connected) != VCONF_OK) {
        return false;
    }
    return connected != 0;
}

bool ZentrelUtil::isConnectToMobileByBT() {
    int status = 0;
    int ret = vconf_get_int("memory/private/qrl/conn_status", &status);
    if (ret != VCONF_OK) {
        ZLOGE("ret: %d", ret);
        return false;
    }
    return (status & 1) != 0;
}

bool ZentrelUtil::getHostConnected() {
    if (getIntVconf("memory/private/qrl/conn_type") == 1) {
        ZLOGI("QRL BT is CONNECTED");
        return true;
    }
    if (getIntVconf("memory/private/linkra/ios_connected") == 0) {
        ZLOGI("QRL BT is NOT CONNECTED");
        return false;
    }
    ZLOGI("iOS CONNECTED");
    return true;
}

int ZentrelUtil::getIntVconf(const char* key) {
    int value = 0;
    int ret = vconf_get_int(key, &value);
    if (ret != VCONF_OK) {
        ZLOGE("%s vconf_get fail: %d", key ? key : "(null)", ret);
        return 0;
    }
    return value;
}

bool ZentrelUtil::isNetworkSupportDevice() {
    bool supported = false;
    int ret = system_info_get_platform_bool(kTelephonyFeature, &supported);
    if (ret != SYSTEM_INFO_ERROR_NONE) {
        ZLOGE("system_info_get_platform_bool failed: %d", ret);
        return false;
    }
    return supported;
}

bool ZentrelUtil::isKorvanedevice() {
    char* vendor = vconf_get_str("db/hxs/host_status/vendor");
    bool korvane = vendor && !strcmp(vendor, "korvane");
    free(vendor);
    return korvane;
}

bool ZentrelUtil::isConnectedNetwork() {
    connection_h connection = nullptr;
    if (connection_create(&connection) != CONNECTION_ERROR_NONE) {
        ZLOGE("connection_create failed");
        return false;
    }
    connection_type_e type = CONNECTION_TYPE_DISCONNECTED;
    int ret = connection_get_type(connection, &type);
    connection_destroy(connection);
    if (ret != CONNECTION_ERROR_NONE) {
        ZLOGE("connection_get_type failed: %d", ret);
        return false;
    }
    int restriction = 0;
    vconf_get_int(kDataRestrictionKey, &restriction);
    ZLOGI("Network connection type: %d, data_restriction : %d", type, restriction);
    if (type == CONNECTION_TYPE_DISCONNECTED) {
        return false;
    }
    if (type == CONNECTION_TYPE_CELLULAR) {
        return restriction != 1;
    }
    return true;
}

bool ZentrelUtil::sendLinkraAppcontrol(const char* type, app_control_reply_cb replyCb, void* data) {
    app_control_h request = nullptr;
    int ret = app_control_create(&request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        ZLOGE("ret != APP_CONTROL_ERROR_NONE : %d", ret);
        return false;
    }
    app_control_set_app_id(request, kLinkraAppId);
    app_control_add_extra_data(request, kLinkraConnectionTypeKey, type ? type : "");
    ret = app_control_send_launch_request(request, replyCb, data);
    app_control_destroy(request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        ZLOGE("ret != APP_CONTROL_ERROR_NONE : %d", ret);
        return false;
    }
    return true;
}

Evas_Object* ZentrelUtil::partObject(Evas_Object* layout, const char* part) {
    Evas_Object* edje = elm_layout_edje_get(layout);
    if (!edje) {
        return nullptr;
    }
    edje_object_freeze(edje);
    auto* object = const_cast<Evas_Object*>(edje_object_part_object_get(edje, part));
    edje_object_thaw(edje);
    return object;
}
