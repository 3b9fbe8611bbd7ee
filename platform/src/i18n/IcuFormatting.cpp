#include "IcuFormatting.h"

#include <dlfcn.h>

#include <mutex>

#include "PlatformLog.h"

// ICU's headers rename each function after the library's version
// (unum_open is unum_open_72); the string of the renamed name is the symbol.
#define OSTRA_ICU_SYMBOL_TEXT(name) #name
#define OSTRA_ICU_SYMBOL(name) OSTRA_ICU_SYMBOL_TEXT(name)

namespace ostra {

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function* out) {
    *out = reinterpret_cast<Function>(dlsym(library, name));
    if (!*out) {
        OSTRA_LOGE("%s has no %s", OSTRA_ICU_I18N_SONAME, name);
    }
    return *out != nullptr;
}

const IcuFormatting* load() {
    // Kept loaded for the life of the process: formatters outlive any caller.
    void* library = dlopen(OSTRA_ICU_I18N_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        OSTRA_LOGE("cannot load %s: %s", OSTRA_ICU_I18N_SONAME, dlerror());
        return nullptr;
    }
    static IcuFormatting api;
    bool ok = resolve(library, OSTRA_ICU_SYMBOL(unum_open), &api.numberOpen) &&
              resolve(library, OSTRA_ICU_SYMBOL(unum_close), &api.numberClose) &&
              resolve(library, OSTRA_ICU_SYMBOL(unum_setAttribute), &api.numberSetAttribute) &&
              resolve(library, OSTRA_ICU_SYMBOL(unum_format), &api.numberFormat) &&
              resolve(library, OSTRA_ICU_SYMBOL(unum_formatDouble), &api.numberFormatDouble) &&
              resolve(library, OSTRA_ICU_SYMBOL(udatpg_open), &api.patternsOpen) &&
              resolve(library, OSTRA_ICU_SYMBOL(udatpg_getBestPattern), &api.patternsBest) &&
              resolve(library, OSTRA_ICU_SYMBOL(udatpg_close), &api.patternsClose) &&
              resolve(library, OSTRA_ICU_SYMBOL(udat_open), &api.dateOpen) &&
              resolve(library, OSTRA_ICU_SYMBOL(udat_format), &api.dateFormat) &&
              resolve(library, OSTRA_ICU_SYMBOL(udat_close), &api.dateClose);
    return ok ? &api : nullptr;
}

}  // namespace

const IcuFormatting* icuFormatting() {
    static std::once_flag once;
    static const IcuFormatting* api = nullptr;
    std::call_once(once, [] { api = load(); });
    return api;
}

}  // namespace ostra
