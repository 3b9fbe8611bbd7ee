// Verbs for the weather provider choice: which provider is in force and why.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Command.h"
#include "WeatherCpChoice.h"
#include "WeatherCpMgr.h"
#include "ostra/dlog.h"
#include "ostra/vconf.h"

namespace {

bool isChoice(const std::string& name) {
    for (const char* choice : {"auto", "twc", "weathernews", "huafeng", "open"}) {
        if (name == choice) {
            return true;
        }
    }
    return false;
}

int showProvider() {
    // The manager's own trace would bury the answer.
    ostra_log_set_level(DLOG_FATAL);
    WeatherCpMgr* manager = WeatherCpMgr::GetInstance();
    char* chosen = vconf_get_str(WEATHER_PROVIDER_KEY);
    printf("choice:   %s\n", chosen && *chosen ? chosen : "auto");
    free(chosen);
    printf("provider: %s\n", WeatherCpChoice::Name(manager->GetWeatherCp()).c_str());
    printf("why:      %s\n", manager->GetChoiceReason().c_str());
    return 0;
}

int runWeather(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "provider" || args.size() > 2) {
        return ostractl::usageError("weather");
    }
    if (args.size() == 2) {
        if (!isChoice(args[1])) {
            return ostractl::usageError("weather");
        }
        if (vconf_set_str(WEATHER_PROVIDER_KEY, args[1].c_str()) != VCONF_OK) {
            fprintf(stderr, "ostractl: cannot write %s\n", WEATHER_PROVIDER_KEY);
            return 1;
        }
    }
    return showProvider();
}

ostractl::Registrar weatherVerb({"weather", "provider [auto|twc|weathernews|huafeng|open]",
                                 "the weather provider in force and why; choose one", runWeather});

}  // namespace
