#include "CairoFunctions.h"

#include "ostra/library_loader.h"

namespace {

const CairoFunctions* load() {
    void* library = ostra_library_open(ZENTREL_CAIRO_SONAME);
    if (!library) {
        return nullptr;
    }
    static CairoFunctions functions;
    bool ok = true;
#define ZENTREL_CAIRO_RESOLVE(name) \
    ok = ok && ostra::librarySymbol(library, ZENTREL_CAIRO_SONAME, "cairo_" #name, &functions.name);
    ZENTREL_CAIRO_FUNCTIONS(ZENTREL_CAIRO_RESOLVE)
#undef ZENTREL_CAIRO_RESOLVE
    return ok ? &functions : nullptr;
}

}  // namespace

const CairoFunctions* cairoFunctions() {
    return ostra::loadedOnce(load);
}
