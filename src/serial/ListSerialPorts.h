#pragma once
// The names of the serial ports the system offers now, sorted, for the operator to pick from.

#include <memory>
#include <string>
#include <vector>

namespace velor {

// Where port names come from. Collect appends the names it finds (in any order); false when the
// source cannot be read.
class IPortSource {
  public:
    virtual ~IPortSource() = default;
    virtual bool Collect(std::vector<std::string>& names) = 0;
};

// Ascending, without regard to letter case, digits compared as characters (COM10 before COM2);
// equal names are all kept, in the order they came.
void SortPortNames(std::vector<std::string>& names);

// Replaces target with the source's names, sorted. An unreadable source raises EComPort 15 and
// leaves target untouched.
void ListSerialPorts(std::vector<std::string>& target, IPortSource& source);
// The same with the system's own source.
void ListSerialPorts(std::vector<std::string>& target);

std::unique_ptr<IPortSource> MakePlatformPortSource();

}  // namespace velor
