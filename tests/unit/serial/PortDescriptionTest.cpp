#include "serial/PortDescription.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "serial/platform/SysfsPortDescriber.h"

namespace velor {
namespace {

namespace fs = std::filesystem;

TEST(DescriptionText, PutsNamesFirstAndSkipsWhatIsUnknown) {
    PortDescription d;
    d.Name = "ttyUSB0";
    EXPECT_EQ(DescriptionText(d), "");
    d.Manufacturer = "FTDI";
    d.Product = "FT232R USB UART";
    d.VendorId = "0403";
    d.ProductId = "6001";
    d.Serial = "A10K1";
    d.Driver = "ftdi_sio";
    d.ById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1-if00-port0";
    EXPECT_EQ(DescriptionText(d),
              "FTDI FT232R USB UART (USB 0403:6001), serial A10K1, driver ftdi_sio, "
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1-if00-port0");
    // A product that already names its maker is not prefixed twice.
    d.Product = "FTDI USB Serial";
    d.Serial.clear();
    d.ById.clear();
    EXPECT_EQ(DescriptionText(d), "FTDI USB Serial (USB 0403:6001), driver ftdi_sio");
    PortDescription windows;
    windows.FriendlyName = "USB Serial Port (COM3)";
    windows.VendorId = "0403";
    windows.ProductId = "6001";
    EXPECT_EQ(DescriptionText(windows), "USB Serial Port (COM3) (USB 0403:6001)");
    PortDescription link;
    link.Target = "/dev/pts/4";
    EXPECT_EQ(DescriptionText(link), "-> /dev/pts/4");
}

// sysfs, /dev and /dev/serial/by-id laid out as the kernel and udev make them for one FTDI
// adapter, one CDC-ACM board and one on-board UART behind the serial core's port device.
class FakeSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velor-describe-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        const fs::path usb = root / "sys/devices/pci0000:00/usb1/1-1";
        Attribute(usb / "idVendor", "0403");
        Attribute(usb / "idProduct", "6001");
        Attribute(usb / "manufacturer", "FTDI");
        Attribute(usb / "product", "FT232R USB UART");
        Attribute(usb / "serial", "A10K1");
        fs::create_directories(usb / "1-1:1.0/ttyUSB0");
        Driver(usb / "1-1:1.0/ttyUSB0", "usb-serial", "ftdi_sio");
        Tty("ttyUSB0", usb / "1-1:1.0/ttyUSB0");
        Attribute(usb / "1-1:1.0/ttyUSB0/latency_timer", "16");

        const fs::path acm = root / "sys/devices/pci0000:00/usb1/1-2";
        Attribute(acm / "idVendor", "2341");
        Attribute(acm / "idProduct", "0043");
        fs::create_directories(acm / "1-2:1.0");
        Driver(acm / "1-2:1.0", "usb", "cdc_acm");
        Tty("ttyACM0", acm / "1-2:1.0");

        const fs::path uart = root / "sys/devices/pnp0/00:04";
        fs::create_directories(uart / "00:04:0/00:04:0.0");
        Driver(uart, "pnp", "serial");
        Driver(uart / "00:04:0/00:04:0.0", "serial-base", "port");
        Tty("ttyS0", uart / "00:04:0/00:04:0.0");

        fs::create_directories(root / "dev/serial/by-id");
        for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0"})
            std::ofstream(root / "dev" / name).put('\n');
        fs::create_symlink("../../ttyUSB0",
                           root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1-if00-port0");
        fs::create_symlink(root / "dev/ttyACM0", root / "kalmira");
    }
    void TearDown() override { fs::remove_all(root); }

    static void Attribute(const fs::path& file, const std::string& value) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << value << "\n";
    }
    void Driver(const fs::path& device, const std::string& bus, const std::string& name) {
        const fs::path driver = root / "sys/bus" / bus / "drivers" / name;
        fs::create_directories(driver);
        fs::create_directory_symlink(driver, device / "driver");
    }
    void Tty(const std::string& name, const fs::path& device) {
        const fs::path entry = root / "sys/class/tty" / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(device, entry / "device");
    }
    PortDescription Describe(const std::string& name) {
        posix::SysfsPortDescriber describer((root / "sys/class/tty").string(),
                                            (root / "dev").string(),
                                            (root / "dev/serial/by-id").string());
        return describer.Describe(name);
    }

    fs::path root;
};

TEST_F(FakeSystem, AUsbAdapterTellsItsMakerIdsSerialDriverAndStableName) {
    const PortDescription d = Describe("ttyUSB0");
    EXPECT_EQ(d.Name, "ttyUSB0");
    EXPECT_EQ(d.VendorId, "0403");
    EXPECT_EQ(d.ProductId, "6001");
    EXPECT_EQ(d.Manufacturer, "FTDI");
    EXPECT_EQ(d.Product, "FT232R USB UART");
    EXPECT_EQ(d.Serial, "A10K1");
    EXPECT_EQ(d.Driver, "ftdi_sio");
    EXPECT_EQ(d.ById,
              (root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1-if00-port0").string());
    EXPECT_TRUE(d.Target.empty());
    EXPECT_EQ(d.LatencyTimerMs, 16);
    EXPECT_NE(DescriptionText(d).find(", latency timer 16 ms"), std::string::npos)
        << DescriptionText(d);
    EXPECT_EQ(Describe("ttyACM0").LatencyTimerMs, -1) << "a driver without a latency timer";
}

TEST_F(FakeSystem, ABoardWithoutStringsStillHasItsIds) {
    const PortDescription d = Describe("ttyACM0");
    EXPECT_EQ(d.VendorId, "2341");
    EXPECT_EQ(d.ProductId, "0043");
    EXPECT_EQ(d.Manufacturer, "");
    EXPECT_EQ(d.Serial, "");
    EXPECT_EQ(d.Driver, "cdc_acm");
    EXPECT_EQ(d.ById, "");
}

TEST_F(FakeSystem, AnOnBoardUartNamesTheDriverBehindTheSerialCore) {
    const PortDescription d = Describe("ttyS0");
    EXPECT_EQ(d.Driver, "serial");
    EXPECT_EQ(d.VendorId, "");
    EXPECT_EQ(DescriptionText(d), "driver serial");
}

TEST_F(FakeSystem, APathIsDescribedByWhereItLeads) {
    const PortDescription d = Describe((root / "kalmira").string());
    EXPECT_EQ(d.Target, (root / "dev/ttyACM0").string());
    EXPECT_EQ(d.Driver, "cdc_acm");
    EXPECT_EQ(d.VendorId, "2341");
    // The by-id link itself, given as the port, is not repeated as its own stable name.
    const PortDescription byId =
        Describe((root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1-if00-port0").string());
    EXPECT_EQ(byId.Serial, "A10K1");
    EXPECT_EQ(byId.ById, "");
}

TEST_F(FakeSystem, WhatDoesNotExistIsDescribedAsNothing) {
    const PortDescription d = Describe("ttyUSB9");
    EXPECT_EQ(DescriptionText(d), "");
    EXPECT_EQ(d.Name, "ttyUSB9");
}

}  // namespace
}  // namespace velor
