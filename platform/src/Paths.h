// Where the platform keeps its state: everything lives below one root.
#pragma once

#include <string>

namespace ostra {

// $OSTRA_ROOT, else ${XDG_DATA_HOME:-~/.local/share}/ostra. No trailing slash.
std::string rootDir();
// The package the calling process belongs to.
std::string packageId();
// rootDir()/apps/<package>
std::string packageDir(const std::string& package);
// rootDir()/system
std::string systemDir();
// Creates a directory and its parents with the given mode; true when it exists afterwards.
bool makeDirs(const std::string& path, unsigned mode = 0700);

}  // namespace ostra
