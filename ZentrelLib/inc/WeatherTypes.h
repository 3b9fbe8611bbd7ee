// Enumerations shared by the weather providers, parsers and their users.
#pragma once

enum WEATHER_CP_TYPE {
    WEATHER_CP_TYPE_INVALID = -1,
    WEATHER_CP_TYPE_ACCUWEATHER = 0,
    WEATHER_CP_TYPE_TWC = 1,
    WEATHER_CP_TYPE_WEATHERNEWS = 2,
    WEATHER_CP_TYPE_HUAFENGACCU = 3,
    // Keyless source, used where no contracted provider can be reached.
    WEATHER_CP_TYPE_OPENMETEO = 4,
};

enum WEATHER_INFO_TYPE {
    WEATHER_INFO_TYPE_INVALID = -1,
    WEATHER_INFO_TYPE_CURRENT_CONDITION = 0,
    WEATHER_INFO_TYPE_FORECAST = 1,
};

enum ATM_PRESSURE_UNIT_TYPE {
    ATM_PRESSURE_UNIT_TYPE_INVALID = -1,
    ATM_PRESSURE_UNIT_TYPE_MB = 0,
    ATM_PRESSURE_UNIT_TYPE_IN_HG = 1,
};
