// The host's locale as the platform's region settings see it.
#pragma once

#include <unicode/udatpg.h>

#include <string>

namespace ostra {

struct IcuFormatting;

// LC_ALL, else LANG; "" when neither names a real locale (unset, C, POSIX).
std::string hostLocaleName();
// The ICU locale id of a POSIX locale name: "en_US.UTF-8@euro" gives "en_US".
std::string icuLocaleId(const std::string& posixName);
// The territory of the host locale ("US" for en_US.UTF-8), or "".
std::string hostCountry();
// True when the locale's preferred clock is the 12-hour one.
bool localeUses12Hour(const std::string& posixName);
// The generator's best pattern for a skeleton; "" with *status set on failure.
std::u16string bestPattern(const IcuFormatting& icu, UDateTimePatternGenerator* generator,
                           const std::u16string& skeleton, UErrorCode* status);

}  // namespace ostra
