// System keys holding what the weather agent answers (set by ostractl).
#pragma once

#define WEATHER_AGENT_KEY_MODE "db/ostra/weather_agent/mode"
#define WEATHER_AGENT_KEY_PRESSURE "db/ostra/weather_agent/pressure"
#define WEATHER_AGENT_KEY_TEMPERATURE "db/ostra/weather_agent/temperature"
#define WEATHER_AGENT_KEY_AGE "db/ostra/weather_agent/age"
// The pressure an agent sends for a place without sea-level pressure.
#define WEATHER_AGENT_NO_SLP 9999.0
