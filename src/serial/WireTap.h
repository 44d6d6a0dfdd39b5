#pragma once
// What passes through a port, for a recorder of the wire. The port calls it inside its
// transfers, on the thread that runs them (line errors on the event thread): an implementation
// copies what it is given and hands it over, never waits on a disk, and never throws.

#include <chrono>
#include <cstdint>
#include <string_view>

namespace velor {

class TBComPort;
class EComPort;

class IWireTap {
  public:
    virtual ~IWireTap() = default;
    virtual void PortOpened(const TBComPort& /*port*/) noexcept {}
    virtual void PortClosed() noexcept {}
    // The bytes handed to a write, and how many of them the write took.
    virtual void Sent(std::string_view /*bytes*/, int32_t /*written*/) noexcept {}
    // What one read returned (empty when nothing came), and when that read began.
    virtual void Received(std::string_view /*bytes*/,
                          std::chrono::steady_clock::time_point /*readStart*/) noexcept {}
    // The error a port operation raised, just before it leaves the port.
    virtual void Failed(const EComPort& /*error*/) noexcept {}
    // The error flags of the line (TComError bits), as the event thread read them.
    virtual void LineErrors(uint32_t /*flags*/) noexcept {}
};

}  // namespace velor
