// Verbs for privacy privileges: a privilege's state and how requests are answered.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Command.h"
#include "ostra/privacy_privilege_manager.h"
#include "ostra/vconf.h"

namespace {

constexpr const char* kPrivileges[] = {"location"};

std::string stateKey(const std::string& name) {
    return std::string(OSTRA_PRIVILEGE_KEY_PREFIX) + name;
}

int show() {
    for (const char* name : kPrivileges) {
        char* state = vconf_get_str(stateKey(name).c_str());
        printf("%s: %s\n", name, state && *state ? state : "ask");
        free(state);
    }
    char* answer = vconf_get_str(OSTRA_PRIVILEGE_ANSWER_KEY);
    printf("requests are answered: %s\n", answer && *answer ? answer : "allow-forever");
    free(answer);
    return 0;
}

bool known(const std::string& name) {
    for (const char* privilege : kPrivileges) {
        if (name == privilege) {
            return true;
        }
    }
    return false;
}

int runPrivilege(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "show") {
        return show();
    }
    if (args.size() == 2 && known(args[0]) &&
        (args[1] == "allow" || args[1] == "deny" || args[1] == "ask")) {
        return vconf_set_str(stateKey(args[0]).c_str(), args[1].c_str()) == VCONF_OK ? 0 : 1;
    }
    if (args.size() == 2 && args[0] == "answer" &&
        (args[1] == "allow-forever" || args[1] == "deny-forever" || args[1] == "deny-once")) {
        return vconf_set_str(OSTRA_PRIVILEGE_ANSWER_KEY, args[1].c_str()) == VCONF_OK ? 0 : 1;
    }
    return ostractl::usageError("privilege");
}

ostractl::Registrar privilegeVerb(
    {"privilege", "show | location allow|deny|ask | answer allow-forever|deny-forever|deny-once",
     "privacy privilege states and how the next requests are answered", runPrivilege});

}  // namespace
