// ostra-weather-agent: the platform's weather agent. It answers
// "GET_CURRENT_WEATHER_INFO" by sending its current data to the message port
// named in "PORT_ID" of the asking app. What it holds is set from the shell
// (ostractl weather-agent), kept in system keys.
#include <glib.h>
#include <ostra/message_port.h>
#include <ostra/service_app.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "PlatformLog.h"
#include "WeatherAgentKeys.h"

namespace {

// An agent started for one request does not linger: it exits after this many
// seconds without requests (OSTRA_WEATHER_AGENT_IDLE_SECONDS, default 10).
constexpr guint kIdleExitSeconds = 10;
guint idleTimer = 0;

guint idleSeconds() {
    const char* text = getenv("OSTRA_WEATHER_AGENT_IDLE_SECONDS");
    int seconds = text ? atoi(text) : 0;
    return seconds > 0 ? static_cast<guint>(seconds) : kIdleExitSeconds;
}

std::string extra(app_control_h request, const char* key) {
    char* value = nullptr;
    app_control_get_extra_data(request, key, &value);
    std::string text = value ? value : "";
    free(value);
    return text;
}

std::string keyText(const char* key) {
    char* value = vconf_get_str(key);
    std::string text = value ? value : "";
    free(value);
    return text;
}

std::string formatNumber(double value, const char* format) {
    char text[G_ASCII_DTOSTR_BUF_SIZE];
    return g_ascii_formatd(text, sizeof text, format, value);
}

// Modes: "data" (the values set), "unsupported" (no SLP where the watch is),
// "old" (an agent too old to send time and pressure). Nothing set yet means
// the agent has no data: it answers like "unsupported".
bundle* makeAnswer() {
    bundle* answer = bundle_create();
    std::string mode = keyText(WEATHER_AGENT_KEY_MODE);
    double temperature = 0.0;
    vconf_get_dbl(WEATHER_AGENT_KEY_TEMPERATURE, &temperature);
    bundle_add_str(answer, "currentTemperature", formatNumber(temperature, "%.1f").c_str());
    if (mode == "old") {
        return answer;
    }
    int age = 0;
    vconf_get_int(WEATHER_AGENT_KEY_AGE, &age);
    long long refreshed = static_cast<long long>(time(nullptr)) - age;
    bundle_add_str(answer, "refreshedTime", std::to_string(refreshed).c_str());
    double pressure = WEATHER_AGENT_NO_SLP;
    if (mode == "data") {
        vconf_get_dbl(WEATHER_AGENT_KEY_PRESSURE, &pressure);
    }
    bundle_add_str(answer, "pressure", formatNumber(pressure, "%.2f").c_str());
    return answer;
}

gboolean exitWhenIdle(gpointer) {
    idleTimer = 0;
    OSTRA_LOGI("weather agent: idle, exiting");
    service_app_exit();
    return G_SOURCE_REMOVE;
}

void rearmIdleTimer() {
    if (idleTimer) {
        g_source_remove(idleTimer);
    }
    idleTimer = g_timeout_add_seconds(idleSeconds(), exitWhenIdle, nullptr);
}

void onRequest(app_control_h request, void*) {
    rearmIdleTimer();
    std::string message = extra(request, "MESSAGE");
    if (message != "GET_CURRENT_WEATHER_INFO") {
        OSTRA_LOGI("weather agent: nothing to do for \"%s\"", message.c_str());
        return;
    }
    std::string port = extra(request, "PORT_ID");
    char* caller = nullptr;
    app_control_get_caller(request, &caller);
    std::string callerId = caller ? caller : "";
    free(caller);
    if (port.empty() || callerId.empty()) {
        OSTRA_LOGW("weather agent: request without reply port or caller ignored");
        return;
    }
    bundle* answer = makeAnswer();
    int error = message_port_send_message(callerId.c_str(), port.c_str(), answer);
    bundle_free(answer);
    if (error != MESSAGE_PORT_ERROR_NONE) {
        OSTRA_LOGE("weather agent: answer to %s/%s failed (%d)", callerId.c_str(), port.c_str(),
                   error);
        return;
    }
    OSTRA_LOGI("weather agent: answered %s/%s", callerId.c_str(), port.c_str());
}

bool onCreate(void*) {
    rearmIdleTimer();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    service_app_lifecycle_callback_s callbacks = {onCreate, nullptr, onRequest};
    return service_app_main(argc, argv, &callbacks, nullptr);
}
