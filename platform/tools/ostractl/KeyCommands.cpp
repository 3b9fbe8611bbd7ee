// Verbs for the package's key storage (provider API keys).
#include <glib.h>

#include <cstdio>
#include <cstdlib>

#include "Command.h"
#include "ostra/key_storage.h"

namespace {

int runKey(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "list") {
        char** names = ostra_key_storage_list();
        for (char** name = names; *name; ++name) {
            printf("%s\n", *name);
        }
        g_strfreev(names);
        return 0;
    }
    if (args[0] == "get" && args.size() == 2) {
        char* value = nullptr;
        if (key_storage_get(args[1].c_str(), &value) != KEY_STORAGE_ERROR_NONE) {
            fprintf(stderr, "ostractl: no key %s\n", args[1].c_str());
            return 1;
        }
        printf("%s\n", value);
        free(value);
        return 0;
    }
    if (args[0] == "set" && args.size() == 3) {
        return key_storage_set(args[1].c_str(), args[2].c_str()) == KEY_STORAGE_ERROR_NONE ? 0 : 1;
    }
    if (args[0] == "remove" && args.size() == 2) {
        return key_storage_remove(args[1].c_str()) == KEY_STORAGE_ERROR_NONE ? 0 : 1;
    }
    return ostractl::usageError("key");
}

ostractl::Registrar keyVerb({"key", "list | get NAME | set NAME VALUE | remove NAME",
                             "the package's key storage (e.g. zentrel_twc_api_key)", runKey});

}  // namespace
