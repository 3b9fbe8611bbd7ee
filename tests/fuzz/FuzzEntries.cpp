#include "FuzzEntries.h"

#include <glib.h>
#include <ostra/bundle.h>
#include <ostra/dlog.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "AppControlWire.h"
#include "CloudRecordList.h"
#include "StringUtil.h"
#include "WeatherHuafengAccuParser.h"
#include "WeatherNewsParser.h"
#include "WeatherOpenMeteoParser.h"
#include "WeatherTwcParser.h"
#include "ZentrelBackupValue.h"
#include "ZentrelSLPItemList.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelUpdater.h"

namespace {

// Quiet logs (they would cost most of the time) and a private store.
void Setup() {
    static const bool done = [] {
        ostra_log_set_level(DLOG_SILENT);
        if (!getenv("OSTRA_ROOT")) {
            char* root = g_dir_make_tmp("zentrel-fuzz-XXXXXX", nullptr);
            setenv("OSTRA_ROOT", root, 1);
            g_free(root);
        }
        return true;
    }();
    (void)done;
}

template <typename Parser>
void ParseOnce(std::string body) {
    Parser parser;
    parser.Parse(body.data(), static_cast<int>(body.size()));
    parser.GetCpWeatherData();
    parser.ReleaseParseData();
}

// Splits the bytes at NUL into texts.
std::vector<std::string> Split(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    return parts;
}

}  // namespace

namespace fuzz {

int WeatherParsers(const uint8_t* data, size_t size) {
    Setup();
    std::string body(reinterpret_cast<const char*>(data), size);
    ParseOnce<WeatherTwcParser>(body);
    ParseOnce<WeatherNewsParser>(body);
    ParseOnce<WeatherHuafengAccuParser>(body);
    ParseOnce<WeatherOpenMeteoParser>(body);
    WeatherHuafengAccuParser keyParser;
    keyParser.GetLocationKey(body.data(), static_cast<int>(body.size()));
    return 0;
}

int StringUtilText(const uint8_t* data, size_t size) {
    Setup();
    int precision = 0;
    double value = 0;
    if (size < sizeof(precision) + sizeof(value)) {
        return 0;
    }
    memcpy(&precision, data, sizeof(precision));
    memcpy(&value, data + sizeof(precision), sizeof(value));
    StringUtil::DoubleToString(value, precision);
    size_t head = sizeof(precision) + sizeof(value);
    std::vector<std::string> parts = Split(data + head, size - head);
    parts.resize(3);
    StringUtil::StringReplace(parts[0], parts[1], parts[2]);
    StringUtil::IsValidDoubleType(parts[0]);
    StringUtil::IsValidIntegerType(parts[0]);
    StringUtil::StringToDouble(parts[0]);
    StringUtil::GetColorTagedString(data[0], data[1], data[2], data[3], precision, parts[1],
                                    parts[2]);
    return 0;
}

int SlpHistory(const uint8_t* data, size_t size) {
    Setup();
    std::vector<std::string> parts = Split(data, size);
    ZentrelStorageMgr::getInstance()->saveDataSLPHistory(parts[0]);
    ZentrelSLPItemList list;
    list.getDynamicSLP(list.getCount() > 0 ? 0 : 1);
    return 0;
}

int Bundle(const uint8_t* data, size_t size) {
    Setup();
    std::vector<std::string> parts = Split(data, size);
    bundle* b = bundle_create();
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        bundle_add_str(b, parts[i].c_str(), parts[i + 1].c_str());
    }
    bundle* copy = bundle_dup(b);
    for (const auto& key : parts) {
        char* value = nullptr;
        bundle_get_str(copy, key.c_str(), &value);
        bundle_del(copy, key.c_str());
    }
    bundle_iterate(
        b, [](const char*, const char*, void*) {}, nullptr);
    bundle_get_count(b);
    bundle_free(copy);
    bundle_free(b);
    return 0;
}

int LaunchWire(const uint8_t* data, size_t size) {
    Setup();
    GBytes* bytes = g_bytes_new(data, size);
    GVariant* variant =
        g_variant_ref_sink(g_variant_new_from_bytes(ostra::requestVariantType(), bytes, FALSE));
    g_bytes_unref(bytes);
    app_control_s control;
    if (ostra::decodeAppControl(variant, &control)) {
        // What was decoded must encode again.
        GVariant* again = g_variant_ref_sink(ostra::encodeAppControl(control));
        g_variant_unref(again);
    }
    g_variant_unref(variant);
    return 0;
}

int BackupRecord(const uint8_t* data, size_t size) {
    Setup();
    korvane_cloud_list_s list;
    std::string error;
    if (ostra::CloudRecordList::readText(reinterpret_cast<const char*>(data), size, &list,
                                         &error)) {
        for (const auto& record : list.records) {
            if (record->value) {
                ZentrelBackupValue::apply(record->value->c_str());
            }
        }
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    ZentrelBackupValue::apply(text.c_str());
    return 0;
}

int UpdateAnswer(const uint8_t* data, size_t size) {
    Setup();
    static const std::string path = std::string(getenv("OSTRA_ROOT")) + "/update-answer.xml";
    if (!g_file_set_contents(path.c_str(), reinterpret_cast<const char*>(data),
                             static_cast<gssize>(size), nullptr)) {
        return 0;
    }
    ZentrelUpdater::_isUpdateAvailable(path);
    return 0;
}

}  // namespace fuzz
