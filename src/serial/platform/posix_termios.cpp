#include "serial/platform/PosixTermios.h"

namespace velor::posix {

std::string DevicePath(const std::string& port) {
    if (!port.empty() && port.front() == '/') {
        return port;
    }
    return "/dev/" + port;
}

bool DcbToTermios(const TDcb& dcb, struct termios2& t) {
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 ||
        dcb.StopBits > 2) {
        return false;
    }
    const bool fiveBits = dcb.ByteSize == 5;
    if ((dcb.StopBits == 1 && !fiveBits) || (dcb.StopBits == 2 && fiveBits)) {
        return false;
    }

    struct termios2 r = t;
    r.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL);
    if (dcb.Flags & kDcbParity)
        r.c_iflag |= INPCK;
    if (dcb.Flags & kDcbOutX)
        r.c_iflag |= IXON;
    if (dcb.Flags & kDcbInX)
        r.c_iflag |= IXOFF;
    r.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    r.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);

    r.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS |
                                        CBAUD | CIBAUD);
    r.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    r.c_cflag |= kSizes[dcb.ByteSize - 5];
    switch (dcb.Parity) {
        case 1:
            r.c_cflag |= PARENB | PARODD;
            break;
        case 2:
            r.c_cflag |= PARENB;
            break;
        case 3:
            r.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case 4:
            r.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            break;
    }
    // With 5 data bits the stop-bit flag gives 1.5 stop bits.
    if (dcb.StopBits != 0)
        r.c_cflag |= CSTOPB;
    if (dcb.Flags & kDcbOutxCtsFlow)
        r.c_cflag |= CRTSCTS;

    // Any rate, standard or not; the input speed follows the output speed.
    r.c_cflag |= BOTHER;
    r.c_ispeed = dcb.BaudRate;
    r.c_ospeed = dcb.BaudRate;

    r.c_cc[VMIN] = 0;
    r.c_cc[VTIME] = 0;
    t = r;
    return true;
}

}  // namespace velor::posix
