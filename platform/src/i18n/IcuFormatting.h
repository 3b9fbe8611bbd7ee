// ICU's formatting library (libicui18n), loaded on the first number or date
// a program formats. It is the dearest of the platform's libraries to load
// (about 1.7 ms of every start); nothing before a program's first frame
// formats a number, so the first frame no longer waits for it. ICU's common
// library, which locale names and text direction need, stays linked.
#pragma once

#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/unum.h>

namespace ostra {

struct IcuFormatting {
    decltype(&unum_open) numberOpen;
    decltype(&unum_close) numberClose;
    decltype(&unum_setAttribute) numberSetAttribute;
    decltype(&unum_format) numberFormat;
    decltype(&unum_formatDouble) numberFormatDouble;
    decltype(&udatpg_open) patternsOpen;
    decltype(&udatpg_getBestPattern) patternsBest;
    decltype(&udatpg_close) patternsClose;
    decltype(&udat_open) dateOpen;
    decltype(&udat_format) dateFormat;
    decltype(&udat_close) dateClose;
};

// The functions, or null (logged once) when the library cannot be loaded.
const IcuFormatting* icuFormatting();

}  // namespace ostra
