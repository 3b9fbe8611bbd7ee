// Verbs that set what the weather agent answers.
#include <cstdio>
#include <cstdlib>

#include "Command.h"
#include "WeatherAgentKeys.h"
#include "ostra/vconf.h"

namespace {

int show() {
    char* mode = vconf_get_str(WEATHER_AGENT_KEY_MODE);
    double pressure = 0.0;
    double temperature = 0.0;
    int age = 0;
    vconf_get_dbl(WEATHER_AGENT_KEY_PRESSURE, &pressure);
    vconf_get_dbl(WEATHER_AGENT_KEY_TEMPERATURE, &temperature);
    vconf_get_int(WEATHER_AGENT_KEY_AGE, &age);
    printf("mode:        %s\n", mode && *mode ? mode : "no data (answers like unsupported)");
    printf("pressure:    %.2f hPa\ntemperature: %.1f C\nage:         %d s\n", pressure, temperature,
           age);
    free(mode);
    return 0;
}

int setData(const std::vector<std::string>& args) {
    double pressure = 0.0;
    double temperature = 0.0;
    long long age = 0;
    if (!ostractl::parseDouble(args[1], &pressure) ||
        !ostractl::parseDouble(args[2], &temperature) ||
        (args.size() == 4 && (!ostractl::parseInt(args[3], &age) || age < 0 || age > 1 << 30))) {
        return ostractl::usageError("weather-agent");
    }
    bool ok = vconf_set_dbl(WEATHER_AGENT_KEY_PRESSURE, pressure) == VCONF_OK &&
              vconf_set_dbl(WEATHER_AGENT_KEY_TEMPERATURE, temperature) == VCONF_OK &&
              vconf_set_int(WEATHER_AGENT_KEY_AGE, static_cast<int>(age)) == VCONF_OK &&
              vconf_set_str(WEATHER_AGENT_KEY_MODE, "data") == VCONF_OK;
    return ok ? 0 : 1;
}

int runWeatherAgent(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "show") {
        return show();
    }
    if (args[0] == "set" && (args.size() == 3 || args.size() == 4)) {
        return setData(args);
    }
    if ((args[0] == "unsupported" || args[0] == "old") && args.size() == 1) {
        return vconf_set_str(WEATHER_AGENT_KEY_MODE, args[0].c_str()) == VCONF_OK ? 0 : 1;
    }
    return ostractl::usageError("weather-agent");
}

ostractl::Registrar weatherAgentVerb({"weather-agent",
                                      "[show] | set PRESSURE TEMPERATURE [AGE_SECONDS] | "
                                      "unsupported | old",
                                      "what the weather agent answers", runWeatherAgent});

}  // namespace
