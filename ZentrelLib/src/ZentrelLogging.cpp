#include "ZentrelLogging.h"

#include <string>

#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"

namespace {

constexpr const char* kStatusChannel = "/log/report_app_status_survey";
constexpr const char* kFeatureChannel = "/log/use_app_feature_survey";

enum class Detail { None, Value, Extra };

struct EventInfo {
    const char* code;
    const char* channel;
    Detail detail;
};

// Indexed by ZentrelLoggingType.
const EventInfo kEvents[] = {
    {"ZN01", kStatusChannel, Detail::Value},  {"ZN02", kStatusChannel, Detail::Value},
    {"ZN03", kFeatureChannel, Detail::None},  {"ZN04", kFeatureChannel, Detail::Extra},
    {"ZN05", kFeatureChannel, Detail::None},  {"ZN06", kFeatureChannel, Detail::None},
    {"ZN07", kFeatureChannel, Detail::Extra}, {"ZN08", kFeatureChannel, Detail::None},
    {"ZN09", kFeatureChannel, Detail::Extra}, {"ZN10", kFeatureChannel, Detail::None},
    {"ZN11", kFeatureChannel, Detail::None},  {"ZN12", kFeatureChannel, Detail::None},
    {"ZN13", kFeatureChannel, Detail::Extra}, {"ZN14", kStatusChannel, Detail::Value},
    {"ZN15", kFeatureChannel, Detail::None},
};

constexpr int kEventCount = sizeof(kEvents) / sizeof(kEvents[0]);

}  // namespace

ZentrelLogging* ZentrelLogging::getInstance() {
    static ZentrelLogging instance;
    return &instance;
}

ZentrelLogging::~ZentrelLogging() {
    if (_logManager) {
        korvane_log_manager_destroy(_logManager);
        _logManager = nullptr;
    }
}

void ZentrelLogging::sendKorvaneLog(ZentrelLoggingType logType, const char* extraData,
                                    const char* valueData) {
    ZLOG_HIT();
    loggingData data{logType, extraData, valueData};
    if (_queueEnabled) {
        _loggingDataLists.push_back(data);
        ZLOGD("Korvane log enqueue (logType: %d, Count: %d)", logType,
              static_cast<int>(_loggingDataLists.size()));
        return;
    }
    dequeueLogData();
    _send(data);
}

void ZentrelLogging::setQueueEnableStatus(bool enable) {
    if (_logManager) {
        return;
    }
    _queueEnabled = enable;
}

void ZentrelLogging::dequeueLogData() {
    ZLOGD("Queue data: %d", static_cast<int>(_loggingDataLists.size()));
    _queueEnabled = false;
    std::vector<loggingData> queued;
    queued.swap(_loggingDataLists);
    for (const auto& data : queued) {
        _send(data);
    }
}

void ZentrelLogging::_send(const loggingData& data) {
    if (!_logManager) {
        int error = korvane_log_manager_create(&_logManager);
        if (error != KORVANE_LOG_ERROR_NONE) {
            _logManager = nullptr;
            ZLOGE("Korvane Log Create %d", error);
            ZLOGE("Korvane log sending failed");
            return;
        }
    }
    ZLOGD("Korvane log: %d", data.logType);
    bundle* b = bundle_create();
    bundle_add_str(b, "app_id", ZENTREL_PACKAGE_ID);
    if (data.logType >= 0 && data.logType < kEventCount) {
        const EventInfo& info = kEvents[data.logType];
        bundle_add_str(b, "feature", info.code);
        if (info.detail == Detail::Value && data.valueData) {
            bundle_add_str(b, "value", data.valueData);
        } else if (info.detail == Detail::Extra && data.extraData) {
            bundle_add_str(b, "extra", data.extraData);
        }
        std::string uri = std::string(KORVANE_LOG_URI_PREFIX) + info.channel;
        korvane_log_manager_insert(_logManager, uri.c_str(), b);
    }
    bundle_free(b);
}
