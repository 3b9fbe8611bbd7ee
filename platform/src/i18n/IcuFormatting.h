// ICU's formatting library (libicui18n), loaded on the first number or date
// a program formats. It is the dearest of the platform's libraries to load
// (about 1.7 ms of every start); nothing before a program's first frame
// formats a number, so the first frame no longer waits for it. ICU's common
// library, which locale names and text direction need, stays linked.
#pragma once

#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/unum.h>

#include <string>

namespace ostra {

// The text an ICU function writes into the buffer it is given (returning its
// length, and U_BUFFER_OVERFLOW_ERROR when the buffer was short), tried a
// second time with the length it asked for; "" with *status set on failure.
template <typename Fill>
std::u16string icuText(Fill fill, UErrorCode* status) {
    std::u16string text(64, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        *status = U_ZERO_ERROR;
        int32_t length = fill(text.data(), static_cast<int32_t>(text.size()), status);
        if (*status != U_BUFFER_OVERFLOW_ERROR) {
            text.resize(U_SUCCESS(*status) ? static_cast<size_t>(length) : 0);
            return text;
        }
        text.assign(static_cast<size_t>(length) + 1, u'\0');
    }
    return std::u16string();
}

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

    // The generator's best pattern for a skeleton; "" with *status set on failure.
    std::u16string bestPattern(UDateTimePatternGenerator* generator, const std::u16string& skeleton,
                               UErrorCode* status) const {
        return icuText(
            [&](UChar* buffer, int32_t capacity, UErrorCode* error) {
                return patternsBest(generator, skeleton.data(),
                                    static_cast<int32_t>(skeleton.size()), buffer, capacity, error);
            },
            status);
    }
};

// The functions, or null (logged once) when the library cannot be loaded.
const IcuFormatting* icuFormatting();

}  // namespace ostra
