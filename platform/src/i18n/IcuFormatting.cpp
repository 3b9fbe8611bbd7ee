#include "IcuFormatting.h"

#include "ostra/library_loader.h"

// ICU's headers rename each function after the library's version
// (unum_open is unum_open_72); the string of the renamed name is the symbol.
#define OSTRA_ICU_SYMBOL_TEXT(name) #name
#define OSTRA_ICU_SYMBOL(name) OSTRA_ICU_SYMBOL_TEXT(name)

namespace ostra {

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function* out) {
    return librarySymbol(library, OSTRA_ICU_I18N_SONAME, name, out);
}

const IcuFormatting* load() {
    void* library = ostra_library_open(OSTRA_ICU_I18N_SONAME);
    if (!library) {
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
    return loadedOnce(load);
}

}  // namespace ostra
