#pragma once
// Asks a tty driver to pass received bytes on at once (ASYNC_LOW_LATENCY; ftdi_sio then runs its
// latency timer at 1 ms instead of 16) while the port is open, and gives the driver its own
// setting back at the close. A driver without the serial ioctls (a pseudo-terminal) refuses,
// quietly: the port works as before.

#include <linux/serial.h>

#include <functional>

namespace velor::posix {

// TIOCGSERIAL or TIOCSSERIAL on a descriptor: 0, or -1 with errno.
using SerialIoctl = std::function<int(int fd, unsigned long request, serial_struct& info)>;
int SystemSerialIoctl(int fd, unsigned long request, serial_struct& info);

class LowLatencyRequest {
  public:
    explicit LowLatencyRequest(SerialIoctl ioctl = SystemSerialIoctl) : m_ioctl(std::move(ioctl)) {}

    // True when the driver runs with low latency afterwards.
    bool Ask(int fd);
    // Clears the flag again where Ask set it; a vanished device is left alone.
    void Restore(int fd);

  private:
    SerialIoctl m_ioctl;
    bool m_set = false;  // Ask turned the flag on
};

}  // namespace velor::posix
