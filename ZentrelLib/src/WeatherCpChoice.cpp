#include "WeatherCpChoice.h"

#include <ostra/key_storage.h>
#include <ostra/vconf.h>

#include <cstdlib>

#include "WeatherCp.h"
#include "ZentrelLog.h"

namespace {

struct Named {
    const char* name;
    WEATHER_CP_TYPE type;
};

constexpr Named kProviders[] = {
    {"twc", WEATHER_CP_TYPE_TWC},
    {"weathernews", WEATHER_CP_TYPE_WEATHERNEWS},
    {"huafeng", WEATHER_CP_TYPE_HUAFENGACCU},
    {"open", WEATHER_CP_TYPE_OPENMETEO},
};

std::string readString(const char* key) {
    char* value = vconf_get_str(key);
    std::string text = value ? value : "";
    free(value);
    return text;
}

}  // namespace

std::string WeatherCpChoice::Name(WEATHER_CP_TYPE type) {
    for (const Named& provider : kProviders) {
        if (provider.type == type) {
            return provider.name;
        }
    }
    return "none";
}

WEATHER_CP_TYPE WeatherCpChoice::ByCountry(const std::string& country) {
    if (country == "82" || country == "81" || country == "KR" || country == "JP" ||
        country == "WNS") {
        return WEATHER_CP_TYPE_WEATHERNEWS;
    }
    if (country == "86" || country == "CN" || country == "HUAFENG") {
        return WEATHER_CP_TYPE_HUAFENGACCU;
    }
    return WEATHER_CP_TYPE_TWC;
}

bool WeatherCpChoice::HasTwcKey() {
    for (const char* name : {"zentrel_twc_api_key", "twc_api_key"}) {
        char* value = nullptr;
        bool found = key_storage_get(name, &value) == KEY_STORAGE_ERROR_NONE && value && *value;
        free(value);
        if (found) {
            return true;
        }
    }
    return false;
}

bool WeatherCpChoice::IsHostSet(const char* systemKey) {
    return !readString(systemKey).empty();
}

// TWC and the keyless source have public hosts; the others are reached only
// through hosts someone configured.
std::string WeatherCpChoice::WhyUnusable(WEATHER_CP_TYPE type) {
    switch (type) {
        case WEATHER_CP_TYPE_TWC:
            return HasTwcKey() ? "" : "no API key stored (zentrel_twc_api_key, twc_api_key)";
        case WEATHER_CP_TYPE_WEATHERNEWS:
            return IsHostSet(WEATHER_HOST_KEY_WEATHERNEWS)
                       ? ""
                       : std::string(WEATHER_HOST_KEY_WEATHERNEWS) + " is not set";
        case WEATHER_CP_TYPE_HUAFENGACCU:
            if (!IsHostSet(WEATHER_HOST_KEY_HUAFENG_LOCATION)) {
                return std::string(WEATHER_HOST_KEY_HUAFENG_LOCATION) + " is not set";
            }
            return IsHostSet(WEATHER_HOST_KEY_HUAFENG)
                       ? ""
                       : std::string(WEATHER_HOST_KEY_HUAFENG) + " is not set";
        case WEATHER_CP_TYPE_OPENMETEO:
            return "";
        default:
            return "no such provider";
    }
}

WeatherCpChoice::Result WeatherCpChoice::ChooseByCountry(const std::string& country) {
    WEATHER_CP_TYPE type = ByCountry(country);
    std::string why = WhyUnusable(type);
    std::string base = "auto: country \"" + country + "\" uses " + Name(type);
    if (why.empty()) {
        return {type, base + ", which is usable"};
    }
    return {WEATHER_CP_TYPE_OPENMETEO, base + ", but " + why + "; the keyless source stands in"};
}

WeatherCpChoice::Result WeatherCpChoice::Choose(const std::string& country) {
    std::string chosen = readString(WEATHER_PROVIDER_KEY);
    if (chosen.empty() || chosen == "auto") {
        return ChooseByCountry(country);
    }
    for (const Named& provider : kProviders) {
        if (chosen != provider.name) {
            continue;
        }
        std::string reason = std::string(WEATHER_PROVIDER_KEY) + " is \"" + chosen + "\"";
        std::string why = WhyUnusable(provider.type);
        if (!why.empty()) {
            ZLOGW("chosen provider [%s] cannot work: %s", chosen.c_str(), why.c_str());
            reason += " (" + why + ": requests will fail)";
        }
        return {provider.type, reason};
    }
    ZLOGW("unknown weather provider [%s]; auto", chosen.c_str());
    Result result = ChooseByCountry(country);
    result.reason =
        std::string(WEATHER_PROVIDER_KEY) + " is \"" + chosen + "\", unknown; " + result.reason;
    return result;
}
