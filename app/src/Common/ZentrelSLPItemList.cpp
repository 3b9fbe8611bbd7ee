#include "ZentrelSLPItemList.h"

#include <ostra/app_preference.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "StringUtil.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"

namespace {
constexpr int64_t kSixHours = 21600;
// The store keeps one change callback per key: the list that registered last.
ZentrelSLPItemList* gWatchingList = nullptr;
}  // namespace

ZentrelSLPItemList::ZentrelSLPItemList() {
    _initHistoryList();
    removeHistory(static_cast<int64_t>(time(nullptr)));
    if (preference_set_changed_cb(ZENTREL_DATA_SEE_LEVEL_HISTORY, _seeLevelHistoryPreferenceCb,
                                  this) == PREFERENCE_ERROR_NONE) {
        gWatchingList = this;
    }
}

ZentrelSLPItemList::~ZentrelSLPItemList() {
    // A list that replaced this one keeps its callback.
    if (gWatchingList == this) {
        preference_unset_changed_cb(ZENTREL_DATA_SEE_LEVEL_HISTORY);
        gWatchingList = nullptr;
    }
}

void ZentrelSLPItemList::_seeLevelHistoryPreferenceCb(const char*, void* userData) {
    auto* self = static_cast<ZentrelSLPItemList*>(userData);
    if (!self) {
        ZLOGE("no context");
        return;
    }
    self->_initHistoryList();
    self->removeHistory(static_cast<int64_t>(time(nullptr)));
}

void ZentrelSLPItemList::_clearHistoryList() {
    ZLOGW("Clear history");
    _vector.clear();
    ZentrelStorageMgr::getInstance()->saveDataSLPHistory("");
}

void ZentrelSLPItemList::_initHistoryList() {
    _vector.clear();
    char* stored = ZentrelStorageMgr::getInstance()->getDataSLPHistory();
    std::string history = stored ? stored : "";
    free(stored);
    if (history.empty()) {
        ZLOGE("History is empty");
        return;
    }
    long tCount = std::count(history.begin(), history.end(), 'T');
    long colonCount = std::count(history.begin(), history.end(), ':');
    long plusCount = std::count(history.begin(), history.end(), '+');
    long semicolonCount = std::count(history.begin(), history.end(), ';');
    if (tCount != colonCount || colonCount != plusCount || plusCount != semicolonCount) {
        ZLOGE("Tag count is invalid (%ld,%ld,%ld,%ld)", tCount, colonCount, plusCount,
              semicolonCount);
        _clearHistoryList();
        return;
    }
    ZLOGD("Init history (Length:%d)", static_cast<int>(history.size()));
    size_t position = 0;
    size_t colon;
    while ((colon = history.find(':', position)) != std::string::npos) {
        size_t semicolon = history.find(';', colon);
        std::string timeText = history.substr(colon + 1, semicolon - colon - 1);
        // The time must be a whole decimal number, like the SLP must be one.
        char* end = nullptr;
        errno = 0;
        long long time = strtoll(timeText.c_str(), &end, 10);
        if (timeText.empty() || errno != 0 || *end != '\0') {
            ZLOGE("Non-number character is found [%s][%d]", timeText.c_str(),
                  static_cast<int>(colon));
            _clearHistoryList();
            return;
        }
        ZLOGD("Time (%lld)", time);
        size_t plus = history.find('+', colon);
        if (plus == std::string::npos) {
            ZLOGE("Parsing Error");
            _clearHistoryList();
            return;
        }
        size_t next = history.find('T', plus);
        std::string slpText = history.substr(
            plus + 1, next == std::string::npos ? std::string::npos : next - plus - 1);
        if (!StringUtil::IsValidDoubleType(slpText)) {
            ZLOGE("Non-number character is found [%s][%d]", slpText.c_str(),
                  static_cast<int>(plus));
            _clearHistoryList();
            return;
        }
        double slp = StringUtil::StringToDouble(slpText);
        ZLOGD("Pressure (%lf)", slp);
        _vector.push_back(ZentrelSLPItem{time, slp});
        if (next == std::string::npos) {
            break;
        }
        position = next;
    }
}

std::string ZentrelSLPItemList::_toHistoryString(const std::vector<ZentrelSLPItem>& items) {
    std::string text;
    for (const auto& item : items) {
        char entry[96];
        snprintf(entry, sizeof(entry), "T:%lld;P+%f", static_cast<long long>(item._time),
                 item._seeLevelPressure);
        text += entry;
    }
    return text;
}

void ZentrelSLPItemList::removeHistory(int64_t now) {
    if (_vector.empty()) {
        ZLOGE("_List is Empty");
        return;
    }
    if (_vector.size() == 1) {
        ZLOGD("Only One History do not Remove");
        return;
    }
    ZLOGD("Remove history (%d)", static_cast<int>(_vector.size()));
    ZLOGD("Remove SLP List");
    const int64_t limit = now - kSixHours;
    std::string before = _toHistoryString(_vector);
    bool removed = false;
    while (_vector.size() >= 2) {
        const int64_t first = _vector[0]._time;
        const int64_t second = _vector[1]._time;
        ZLOGD("First %lld / Second %lld / limit %lld", static_cast<long long>(first),
              static_cast<long long>(second), static_cast<long long>(limit));
        if (std::max(first, second) >= limit) {
            ZLOGD("Removed ALL Unused Items");
            break;
        }
        _vector.erase(_vector.begin());
        removed = true;
    }
    if (removed) {
        std::string after = _toHistoryString(_vector);
        ZLOGI("OLD HISTORY: %s", before.c_str());
        ZentrelStorageMgr::getInstance()->saveDataSLPHistory(after);
        ZLOGI("NEW HISTORY: %s", after.c_str());
    }
}

double ZentrelSLPItemList::getDynamicSLP(int64_t time) const {
    for (auto it = _vector.rbegin(); it != _vector.rend(); ++it) {
        if (it->_time <= time) {
            return it->_seeLevelPressure;
        }
    }
    return ZentrelStorageMgr::getInstance()->getDefaultSLP();
}
