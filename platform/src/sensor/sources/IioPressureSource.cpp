#include "IioPressureSource.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "PlatformLog.h"

namespace ostra {

namespace {

enum class FileState { Ok, Missing, Garbage };

FileState readNumber(const std::string& path, double* value) {
    std::string text;
    if (!readFirstLine(path, &text)) {
        return FileState::Missing;
    }
    while (!text.empty() && isspace(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    if (text.empty()) {
        return FileState::Garbage;
    }
    char* end = nullptr;
    errno = 0;
    double parsed = strtod(text.c_str(), &end);
    if (errno != 0 || !end || *end != '\0' || !std::isfinite(parsed)) {
        return FileState::Garbage;
    }
    *value = parsed;
    return FileState::Ok;
}

bool fileExists(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::string IioPressureSource::devicesRoot() {
    const char* root = getenv("OSTRA_IIO_ROOT");
    return root && *root ? root : "/sys/bus/iio/devices";
}

std::unique_ptr<IioPressureSource> IioPressureSource::find() {
    std::string root = devicesRoot();
    DIR* dir = opendir(root.c_str());
    if (!dir) {
        return nullptr;
    }
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        std::string device = root + "/" + name;
        if (fileExists(device + "/in_pressure_input") ||
            (fileExists(device + "/in_pressure_raw") &&
             fileExists(device + "/in_pressure_scale"))) {
            return std::make_unique<IioPressureSource>(device);
        }
    }
    return nullptr;
}

IioPressureSource::IioPressureSource(std::string deviceDir) : _dir(std::move(deviceDir)) {
    if (!readFirstLine(_dir + "/name", &_name) || _name.empty()) {
        _name = "unnamed";
    }
}

bool IioPressureSource::_readKpa(double* kPa) {
    double input = 0.0;
    FileState state = readNumber(_dir + "/in_pressure_input", &input);
    if (state == FileState::Ok) {
        *kPa = input;
        return true;
    }
    if (state == FileState::Garbage) {
        if (!_failing) {
            OSTRA_LOGW("iio %s: in_pressure_input holds no number, reading skipped", _dir.c_str());
        }
        return false;
    }
    double raw = 0.0;
    double scale = 0.0;
    double offset = 0.0;
    FileState rawState = readNumber(_dir + "/in_pressure_raw", &raw);
    FileState scaleState = readNumber(_dir + "/in_pressure_scale", &scale);
    FileState offsetState = readNumber(_dir + "/in_pressure_offset", &offset);
    if (rawState != FileState::Ok || scaleState != FileState::Ok ||
        offsetState == FileState::Garbage) {
        if (!_failing) {
            OSTRA_LOGW("iio %s: pressure files missing or unreadable, reading skipped",
                       _dir.c_str());
        }
        return false;
    }
    *kPa = (raw + offset) * scale;
    return true;
}

bool IioPressureSource::read(PressureReading* out) {
    double kPa = 0.0;
    bool ok = _readKpa(&kPa) && std::isfinite(kPa * 10.0);
    if (!ok) {
        // One line per failure streak: a vanished device must not flood the log.
        _failing = true;
        return false;
    }
    if (_failing) {
        OSTRA_LOGI("iio %s: readings are back", _dir.c_str());
        _failing = false;
    }
    out->hPa = kPa * 10.0;
    out->working = true;
    return true;
}

std::string IioPressureSource::describe() const {
    return "iio:" + _dir + " (" + _name + ")";
}

}  // namespace ostra
