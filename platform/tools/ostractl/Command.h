// ostractl verbs register themselves here, one source file per platform area.
#pragma once

#include <string>
#include <vector>

namespace ostractl {

struct Command {
    const char* name;
    const char* usage;    // arguments after the verb
    const char* summary;  // one line for the help text
    int (*run)(const std::vector<std::string>& args);
};

void registerCommand(const Command& command);
const std::vector<Command>& commands();

// Prints the usage of one verb to stderr and returns the exit code 2.
int usageError(const char* verb);

// Parses "int", "double", "string" or "bool" values for the typed setters.
bool parseBool(const std::string& text, bool* value);
bool parseInt(const std::string& text, long long* value);
bool parseDouble(const std::string& text, double* value);

struct Registrar {
    explicit Registrar(const Command& command) { registerCommand(command); }
};

}  // namespace ostractl
