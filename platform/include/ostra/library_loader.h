/* Libraries a program loads on first use, by their SONAME, instead of
 * linking them: each one linked costs every start of every program. */
#ifndef OSTRA_LIBRARY_LOADER_H
#define OSTRA_LIBRARY_LOADER_H

#ifdef __cplusplus
extern "C" {
#endif

/* The library, loaded for the life of the process (its symbols stay out of
 * the global scope); NULL, logged, when it cannot be loaded. */
void* ostra_library_open(const char* soname);
/* The named symbol of a library opened above; NULL, logged, when missing. */
void* ostra_library_symbol(void* library, const char* soname, const char* name);

#ifdef __cplusplus
}

#include <mutex>

namespace ostra {

// The function table load() fills, loaded on the first call of the process
// (once, also when threads race to it); null when load() failed. One table
// per type.
template <typename Api>
const Api* loadedOnce(const Api* (*load)()) {
    static std::once_flag once;
    static const Api* api = nullptr;
    std::call_once(once, [load] { api = load(); });
    return api;
}

// A function or variable of the library, typed; false (logged) when missing.
template <typename Symbol>
bool librarySymbol(void* library, const char* soname, const char* name, Symbol* out) {
    *out = reinterpret_cast<Symbol>(ostra_library_symbol(library, soname, name));
    return *out != nullptr;
}

}  // namespace ostra
#endif

#endif
