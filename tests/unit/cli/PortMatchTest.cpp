#include "cli/commands/PortMatch.h"

#include <gtest/gtest.h>

namespace velor::cli {
namespace {

PortDescription Usb(const std::string& name, const std::string& vid, const std::string& pid,
                    const std::string& serial, const std::string& byId = "") {
    PortDescription d;
    d.Name = name;
    d.VendorId = vid;
    d.ProductId = pid;
    d.Serial = serial;
    d.ById = byId;
    return d;
}

const std::vector<PortDescription> kPorts = {
    Usb("ttyUSB0", "0403", "6001", "A10K1", "/dev/serial/by-id/usb-FTDI_FT232R_A10K1-if00-port0"),
    Usb("ttyUSB1", "0403", "6001", "B20K2", "/dev/serial/by-id/usb-FTDI_FT232R_B20K2-if00-port0"),
    Usb("ttyACM0", "2341", "0043", "", ""),
    PortDescription{"ttyS0", "", "", "", "", "", "serial", "", "", ""},
};

TEST(PortMatch, OrdinaryNamesNeedNoLookup) {
    std::string error;
    EXPECT_FALSE(NeedsPortLookup("ttyUSB0"));
    EXPECT_FALSE(NeedsPortLookup("/dev/ttyUSB0"));
    EXPECT_FALSE(NeedsPortLookup("COM3"));
    EXPECT_TRUE(NeedsPortLookup("usb:0403:6001"));
    EXPECT_TRUE(NeedsPortLookup("USB:0403:6001"));
    EXPECT_TRUE(NeedsPortLookup("/dev/serial/by-id/x"));
    EXPECT_EQ(ResolvePort("/tmp/kalmira", kPorts, error), "/tmp/kalmira");
}

TEST(PortMatch, UsbIdsPickTheOneAdapter) {
    std::string error;
    EXPECT_EQ(ResolvePort("usb:2341:0043", kPorts, error), "ttyACM0");
    EXPECT_EQ(ResolvePort("usb:2341:43", kPorts, error), "ttyACM0");  // leading zeros optional
    EXPECT_EQ(ResolvePort("usb:0403:6001:B20K2", kPorts, error), "ttyUSB1");
    EXPECT_EQ(ResolvePort("usb:0403:6001:A10K1", kPorts, error), "ttyUSB0");
}

TEST(PortMatch, SeveralMatchesListTheCandidates) {
    std::string error;
    EXPECT_FALSE(ResolvePort("usb:0403:6001", kPorts, error).has_value());
    EXPECT_NE(error.find("several"), std::string::npos) << error;
    EXPECT_NE(error.find("\n  ttyUSB0  "), std::string::npos) << error;
    EXPECT_NE(error.find("\n  ttyUSB1  "), std::string::npos) << error;
    EXPECT_NE(error.find("usb:VID:PID:SERIAL"), std::string::npos) << error;
    EXPECT_EQ(error.find("ttyACM0"), std::string::npos) << error;
}

TEST(PortMatch, NoMatchListsTheUsbPorts) {
    std::string error;
    EXPECT_FALSE(ResolvePort("usb:0403:6015", kPorts, error).has_value());
    EXPECT_NE(error.find("no USB serial port matches 'usb:0403:6015'"), std::string::npos);
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
        EXPECT_NE(error.find(std::string("\n  ") + name), std::string::npos) << name;
    EXPECT_EQ(error.find("ttyS0"), std::string::npos) << error;
    EXPECT_FALSE(ResolvePort("usb:0403:6001:NOPE", kPorts, error).has_value());
    EXPECT_FALSE(ResolvePort("usb:0403:6001", {}, error).has_value());
    EXPECT_NE(error.find("(none)"), std::string::npos);
}

TEST(PortMatch, MalformedSpecsAreRefused) {
    std::string error;
    for (const char* spec : {"usb:", "usb:0403", "usb:0403:", "usb:xyz:6001", "usb:12345:6001",
                             "usb:0403:6001:", "usb:0403:6001:A:B"}) {
        error.clear();
        EXPECT_FALSE(ResolvePort(spec, kPorts, error).has_value()) << spec;
        EXPECT_NE(error.find("usb:VID:PID"), std::string::npos) << spec << ": " << error;
    }
}

TEST(PortMatch, ByIdPathsMustLeadToAPort) {
    std::string error;
    EXPECT_EQ(ResolvePort("/dev/serial/by-id/usb-FTDI_FT232R_B20K2-if00-port0", kPorts, error),
              "ttyUSB1");
    EXPECT_FALSE(ResolvePort("/dev/serial/by-id/usb-FTDI_FT232R_GONE-if00-port0", kPorts, error));
    EXPECT_NE(error.find("usb-FTDI_FT232R_A10K1"), std::string::npos) << error;
}

}  // namespace
}  // namespace velor::cli
