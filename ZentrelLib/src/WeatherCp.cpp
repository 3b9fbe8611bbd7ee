#include "WeatherCp.h"

#include <ostra/vconf.h>

#include <cstdlib>

#include "StringUtil.h"

std::string WeatherCp::GetCityInfoRequestUrl(std::string) {
    return "Not support";
}

std::string WeatherCp::GetHost(const char* systemKey, const char* fallback) {
    char* host = vconf_get_str(systemKey);
    std::string result = host && *host ? host : fallback;
    free(host);
    return result;
}

std::string WeatherCp::WithHost(const std::string& urlTemplate, const char* systemKey,
                                const char* fallback) {
    return StringUtil::StringReplace(urlTemplate, "%host", GetHost(systemKey, fallback));
}
