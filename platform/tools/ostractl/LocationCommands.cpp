// Verbs for the location area: the user's switch, a fixed place, and the
// faults a test or a user can make the service play.
#include <cstdio>
#include <cstdlib>

#include "Command.h"
#include "ostra/location_manager.h"
#include "ostra/vconf.h"

namespace {

int show() {
    bool on = false;
    int supported = location_manager_is_enabled_method(LOCATIONS_METHOD_HYBRID, &on);
    printf("supported: %s\nswitched:  %s\n", supported == LOCATIONS_ERROR_NONE ? "yes" : "no",
           on ? "on" : "off");
    double lat = 0, lon = 0, alt = 0;
    if (vconf_get_dbl(VCONFKEY_LOCATION_LATITUDE, &lat) == VCONF_OK &&
        vconf_get_dbl(VCONFKEY_LOCATION_LONGITUDE, &lon) == VCONF_OK) {
        vconf_get_dbl(VCONFKEY_LOCATION_ALTITUDE, &alt);
        printf("position:  fixed %.6f, %.6f, %.1f m\n", lat, lon, alt);
    } else {
        printf("position:  from GeoClue2 (no fixed place set)\n");
    }
    char* answer = vconf_get_str(VCONFKEY_LOCATION_ENABLE_ANSWER);
    printf("enable requests are answered: %s\n", answer ? answer : "accept");
    free(answer);
    char* fault = vconf_get_str(VCONFKEY_LOCATION_FAULT);
    printf("fault:     %s\n", fault && *fault ? fault : "none");
    free(fault);
    int quiet = 0;
    vconf_get_bool(VCONFKEY_LOCATION_SILENT, &quiet);
    printf("silent:    %s\n", quiet ? "yes (the service never comes up)" : "no");
    return 0;
}

int setFault(const std::string& name) {
    if (name == "clear") {
        vconf_unset(VCONFKEY_LOCATION_FAULT);
        return 0;
    }
    if (ostra_location_error_from_name(name.c_str()) == LOCATIONS_ERROR_NONE) {
        fprintf(stderr, "ostractl: unknown fault \"%s\"\n", name.c_str());
        return 2;
    }
    return vconf_set_str(VCONFKEY_LOCATION_FAULT, name.c_str()) == VCONF_OK ? 0 : 1;
}

int runLocation(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "show") {
        return show();
    }
    if ((args[0] == "on" || args[0] == "off") && args.size() == 1) {
        return vconf_set_bool(VCONFKEY_LOCATION_ENABLED, args[0] == "on") == VCONF_OK ? 0 : 1;
    }
    if (args[0] == "set" && (args.size() == 3 || args.size() == 4)) {
        double lat = 0, lon = 0, alt = 0;
        if (!ostractl::parseDouble(args[1], &lat) || !ostractl::parseDouble(args[2], &lon) ||
            (args.size() == 4 && !ostractl::parseDouble(args[3], &alt)) || lat < -90 || lat > 90 ||
            lon < -180 || lon > 180) {
            fprintf(stderr, "ostractl: latitude -90..90 and longitude -180..180 expected\n");
            return 2;
        }
        bool ok = vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, lat) == VCONF_OK &&
                  vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, lon) == VCONF_OK &&
                  vconf_set_dbl(VCONFKEY_LOCATION_ALTITUDE, alt) == VCONF_OK;
        return ok ? 0 : 1;
    }
    if (args[0] == "clear" && args.size() == 1) {
        vconf_unset(VCONFKEY_LOCATION_LATITUDE);
        vconf_unset(VCONFKEY_LOCATION_LONGITUDE);
        vconf_unset(VCONFKEY_LOCATION_ALTITUDE);
        return 0;
    }
    if (args[0] == "answer" && args.size() == 2 && (args[1] == "accept" || args[1] == "refuse")) {
        return vconf_set_str(VCONFKEY_LOCATION_ENABLE_ANSWER, args[1].c_str()) == VCONF_OK ? 0 : 1;
    }
    if (args[0] == "fault" && args.size() == 2) {
        return setFault(args[1]);
    }
    if (args[0] == "silent" && args.size() == 2 && (args[1] == "on" || args[1] == "off")) {
        return vconf_set_bool(VCONFKEY_LOCATION_SILENT, args[1] == "on") == VCONF_OK ? 0 : 1;
    }
    return ostractl::usageError("location");
}

ostractl::Registrar locationVerb(
    {"location",
     "show | on | off | set LAT LON [ALT] | clear | answer accept|refuse | fault NAME|clear | "
     "silent on|off",
     "location switch, fixed place, enable answers, played faults", runLocation});

}  // namespace
