#pragma once
// Port descriptions on Linux: the USB strings and IDs, the driver from sysfs, and the
// /dev/serial/by-id link that leads to the port.

#include <string>

#include "serial/PortDescription.h"

namespace velor::posix {

class SysfsPortDescriber : public IPortDescriber {
  public:
    // ttyClass: /sys/class/tty; devDir: /dev; byIdDir: /dev/serial/by-id.
    SysfsPortDescriber(std::string ttyClass, std::string devDir, std::string byIdDir)
        : m_ttyClass(std::move(ttyClass)),
          m_devDir(std::move(devDir)),
          m_byIdDir(std::move(byIdDir)) {}
    static SysfsPortDescriber FromSystem();

    PortDescription Describe(const std::string& name) override;

  private:
    std::string m_ttyClass;
    std::string m_devDir;
    std::string m_byIdDir;
};

}  // namespace velor::posix
