#include "StormLauncher.h"

#include <vector>

#include "PlatformLog.h"
#include "ostra/app_control.h"

StormLauncher::StormLauncher(ostra::RecorderStore* store, std::string alertAppId)
    : _store(store), _alertAppId(std::move(alertAppId)), _watch(ostra::StormWatch::load()) {}

void StormLauncher::check(long long now) {
    std::vector<ostra::RecorderBucket> buckets;
    if (!_store->query(now - ostra::StormWatch::kLookbackSeconds, now, &buckets)) {
        return;
    }
    const bool wasArmed = _watch.state().armed;
    const bool alert = _watch.decide(buckets, now);
    ostra::StormWatch::save(_watch.state());
    if (alert) {
        _launch(_watch.state().drop);
    } else if (!wasArmed && _watch.state().armed) {
        OSTRA_LOGI("storm watch: the fall has ended, armed again");
    }
}

void StormLauncher::_launch(double drop) {
    OSTRA_LOGI("storm watch: pressure fell %.2f hPa within 3 hours, launching %s", drop,
               _alertAppId.c_str());
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_operation(request, APP_CONTROL_OPERATION_DEFAULT);
    app_control_set_app_id(request, _alertAppId.c_str());
    int rc = app_control_send_launch_request(request, nullptr, nullptr);
    if (rc != APP_CONTROL_ERROR_NONE) {
        OSTRA_LOGE("storm watch: %s cannot be launched (%d)", _alertAppId.c_str(), rc);
    }
    app_control_destroy(request);
}
