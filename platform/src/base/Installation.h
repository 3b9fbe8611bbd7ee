// Where the running libostra comes from: the build tree that built it, or an
// installed tree found from the library's own location, so an installed copy
// finds its programs, resources and launch registry under whatever prefix it
// was installed to (cmake --install --prefix, a package).
#pragma once

#include <string>

namespace ostra {

class Installation {
  public:
    // True when this libostra is the build tree's own (or its place is unknown).
    static bool inBuildTree();
    // <prefix>/<relative> of the installed tree this libostra belongs to.
    static std::string path(const std::string& relative);

  private:
    static const std::string& libraryDir();
};

}  // namespace ostra
