// The body of one transfer, grown chunk by chunk on the engine's worker. The
// body is raw bytes, not NUL-terminated: always read it with mTotalBodyLen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "IHttpPacketData.h"
#include "NetworkTypes.h"

class CurlHttpTotalPacketData : public IHttpPacketData {
  public:
    // Appends the bytes, growing the buffer geometrically so a long body costs
    // linear time. False (and the body unchanged) when the body would pass
    // mMaxBodyLen or memory runs out.
    bool AppendPacketBodyData(const Byte* data, size_t length);

    // Header bytes are not collected; these stay 0 and null.
    uint32_t mTotalHeaderLen = 0;
    std::unique_ptr<Byte[]> mTotalHeader;

    uint32_t mTotalBodyLen = 0;
    std::unique_ptr<Byte[]> mTotalBody;
    // The largest body accepted; the length is kept in 32 bits.
    size_t mMaxBodyLen = UINT32_MAX;

  private:
    size_t mTotalBodyCapacity = 0;
};
