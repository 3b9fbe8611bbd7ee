#include "ostra/library_loader.h"

#include <dlfcn.h>

#include "PlatformLog.h"

extern "C" void* ostra_library_open(const char* soname) {
    // Never closed: what the library hands out may outlive any caller.
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        OSTRA_LOGE("cannot load %s: %s", soname, dlerror());
    }
    return library;
}

extern "C" void* ostra_library_symbol(void* library, const char* soname, const char* name) {
    void* symbol = dlsym(library, name);
    if (!symbol) {
        OSTRA_LOGE("%s has no %s", soname, name);
    }
    return symbol;
}
