#include <sys/ioctl.h>

#include "serial/platform/LowLatency.h"

namespace velor::posix {

int SystemSerialIoctl(int fd, unsigned long request, serial_struct& info) {
    return ::ioctl(fd, request, &info);
}

bool LowLatencyRequest::Ask(int fd) {
    m_set = false;
    serial_struct info{};
    if (m_ioctl(fd, TIOCGSERIAL, info) != 0) {
        return false;
    }
    if ((info.flags & ASYNC_LOW_LATENCY) != 0) {
        return true;
    }
    info.flags |= ASYNC_LOW_LATENCY;
    m_set = m_ioctl(fd, TIOCSSERIAL, info) == 0;
    return m_set;
}

void LowLatencyRequest::Restore(int fd) {
    if (!m_set) {
        return;
    }
    m_set = false;
    serial_struct info{};
    if (m_ioctl(fd, TIOCGSERIAL, info) != 0) {
        return;
    }
    info.flags &= ~ASYNC_LOW_LATENCY;
    m_ioctl(fd, TIOCSSERIAL, info);
}

}  // namespace velor::posix
