// Bytes received for one transfer.
#pragma once

class IHttpPacketData {
  public:
    virtual ~IHttpPacketData() = default;
};
