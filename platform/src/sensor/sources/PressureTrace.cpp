#include "PressureTrace.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>

#include "PlatformLog.h"

namespace ostra {

namespace {

std::string trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool parseNumber(const std::string& field, double* value) {
    std::string text = trim(field);
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    *value = strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(*value);
}

}  // namespace

bool PressureTrace::parseLine(const std::string& line, TraceRow* row) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() < 2 || fields.size() > 3) {
        return false;
    }
    TraceRow parsed;
    if (!parseNumber(fields[0], &parsed.offset) || !parseNumber(fields[1], &parsed.hPa) ||
        parsed.offset < 0.0 || parsed.hPa < 0.0) {
        return false;
    }
    if (fields.size() == 3) {
        std::string flag = trim(fields[2]);
        if (flag == "1" || flag == "true") {
            parsed.working = true;
        } else if (flag == "0" || flag == "false") {
            parsed.working = false;
        } else {
            return false;
        }
    }
    *row = parsed;
    return true;
}

bool PressureTrace::load(const std::string& path, std::vector<TraceRow>* rows) {
    std::ifstream in(path);
    if (!in) {
        OSTRA_LOGE("pressure trace %s cannot be read", path.c_str());
        return false;
    }
    rows->clear();
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string text = trim(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        TraceRow row;
        if (parseLine(text, &row)) {
            rows->push_back(row);
        } else if (number == 1 && !isdigit(static_cast<unsigned char>(text[0]))) {
            continue;
        } else {
            OSTRA_LOGW("pressure trace %s line %d is malformed, skipped", path.c_str(), number);
        }
    }
    return true;
}

std::vector<RecorderBucket> PressureTrace::toBuckets(const std::vector<TraceRow>& rows,
                                                     long long endTime) {
    double last = 0.0;
    for (const auto& row : rows) {
        last = std::max(last, row.offset);
    }
    std::map<long long, std::pair<double, int>> sums;
    for (const auto& row : rows) {
        if (!row.working) {
            continue;
        }
        long long t = endTime - static_cast<long long>(std::llround(last - row.offset));
        auto& sum = sums[RecorderStore::bucketStart(t)];
        sum.first += row.hPa;
        sum.second += 1;
    }
    std::vector<RecorderBucket> buckets;
    for (const auto& entry : sums) {
        RecorderBucket bucket;
        bucket.start = entry.first;
        bucket.hPa = entry.second.first / entry.second.second;
        bucket.samples = entry.second.second;
        buckets.push_back(bucket);
    }
    return buckets;
}

}  // namespace ostra
