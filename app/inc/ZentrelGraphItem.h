// One point of the six-hour graph window.
#pragma once

#include <cstdint>

struct ZentrelGraphItem {
    int64_t _itemTime = 0;      // seconds since the epoch
    int32_t _itemAlti = -9900;  // metres, truncated; -9900 marks no data
    int32_t _itemBaro = 0;      // hPa, truncated; 0 marks no data
};
