// Entry points for the fuzz targets: each takes arbitrary bytes and must
// neither crash nor leak, whatever they are. scripts/fuzz.sh runs them under
// libFuzzer; the corpus replay test runs the seed corpus through them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// The four weather parsers and the China location key.
int WeatherParsers(const uint8_t* data, size_t size);
// The text helpers; the first bytes choose precision and split the rest.
int StringUtilText(const uint8_t* data, size_t size);
// The stored sea-level pressure history string, read back by the list.
int SlpHistory(const uint8_t* data, size_t size);
// Bundles built, copied, read and emptied from key/value pairs.
int Bundle(const uint8_t* data, size_t size);
// A launch request as it comes off the socket, decoded.
int LaunchWire(const uint8_t* data, size_t size);
// A backup file read as a record list, and each record's value (and the
// bytes themselves) restored as the settings value.
int BackupRecord(const uint8_t* data, size_t size);
// The update check's answer file.
int UpdateAnswer(const uint8_t* data, size_t size);

}  // namespace fuzz
