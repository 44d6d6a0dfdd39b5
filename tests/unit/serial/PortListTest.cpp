#include <gtest/gtest.h>

#include "serial/EComPort.h"
#include "serial/ListSerialPorts.h"

namespace velor {
namespace {

using Names = std::vector<std::string>;

class ScriptedSource : public IPortSource {
  public:
    ScriptedSource(Names names, bool readable = true)
        : m_names(std::move(names)), m_readable(readable) {}
    bool Collect(Names& names) override {
        if (!m_readable) {
            names.push_back("half-read");  // a source may fail part way
            return false;
        }
        names.insert(names.end(), m_names.begin(), m_names.end());
        return true;
    }

  private:
    Names m_names;
    bool m_readable;
};

TEST(PortList, SortedIgnoringCaseWithDigitsAsCharacters) {
    struct Row {
        Names found, listed;
    };
    const Row rows[] = {
        {{"COM3", "COM1", "COM10"}, {"COM1", "COM10", "COM3"}},
        {{"COM2", "com1", "Com1", "COM1"}, {"com1", "Com1", "COM1", "COM2"}},
        {{"ttyUSB1", "/dev/pts/4", "ttyACM0", "ttyUSB0"},
         {"/dev/pts/4", "ttyACM0", "ttyUSB0", "ttyUSB1"}},
        {{"COM4", "COM4"}, {"COM4", "COM4"}},
        {{}, {}},
    };
    for (const Row& r : rows) {
        ScriptedSource source(r.found);
        Names target{"previous"};
        ListSerialPorts(target, source);
        EXPECT_EQ(target, r.listed);
    }
}

TEST(PortList, ReplacesTheTargetRatherThanAppending) {
    ScriptedSource source({"COM1", "COM3"});
    Names target;
    ListSerialPorts(target, source);
    ListSerialPorts(target, source);
    EXPECT_EQ(target, (Names{"COM1", "COM3"}));
}

TEST(PortList, UnreadableSourceRaisesAndLeavesTheTargetAlone) {
    ScriptedSource source({"COM1"}, false);
    Names target{"COM7", "COM8"};
    try {
        ListSerialPorts(target, source);
        FAIL() << "no exception";
    } catch (const EComPort& e) {
        EXPECT_STREQ(e.what(), ComMessageText(TComMessage::NoPorts));
    }
    EXPECT_EQ(target, (Names{"COM7", "COM8"}));
}

}  // namespace
}  // namespace velor
