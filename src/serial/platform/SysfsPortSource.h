#pragma once
// The Linux port list: the ttys of sysfs that have a device behind them, less the 8250
// placeholders without a UART, plus the paths of VELOR_EXTRA_PORTS. A folder named there offers
// the terminals inside it (links to simulators that come and go, like adapters).

#include <string>
#include <vector>

#include "serial/ListSerialPorts.h"

namespace velor::posix {

// The ":"-separated paths of a VELOR_EXTRA_PORTS value; empty parts are dropped.
std::vector<std::string> SplitExtraPorts(const std::string& value);

class SysfsPortSource : public IPortSource {
  public:
    // root: the tty class folder; extraPorts: paths listed as given, whether they exist or not,
    // except folders, which give the terminals they hold now.
    SysfsPortSource(std::string root, std::vector<std::string> extraPorts)
        : m_root(std::move(root)), m_extraPorts(std::move(extraPorts)) {}
    // /sys/class/tty and the environment's VELOR_EXTRA_PORTS.
    static SysfsPortSource FromSystem();

    // Names as the backend maps them back: "ttyUSB0" for /dev/ttyUSB0.
    bool Collect(std::vector<std::string>& names) override;

  private:
    std::string m_root;
    std::vector<std::string> m_extraPorts;
};

}  // namespace velor::posix
