// The sea-level pressure references of the last six hours (and the newest one
// before them), read from the stored history; follows every change of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ZentrelSLPItem.h"

class ZentrelSLPItemList {
  public:
    ZentrelSLPItemList();
    virtual ~ZentrelSLPItemList();

    // The SLP in force at time; the default SLP when none was.
    double getDynamicSLP(int64_t time) const;
    void removeHistory(int64_t now);

    size_t getCount() const { return _vector.size(); }
    const ZentrelSLPItem& getItem(size_t index) const { return _vector.at(index); }

  private:
    ZentrelSLPItemList(const ZentrelSLPItemList&) = delete;
    ZentrelSLPItemList& operator=(const ZentrelSLPItemList&) = delete;

    void _initHistoryList();
    void _clearHistoryList();
    static std::string _toHistoryString(const std::vector<ZentrelSLPItem>& items);
    static void _seeLevelHistoryPreferenceCb(const char* key, void* userData);

    std::vector<ZentrelSLPItem> _vector;
};
