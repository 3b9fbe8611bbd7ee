// Where the sample screens find their theme.
#pragma once

#include <string>

namespace sample {

std::string themePath();

}  // namespace sample
