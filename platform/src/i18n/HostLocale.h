// The host's locale as the platform's region settings see it.
#pragma once

#include <string>

namespace ostra {

// LC_ALL, else LANG; "" when neither names a real locale (unset, C, POSIX).
std::string hostLocaleName();
// The ICU locale id of a POSIX locale name: "en_US.UTF-8@euro" gives "en_US".
std::string icuLocaleId(const std::string& posixName);
// The territory of the host locale ("US" for en_US.UTF-8), or "".
std::string hostCountry();
// True when the locale's preferred clock is the 12-hour one.
bool localeUses12Hour(const std::string& posixName);

}  // namespace ostra
