#include "CurlHttpTotalPacketData.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ZentrelLog.h"

namespace {
// Most answers fit in the first allocation.
constexpr size_t kFirstCapacity = 16 * 1024;
}  // namespace

bool CurlHttpTotalPacketData::AppendPacketBodyData(const Byte* data, size_t length) {
    size_t limit = std::min<size_t>(mMaxBodyLen, UINT32_MAX);
    if (length > limit - mTotalBodyLen) {
        ZLOGE("Body passes the limit of %zu bytes", limit);
        return false;
    }
    size_t total = mTotalBodyLen + length;
    if (total > mTotalBodyCapacity) {
        size_t capacity = std::max(std::min(kFirstCapacity, limit), mTotalBodyCapacity);
        while (capacity < total) {
            capacity = capacity > limit / 2 ? limit : capacity * 2;
        }
        std::unique_ptr<Byte[]> body(new (std::nothrow) Byte[capacity]);
        if (!body) {
            ZLOGE("No memory for a body of %zu bytes", capacity);
            return false;
        }
        if (mTotalBodyLen > 0) {
            memcpy(body.get(), mTotalBody.get(), mTotalBodyLen);
        }
        mTotalBody = std::move(body);
        mTotalBodyCapacity = capacity;
    }
    if (length > 0) {
        memcpy(mTotalBody.get() + mTotalBodyLen, data, length);
    }
    mTotalBodyLen = static_cast<uint32_t>(total);
    return true;
}
