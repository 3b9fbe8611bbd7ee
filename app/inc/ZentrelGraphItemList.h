// The graph window: 180 points 120 seconds apart, oldest first, with the
// running limits of altitude and pressure over the points that hold data.
#pragma once

#include <cstdint>
#include <vector>

#include "ZentrelGraphItem.h"

class ZentrelGraphItemList {
  public:
    static constexpr int GRAPH_PERIOD = 120;
    static constexpr int32_t DEFAULT_ALTI_MIN = 9900;
    static constexpr int32_t DEFAULT_ALTI_MAX = -9900;
    static constexpr int32_t DEFAULT_BARO_MIN = 1400;
    static constexpr int32_t DEFAULT_BARO_MAX = 0;

    ZentrelGraphItemList() = default;
    virtual ~ZentrelGraphItemList() = default;

    void appendItem(const ZentrelGraphItem& item);
    // Null when index is past the end.
    const ZentrelGraphItem* getItem(unsigned int index) const;
    unsigned int getCount() const;
    // Only on a non-empty list.
    const ZentrelGraphItem& getLastItem() const;
    bool removeItem(unsigned int index);
    // Writes a recorded sample into the slot its time falls in.
    bool updateItemInfo(int64_t time, double pressure, double altitude);
    void restoreMissingItem();
    void updateMinMax();
    void updateAltiMin();
    void updateAltiMax();
    void updateBaroMin();
    void updateBaroMax();

    int32_t getAltiMin() const { return _altiMin; }
    int32_t getAltiMax() const { return _altiMax; }
    int32_t getBaroMin() const { return _baroMin; }
    int32_t getBaroMax() const { return _baroMax; }
    void setAltiMin(int32_t value) { _altiMin = value; }
    void setAltiMax(int32_t value) { _altiMax = value; }
    void setBaroMin(int32_t value) { _baroMin = value; }
    void setBaroMax(int32_t value) { _baroMax = value; }

  private:
    std::vector<ZentrelGraphItem> _vector;
    int32_t _altiMin = DEFAULT_ALTI_MIN;
    int32_t _altiMax = DEFAULT_ALTI_MAX;
    int32_t _baroMin = DEFAULT_BARO_MIN;
    int32_t _baroMax = DEFAULT_BARO_MAX;
};
