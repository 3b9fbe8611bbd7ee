// Anonymous usage events, held in a queue while the main program starts.
#pragma once

#include <ostra/korvane_log.h>

#include <vector>

// A fixed underlying type: callers may pass any int, and the sender must reject
// values outside the table rather than misbehave.
enum ZentrelLoggingType : int {
    STATE_MANUAL_CALIBRATION = 0,
    STATE_SET_SUDDEN_WEATHER_CHANGES,
    SET_CALIBRATION,
    LAUNCH_PATH,
    PRESSURE_ALERT,
    DELETE_PRESSURE_ALERT,
    HELP_LIST,
    ENTER_MANUAL_VIA_SETTING,
    SET_MANUAL_INFO,
    SET_REFERENCE,
    HELP_LIST_VIA_SETTING,
    HELP_LIST_VIA_ICON,
    SETTINGS_AUTO_REFRESH,
    SETTINGS_AUTO_REFRESH_STATUS,
    REQUEST_WEATHER_INFO,
};

// A queued event keeps the caller's pointers: callers pass literals or
// strings that outlive the queue.
struct loggingData {
    ZentrelLoggingType logType;
    const char* extraData;
    const char* valueData;
};

class ZentrelLogging {
  public:
    static ZentrelLogging* getInstance();

    void sendKorvaneLog(ZentrelLoggingType logType, const char* extraData, const char* valueData);
    void setQueueEnableStatus(bool enable);
    void dequeueLogData();

  protected:
    ZentrelLogging() = default;
    virtual ~ZentrelLogging();

  private:
    ZentrelLogging(const ZentrelLogging&) = delete;
    ZentrelLogging& operator=(const ZentrelLogging&) = delete;

    void _send(const loggingData& data);

    korvane_log_manager_h _logManager = nullptr;
    bool _queueEnabled = false;
    std::vector<loggingData> _loggingDataLists;
};
