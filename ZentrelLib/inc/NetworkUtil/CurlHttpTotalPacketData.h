// The body of one transfer, grown chunk by chunk on the engine's worker. The
// body is raw bytes, not NUL-terminated: always read it with mTotalBodyLen.
#pragma once

#include <cstdint>
#include <memory>

#include "IHttpPacketData.h"
#include "NetworkTypes.h"

class CurlHttpTotalPacketData : public IHttpPacketData {
  public:
    // Returns a new array holding the current body followed by the given
    // bytes, or null when the lengths make no sense.
    std::unique_ptr<Byte[]> AppendPacketBodyData(const Byte* data, int64_t length) const;

    // Header bytes are not collected; these stay 0 and null.
    uint32_t mTotalHeaderLen = 0;
    std::unique_ptr<Byte[]> mTotalHeader;

    uint32_t mTotalBodyLen = 0;
    std::unique_ptr<Byte[]> mTotalBody;
};
