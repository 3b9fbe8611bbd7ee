#include "CurlHttpTotalPacketData.h"

#include <cstring>
#include <limits>
#include <new>

#include "ZentrelLog.h"

std::unique_ptr<Byte[]> CurlHttpTotalPacketData::AppendPacketBodyData(const Byte* data,
                                                                      int64_t length) const {
    if (length < 0) {
        ZLOGE("Invalid input length");
        return nullptr;
    }
    uint64_t total = static_cast<uint64_t>(mTotalBodyLen) + static_cast<uint64_t>(length);
    // The length is kept in 32 bits; a body beyond that cannot be described.
    if (total < 1 || total > std::numeric_limits<uint32_t>::max()) {
        ZLOGE("Invalied total len");
        return nullptr;
    }
    std::unique_ptr<Byte[]> body(new (std::nothrow) Byte[total]);
    if (!body) {
        ZLOGE("new opearation error");
        return nullptr;
    }
    if (mTotalBodyLen > 0) {
        memcpy(body.get(), mTotalBody.get(), mTotalBodyLen);
    }
    if (length > 0) {
        memcpy(body.get() + mTotalBodyLen, data, static_cast<size_t>(length));
    }
    return body;
}
