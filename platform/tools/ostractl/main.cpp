// ostractl: inspect and change the platform's state from the shell.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Command.h"
#include "Paths.h"
#include "ostra/app_common.h"

namespace ostractl {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}
}  // namespace

void registerCommand(const Command& command) {
    registry().push_back(command);
}
const std::vector<Command>& commands() {
    return registry();
}

int usageError(const char* verb) {
    for (const auto& c : commands()) {
        if (strcmp(c.name, verb) == 0) {
            fprintf(stderr, "usage: ostractl [--package ID] %s %s\n", c.name, c.usage);
        }
    }
    return 2;
}

bool parseBool(const std::string& text, bool* value) {
    if (text == "1" || text == "true" || text == "on" || text == "yes") {
        *value = true;
        return true;
    }
    if (text == "0" || text == "false" || text == "off" || text == "no") {
        *value = false;
        return true;
    }
    return false;
}

bool parseInt(const std::string& text, long long* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    *value = strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

bool parseDouble(const std::string& text, double* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    *value = strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0';
}

}  // namespace ostractl

namespace {

void printHelp() {
    printf("usage: ostractl [--package ID] VERB [ARGS...]\n\nverbs:\n");
    for (const auto& c : ostractl::commands()) {
        printf("  %-10s %-34s %s\n", c.name, c.usage, c.summary);
    }
    printf("\nState lives below $OSTRA_ROOT (now %s).\n", ostra_get_root_path());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    while (!args.empty() && args[0] == "--package") {
        if (args.size() < 2) {
            printHelp();
            return 2;
        }
        ostra_app_set_package_id(args[1].c_str());
        args.erase(args.begin(), args.begin() + 2);
    }
    std::string verb = args.empty() ? "summary" : args[0];
    if (verb == "help" || verb == "--help" || verb == "-h") {
        printHelp();
        return 0;
    }
    if (!args.empty()) {
        args.erase(args.begin());
    }
    // State in a directory another user can write is never used.
    std::string root = ostra::rootDir();
    if (access(root.c_str(), F_OK) == 0 && !ostra::makeStateDir(root)) {
        return 1;
    }
    for (const auto& c : ostractl::commands()) {
        if (verb == c.name) {
            return c.run(args);
        }
    }
    fprintf(stderr, "ostractl: unknown verb '%s'\n", verb.c_str());
    printHelp();
    return 2;
}
