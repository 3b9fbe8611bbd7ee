// Where the platform keeps its state: everything lives below one root.
#pragma once

#include <string>

namespace ostra {

// $OSTRA_ROOT, else ${XDG_DATA_HOME:-~/.local/share}/ostra, the home taken from
// the user database when HOME is unset. No trailing slash.
std::string rootDir();
// The package the calling process belongs to.
std::string packageId();
// rootDir()/apps/<package>
std::string packageDir(const std::string& package);
// rootDir()/system
std::string systemDir();
// Creates a directory and its parents with the given mode; true when it exists afterwards.
bool makeDirs(const std::string& path, unsigned mode = 0700);
// Creates a state directory owner-only. False, with an error logged, when it or
// a directory between it and the root is not owned by the user or is writable
// by others: state there could be planted or read by another user.
bool makeStateDir(const std::string& path);
// The file is owned by the user (or, when rootToo, by root) and writable by
// nobody else; otherwise a warning naming it is logged.
bool ownedPrivately(const std::string& path, bool rootToo);

}  // namespace ostra
