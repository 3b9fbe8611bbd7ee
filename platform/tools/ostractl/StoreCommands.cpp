// Verbs for the stored state: system keys, preferences, the usage log, a summary.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Command.h"
#include "ostra/app_common.h"
#include "ostra/app_preference.h"
#include "ostra/korvane_log.h"
#include "ostra/vconf.h"

namespace {

const char* typeName(int vconfType) {
    switch (vconfType) {
        case VCONF_TYPE_INT:
            return "int";
        case VCONF_TYPE_BOOL:
            return "bool";
        case VCONF_TYPE_DOUBLE:
            return "double";
        case VCONF_TYPE_STRING:
            return "string";
        default:
            return "none";
    }
}

void printVconfItem(const char* key, int type, const char* value, int isDefault, void*) {
    printf("%-44s %-6s %s%s\n", key, typeName(type), value, isDefault ? "  (host default)" : "");
}

int vconfGet(const std::string& key) {
    char* text = vconf_get_str(key.c_str());
    if (text) {
        printf("%s\n", text);
        free(text);
        return 0;
    }
    int i = 0;
    if (vconf_get_int(key.c_str(), &i) == VCONF_OK) {
        printf("%d\n", i);
        return 0;
    }
    double d = 0;
    if (vconf_get_dbl(key.c_str(), &d) == VCONF_OK) {
        printf("%f\n", d);
        return 0;
    }
    fprintf(stderr, "ostractl: system key %s is not set\n", key.c_str());
    return 1;
}

int vconfSet(const std::string& key, const std::string& type, const std::string& text) {
    int rc = VCONF_ERROR;
    long long i = 0;
    double d = 0;
    bool b = false;
    if (type == "int" && ostractl::parseInt(text, &i)) {
        rc = vconf_set_int(key.c_str(), static_cast<int>(i));
    } else if (type == "bool" && ostractl::parseBool(text, &b)) {
        rc = vconf_set_bool(key.c_str(), b);
    } else if (type == "double" && ostractl::parseDouble(text, &d)) {
        rc = vconf_set_dbl(key.c_str(), d);
    } else if (type == "string") {
        rc = vconf_set_str(key.c_str(), text.c_str());
    } else {
        fprintf(stderr, "ostractl: '%s' is not a valid %s\n", text.c_str(), type.c_str());
        return 2;
    }
    return rc == VCONF_OK ? 0 : 1;
}

int runVconf(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "list") {
        ostra_vconf_foreach(printVconfItem, nullptr);
        return 0;
    }
    if (args[0] == "get" && args.size() == 2) {
        return vconfGet(args[1]);
    }
    if (args[0] == "set" && args.size() == 4) {
        return vconfSet(args[1], args[2], args[3]);
    }
    if (args[0] == "unset" && args.size() == 2) {
        return vconf_unset(args[1].c_str()) == VCONF_OK ? 0 : 1;
    }
    return ostractl::usageError("vconf");
}

bool printPref(const char* key, void*) {
    char type = ostra_preference_get_type(key);
    switch (type) {
        case 'i': {
            int v = 0;
            preference_get_int(key, &v);
            printf("%-44s int    %d\n", key, v);
            break;
        }
        case 'b': {
            bool v = false;
            preference_get_boolean(key, &v);
            printf("%-44s bool   %d\n", key, v ? 1 : 0);
            break;
        }
        case 'd': {
            double v = 0;
            preference_get_double(key, &v);
            printf("%-44s double %f\n", key, v);
            break;
        }
        case 's': {
            char* v = nullptr;
            preference_get_string(key, &v);
            printf("%-44s string %s\n", key, v ? v : "");
            free(v);
            break;
        }
        default:
            break;
    }
    return true;
}

int prefSet(const std::string& key, const std::string& type, const std::string& text) {
    int rc = PREFERENCE_ERROR_INVALID_PARAMETER;
    long long i = 0;
    double d = 0;
    bool b = false;
    if (type == "int" && ostractl::parseInt(text, &i)) {
        rc = preference_set_int(key.c_str(), static_cast<int>(i));
    } else if (type == "bool" && ostractl::parseBool(text, &b)) {
        rc = preference_set_boolean(key.c_str(), b);
    } else if (type == "double" && ostractl::parseDouble(text, &d)) {
        rc = preference_set_double(key.c_str(), d);
    } else if (type == "string") {
        rc = preference_set_string(key.c_str(), text.c_str());
    } else {
        fprintf(stderr, "ostractl: '%s' is not a valid %s\n", text.c_str(), type.c_str());
        return 2;
    }
    return rc == PREFERENCE_ERROR_NONE ? 0 : 1;
}

int runPref(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "list") {
        return preference_foreach_item(printPref, nullptr) == PREFERENCE_ERROR_NONE ? 0 : 1;
    }
    if (args[0] == "get" && args.size() == 2) {
        if (!ostra_preference_get_type(args[1].c_str())) {
            fprintf(stderr, "ostractl: preference %s is not set\n", args[1].c_str());
            return 1;
        }
        printPref(args[1].c_str(), nullptr);
        return 0;
    }
    if (args[0] == "set" && args.size() == 4) {
        return prefSet(args[1], args[2], args[3]);
    }
    if (args[0] == "remove" && args.size() == 2) {
        return preference_remove(args[1].c_str()) == PREFERENCE_ERROR_NONE ? 0 : 1;
    }
    if (args[0] == "clear" && args.size() == 1) {
        return preference_remove_all() == PREFERENCE_ERROR_NONE ? 0 : 1;
    }
    return ostractl::usageError("pref");
}

std::string usageLogPath() {
    char* data = app_get_data_path();
    std::string path = std::string(data ? data : "") + KORVANE_LOG_FILE_NAME;
    free(data);
    return path;
}

int runUsageLog(const std::vector<std::string>& args) {
    if (!args.empty()) {
        return ostractl::usageError("usage-log");
    }
    std::ifstream in(usageLogPath());
    std::string line;
    while (std::getline(in, line)) {
        printf("%s\n", line.c_str());
    }
    return 0;
}

int runSummary(const std::vector<std::string>&) {
    char* root = ostra_get_root_path();
    char* id = nullptr;
    app_get_id(&id);
    char* data = app_get_data_path();
    char* res = app_get_resource_path();
    printf("root:      %s\npackage:   %s\ndata:      %s\nresources: %s\n\nsystem keys:\n", root,
           id ? id : "", data ? data : "", res ? res : "");
    free(root);
    free(id);
    free(data);
    free(res);
    ostra_vconf_foreach(printVconfItem, nullptr);
    printf("\npreferences:\n");
    preference_foreach_item(printPref, nullptr);
    std::ifstream in(usageLogPath());
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
    }
    printf("\nusage log: %d event(s) in %s\n", lines, usageLogPath().c_str());
    return 0;
}

ostractl::Registrar summary({"summary", "", "paths, system keys, preferences, usage-log size",
                             runSummary});
ostractl::Registrar vconfVerb({"vconf", "list | get KEY | set KEY TYPE VALUE | unset KEY",
                               "system keys (TYPE: int, bool, double, string)", runVconf});
ostractl::Registrar prefVerb({"pref", "list | get KEY | set KEY TYPE VALUE | remove KEY | clear",
                              "the package's preferences", runPref});
ostractl::Registrar usageVerb({"usage-log", "", "print the package's usage-log events",
                               runUsageLog});

}  // namespace
