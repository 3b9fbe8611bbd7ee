#include "ZentrelGraphItemList.h"

#include <algorithm>
#include <cmath>

#include "ZentrelLog.h"

void ZentrelGraphItemList::appendItem(const ZentrelGraphItem& item) {
    _vector.push_back(item);
}

const ZentrelGraphItem* ZentrelGraphItemList::getItem(unsigned int index) const {
    return index < _vector.size() ? &_vector[index] : nullptr;
}

unsigned int ZentrelGraphItemList::getCount() const {
    return static_cast<unsigned int>(_vector.size());
}

const ZentrelGraphItem& ZentrelGraphItemList::getLastItem() const {
    return _vector.back();
}

bool ZentrelGraphItemList::removeItem(unsigned int index) {
    if (index >= _vector.size()) {
        return false;
    }
    ZentrelGraphItem removed = _vector[index];
    _vector.erase(_vector.begin() + index);
    if (removed._itemAlti == _altiMin) {
        _altiMin = DEFAULT_ALTI_MIN;
        updateAltiMin();
    }
    if (removed._itemAlti == _altiMax) {
        _altiMax = DEFAULT_ALTI_MAX;
        updateAltiMax();
    }
    if (removed._itemBaro == _baroMin) {
        _baroMin = DEFAULT_BARO_MIN;
        updateBaroMin();
    }
    if (removed._itemBaro == _baroMax) {
        _baroMax = DEFAULT_BARO_MAX;
        updateBaroMax();
    }
    return true;
}

bool ZentrelGraphItemList::updateItemInfo(int64_t time, double pressure, double altitude) {
    if (_vector.empty()) {
        return false;
    }
    int64_t index = (time - _vector.front()._itemTime) / GRAPH_PERIOD;
    if (index < 0 || index >= static_cast<int64_t>(_vector.size())) {
        return false;
    }
    ZentrelGraphItem& slot = _vector[static_cast<size_t>(index)];
    slot._itemAlti = static_cast<int32_t>(std::trunc(altitude));
    slot._itemBaro = static_cast<int32_t>(std::trunc(pressure));
    return true;
}

void ZentrelGraphItemList::restoreMissingItem() {
    for (size_t i = 0; i + 1 < _vector.size(); ++i) {
        if (_vector[i]._itemBaro == 0 && _vector[i + 1]._itemBaro != 0) {
            ZLOGD("Item List has error data restore it");
            _vector[i]._itemAlti = _vector[i + 1]._itemAlti;
            _vector[i]._itemBaro = _vector[i + 1]._itemBaro;
        }
    }
}

void ZentrelGraphItemList::updateMinMax() {
    _altiMin = DEFAULT_ALTI_MIN;
    _altiMax = DEFAULT_ALTI_MAX;
    _baroMin = DEFAULT_BARO_MIN;
    _baroMax = DEFAULT_BARO_MAX;
    for (const auto& item : _vector) {
        if (item._itemBaro <= 0) {
            continue;
        }
        _altiMin = std::min(_altiMin, item._itemAlti);
        _altiMax = std::max(_altiMax, item._itemAlti);
        _baroMin = std::min(_baroMin, item._itemBaro);
        _baroMax = std::max(_baroMax, item._itemBaro);
    }
}

void ZentrelGraphItemList::updateAltiMin() {
    for (const auto& item : _vector) {
        if (item._itemAlti > DEFAULT_ALTI_MAX) {
            _altiMin = std::min(_altiMin, item._itemAlti);
        }
    }
}

void ZentrelGraphItemList::updateAltiMax() {
    for (const auto& item : _vector) {
        _altiMax = std::max(_altiMax, item._itemAlti);
    }
}

void ZentrelGraphItemList::updateBaroMin() {
    for (const auto& item : _vector) {
        if (item._itemBaro > DEFAULT_BARO_MAX) {
            _baroMin = std::min(_baroMin, item._itemBaro);
        }
    }
}

void ZentrelGraphItemList::updateBaroMax() {
    for (const auto& item : _vector) {
        _baroMax = std::max(_baroMax, item._itemBaro);
    }
}
