#include "PressureSource.h"

#include <glib.h>

#include <cstdlib>

#include "IioPressureSource.h"
#include "PlatformLog.h"
#include "ReplayPressureSource.h"
#include "SimPressureSource.h"
#include "ostra/vconf.h"

namespace ostra {

const char* const kSensorSourceKey = "db/ostra/sensor/source";

namespace {

unsigned simulationSeed() {
    const char* text = getenv("OSTRA_SENSOR_SEED");
    if (!text || !*text) {
        return 1;
    }
    char* end = nullptr;
    unsigned long seed = strtoul(text, &end, 10);
    if (!end || *end != '\0') {
        OSTRA_LOGW("OSTRA_SENSOR_SEED '%s' is not a number, seed 1 used", text);
        return 1;
    }
    return static_cast<unsigned>(seed);
}

}  // namespace

bool readFirstLine(const std::string& path, std::string* line) {
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr)) {
        return false;
    }
    std::string text(contents, length);
    g_free(contents);
    *line = text.substr(0, text.find('\n'));
    return true;
}

std::string pressureSourceChoice() {
    const char* env = getenv("OSTRA_SENSOR");
    if (env && *env) {
        return env;
    }
    char* key = vconf_get_str(kSensorSourceKey);
    std::string choice = key ? key : "";
    free(key);
    return choice.empty() ? "auto" : choice;
}

std::unique_ptr<PressureSource> openPressureSource(const std::string& choice) {
    if (choice == "auto") {
        if (auto iio = IioPressureSource::find()) {
            return iio;
        }
        return openPressureSource("sim");
    }
    if (choice == "iio") {
        auto iio = IioPressureSource::find();
        if (!iio) {
            OSTRA_LOGE("no IIO barometer below %s", IioPressureSource::devicesRoot().c_str());
        }
        return iio;
    }
    if (choice == "sim" || choice.rfind("sim:", 0) == 0) {
        SimPressureSource::Scenario scenario = SimPressureSource::Scenario::Steady;
        if (choice.size() > 4 && !SimPressureSource::parseScenario(choice.substr(4), &scenario)) {
            OSTRA_LOGE("unknown simulation scenario '%s'", choice.substr(4).c_str());
            return nullptr;
        }
        return std::make_unique<SimPressureSource>(scenario, simulationSeed());
    }
    if (choice.rfind("replay:", 0) == 0 && choice.size() > 7) {
        return ReplayPressureSource::open(choice.substr(7));
    }
    OSTRA_LOGE("unknown pressure source '%s'", choice.c_str());
    return nullptr;
}

std::unique_ptr<PressureSource> openPressureSource() {
    return openPressureSource(pressureSourceChoice());
}

}  // namespace ostra
