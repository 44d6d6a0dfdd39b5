#include <gtest/gtest.h>

#include <functional>

#include "FakePort.h"

namespace velor {
namespace {

using testing::FakePort;
using testing::MessageOf;
using testing::Text;
using Names = std::vector<std::string>;

TEST(ComMessages, CyrillicComAndBareLineFeeds) {
    // "СОМ" must be the Cyrillic letters, which look the same as the Latin ones.
    EXPECT_NE(
        std::string(ComMessageText(TComMessage::NonexistentPort)).find("\xD0\xA1\xD0\x9E\xD0\x9C"),
        std::string::npos);
    EXPECT_NE(std::string(ComMessageText(TComMessage::NoPorts)).find("\xD0\xA1\xD0\x9E\xD0\x9C"),
              std::string::npos);
    for (int n = 1; n <= 15; ++n) {
        EXPECT_EQ(std::string(ComMessageText(static_cast<TComMessage>(n))).find('\r'),
                  std::string::npos)
            << n;
    }
}

TEST(ComPortOpen, AppliesEverySettingInOrder) {
    FakePort f;
    f.port.SetPort("COM7");
    f.port.SetBaudRate(TBaudRate::br115200);
    EXPECT_TRUE(f.state->Calls.empty());
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    EXPECT_TRUE(f.port.Opened());
    EXPECT_EQ(f.state->Calls, (Names{"Open COM7", "SetupComm 2048 2048", "SetCommState 115200",
                                     "SetCommTimeouts", "SetCommMask 1469"}))
        << "the event thread asks for all eight events once the settings are in";
    EXPECT_EQ(f.state->Dcb.Flags, 4113u);
    EXPECT_EQ(f.state->Timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(f.state->Timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(f.state->Timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(f.state->Timeouts.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(f.state->Timeouts.WriteTotalTimeoutConstant, 1000u);

    f.ClearLog();
    f.port.OpenPort();
    EXPECT_TRUE(f.port.Opened());
    EXPECT_TRUE(f.state->Calls.empty()) << "opening an open port does nothing";
}

TEST(ComPortOpen, DeviceOpenFailuresLeaveEverythingAsItWas) {
    struct Row {
        TOpenResult result;
        std::string message;
    };
    const Row rows[] = {
        {TOpenResult::NotFound, Text(TComMessage::NonexistentPort)},
        {TOpenResult::Busy, Text(TComMessage::PortBusy)},
        // Any other failure shows through the first settings step, for want of a device.
        {TOpenResult::OtherError, Text(TComMessage::SetupCommFailed)},
    };
    for (const Row& r : rows) {
        FakePort f;
        f.port.SetPort("COM9");
        f.state->OpenAnswer = {r.result, {}};
        EXPECT_EQ(MessageOf([&] { f.port.OpenPort(); }), r.message);
        EXPECT_FALSE(f.port.Opened());
        EXPECT_EQ(f.port.Port(), "COM9");
        EXPECT_FALSE(f.state->DeviceHeld);
    }
}

TEST(ComPortOpen, PermissionDeniedNamesTheReasonAndTheRemedy) {
    FakePort f;
    f.state->OpenAnswer = {TOpenResult::PermissionDenied, "Permission denied"};
    const std::string message = MessageOf([&] { f.port.OpenPort(); });
    EXPECT_EQ(message.rfind(Text(TComMessage::PortBusy) + "\nPermission denied\n", 0), 0u)
        << message;
    EXPECT_NE(message.find("dialout"), std::string::npos);
    EXPECT_FALSE(f.port.Opened());
}

TEST(ComPortOpen, FailedSettingsStepRollsBackAndRunsNoLaterStep) {
    struct Row {
        fake::Op op;
        TComMessage message;
        Names calls;
    };
    const Row rows[] = {
        {fake::Op::SetupComm, TComMessage::SetupCommFailed, {"Open", "SetupComm", "Close"}},
        {fake::Op::SetCommState,
         TComMessage::SetCommStateFailed,
         {"Open", "SetupComm", "SetCommState", "Close"}},
        {fake::Op::SetCommTimeouts,
         TComMessage::SetCommTimeoutsFailed,
         {"Open", "SetupComm", "SetCommState", "SetCommTimeouts", "Close"}},
    };
    for (const Row& r : rows) {
        FakePort f;
        f.Fail(r.op);
        EXPECT_EQ(MessageOf([&] { f.port.OpenPort(); }), Text(r.message));
        EXPECT_EQ(f.state->CallNames(), r.calls);
        EXPECT_FALSE(f.port.Opened());
        EXPECT_FALSE(f.state->DeviceHeld);
        // The port is usable again once the device behaves.
        f.Heal();
        f.port.OpenPort();
        EXPECT_TRUE(f.port.Opened());
    }
}

TEST(ComPortClose, LowersLinesAbortsThenReleases) {
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.ClearLog();
    f.port.ClosePort();
    EXPECT_TRUE(!f.port.Opened());
    EXPECT_FALSE(f.port.Opened());
    // The event thread ends (its mask cleared, both queues purged) before the device goes.
    EXPECT_EQ(f.state->Calls, (Names{"EscapeCommFunction 6", "EscapeCommFunction 4", "PurgeComm 3",
                                     "SetCommMask 0", "PurgeComm 12", "Close"}));
    f.ClearLog();
    f.port.ClosePort();
    EXPECT_TRUE(!f.port.Opened());
    EXPECT_TRUE(f.state->Calls.empty()) << "a closed port leaves the lines alone";
}

TEST(ComPortClose, FailureOfLinesOrAbortKeepsThePortOpen) {
    const std::pair<fake::Op, TComMessage> rows[] = {
        {fake::Op::EscapeCommFunction, TComMessage::EscapeFunctionFailed},
        {fake::Op::PurgeComm, TComMessage::PurgeFailed},
    };
    for (const auto& [op, message] : rows) {
        FakePort f;
        f.port.OpenPort();
        ASSERT_TRUE(f.port.Opened());
        f.Fail(op);
        EXPECT_EQ(MessageOf([&] { f.port.ClosePort(); }), Text(message));
        EXPECT_TRUE(f.port.Opened());
        EXPECT_TRUE(f.state->DeviceHeld);
        f.Heal();
        f.port.ClosePort();
        EXPECT_TRUE(!f.port.Opened());
    }
}

TEST(ComPortClose, ADeviceThatLeftTheLineIsReleasedAndTheNextOpenWorks) {
    const fake::Op rows[] = {fake::Op::EscapeCommFunction, fake::Op::PurgeComm};
    for (const fake::Op op : rows) {
        FakePort f;
        f.port.OpenPort();
        f.Fail(op);
        f.state->Gone = true;
        EXPECT_EQ(MessageOf([&] { f.port.ClosePort(); }), "");
        EXPECT_FALSE(f.port.Opened());
        EXPECT_FALSE(f.state->DeviceHeld) << "the handle of a vanished device is released";
        EXPECT_EQ(f.port.EventThread(), nullptr);
        // The adapter is back: the same port object opens it again.
        f.Heal();
        f.state->Gone = false;
        f.port.OpenPort();
        EXPECT_TRUE(f.port.Opened());
        EXPECT_TRUE(f.state->DeviceHeld);
    }
}

TEST(ComPortClose, DestroyingAnOpenPortLowersLinesAndReleasesTheDevice) {
    auto state = std::make_shared<fake::State>();
    {
        TBComPort port(fake::MakeBackend(state));
        port.OpenPort();
        ASSERT_TRUE(port.Opened());
        state->Calls.clear();
    }
    EXPECT_EQ(state->CallNames(), (Names{"EscapeCommFunction", "EscapeCommFunction", "PurgeComm",
                                         "SetCommMask", "PurgeComm", "Close"}));
    EXPECT_FALSE(state->DeviceHeld);

    // Even when closing fails, the device is released and nothing escapes the destructor.
    state->Failing = {fake::Op::EscapeCommFunction};
    {
        TBComPort port(fake::MakeBackend(state));
        port.OpenPort();
        ASSERT_TRUE(port.Opened());
    }
    EXPECT_FALSE(state->DeviceHeld);
}

// Every operation's own failure message, with the port open throughout.
TEST(ComPortMessages, EachOperationRaisesItsOwnMessage) {
    struct Row {
        const char* what;
        fake::Op op;
        std::function<void(TBComPort&)> action;
        TComMessage message;
    };
    const Row rows[] = {
        {"write start", fake::Op::StartWrite, [](TBComPort& p) { p.WriteText("AB"); },
         TComMessage::WriteFailed},
        {"write result", fake::Op::GetIoResult, [](TBComPort& p) { p.WriteText("AB"); },
         TComMessage::WriteFailed},
        {"write wait", fake::Op::WaitIoBlock, [](TBComPort& p) { p.WriteText("AB"); },
         TComMessage::WriteFailed},
        {"read start", fake::Op::StartRead,
         [](TBComPort& p) {
             std::string s;
             p.ReadText(s, 4);
         },
         TComMessage::ReadFailed},
        {"read result", fake::Op::GetIoResult,
         [](TBComPort& p) {
             std::string s;
             p.ReadText(s, 4);
         },
         TComMessage::ReadFailed},
        {"purge", fake::Op::PurgeComm, [](TBComPort& p) { p.AbortTransfers(); },
         TComMessage::PurgeFailed},
        {"line settings", fake::Op::SetCommState,
         [](TBComPort& p) { p.SetBaudRate(TBaudRate::br57600); }, TComMessage::SetCommStateFailed},
        {"timeouts", fake::Op::SetCommTimeouts,
         [](TBComPort& p) { p.Timeouts().SetReadTotalConstant(5); },
         TComMessage::SetCommTimeoutsFailed},
        {"buffer sizes", fake::Op::SetupComm, [](TBComPort& p) { p.SetOutBufSize(4096); },
         TComMessage::SetupCommFailed},
        {"queue count", fake::Op::ClearCommError, [](TBComPort& p) { p.QueuedInputCount(); },
         TComMessage::ClearCommErrorFailed},
        {"modem lines", fake::Op::GetCommModemStatus, [](TBComPort& p) { p.ModemLines(); },
         TComMessage::ModemStatusFailed},
        {"DTR", fake::Op::EscapeCommFunction, [](TBComPort& p) { p.SetDtrLine(true); },
         TComMessage::EscapeFunctionFailed},
        {"RTS", fake::Op::EscapeCommFunction, [](TBComPort& p) { p.SetRtsLine(false); },
         TComMessage::EscapeFunctionFailed},
    };
    for (const Row& r : rows) {
        FakePort f;
        f.port.OpenPort();
        ASSERT_TRUE(f.port.Opened());
        f.Fail(r.op);
        EXPECT_EQ(MessageOf([&] { r.action(f.port); }), Text(r.message)) << r.what;
        EXPECT_TRUE(f.port.Opened()) << r.what;
        EXPECT_EQ(f.state->LiveIoBlocks, 0) << r.what << ": a transfer record was left behind";
    }
}

TEST(ComPortSetters, LineSettingsApplyAtOnceWhileOpenAndWaitWhileClosed) {
    FakePort f;
    f.port.SetParity(TParity::paEven);
    EXPECT_TRUE(f.state->Calls.empty());
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    EXPECT_EQ(f.state->Dcb.Parity, 2);
    EXPECT_EQ(f.state->Dcb.Flags, 4115u);

    f.ClearLog();
    f.port.SetParity(TParity::paEven);
    f.port.SetBaudRate(TBaudRate::br9600);
    EXPECT_TRUE(f.state->Calls.empty()) << "an equal value does nothing";

    f.port.SetParity(TParity::paNone);
    f.port.SetStopBits(TStopBits::sb2);
    f.port.SetByteSize(TByteSize::bs7);
    f.port.SetBaudRate(TBaudRate::br256000);
    EXPECT_EQ(f.state->Calls.size(), 4u);
    EXPECT_EQ(f.state->Dcb.Flags, 4113u);
    EXPECT_EQ(f.state->Dcb.Parity, 0);
    EXPECT_EQ(f.state->Dcb.StopBits, 2);
    EXPECT_EQ(f.state->Dcb.ByteSize, 7);
    EXPECT_EQ(f.state->Dcb.BaudRate, 256000u);
}

TEST(ComPortSetters, FailedApplyWhileOpenKeepsTheNewValue) {
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.Fail(fake::Op::SetCommState);
    EXPECT_FALSE(MessageOf([&] { f.port.SetBaudRate(TBaudRate::br38400); }).empty());
    EXPECT_EQ(f.port.BaudRate(), TBaudRate::br38400);
    EXPECT_TRUE(f.port.Opened());
    EXPECT_EQ(f.state->Dcb.BaudRate, 9600u) << "the device keeps its previous settings";
}

TEST(ComPortSetters, QueueSizesAreEvenedAndCompareWithTheStoredValue) {
    struct Row {
        int32_t given, stored;
    };
    const Row rows[] = {{2049, 2048}, {1, 0}, {-3, -3}, {4096, 4096}, {3, 2}};
    for (const Row& r : rows) {
        FakePort f;
        f.port.SetInBufSize(r.given);
        f.port.SetOutBufSize(r.given);
        EXPECT_EQ(f.port.InBufSize(), r.stored) << r.given;
        EXPECT_EQ(f.port.OutBufSize(), r.stored) << r.given;
    }
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.ClearLog();
    f.port.SetInBufSize(2048);
    EXPECT_TRUE(f.state->Calls.empty()) << "an equal value does nothing";
    f.port.SetInBufSize(2049);  // differs from the stored 2048, so it goes through again
    EXPECT_EQ(f.state->Calls, (Names{"SetupComm 2048 2048"}));
}

TEST(ComPortSetters, PortAndSyncMethodRefuseChangesWhileOpen) {
    FakePort f;
    f.port.SetPort("COM5");
    f.port.SetSyncMethod(TSyncMethod::smNone);
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    const std::string refused = Text(TComMessage::PropertyWhileOpen);
    EXPECT_EQ(MessageOf([&] { f.port.SetPort("COM5"); }), refused) << "even the same name";
    EXPECT_EQ(MessageOf([&] { f.port.SetPort("COM6"); }), refused);
    EXPECT_EQ(MessageOf([&] { f.port.SetSyncMethod(TSyncMethod::smNone); }), "");
    EXPECT_EQ(MessageOf([&] { f.port.SetSyncMethod(TSyncMethod::smThreadSync); }), refused);
    EXPECT_EQ(f.port.Port(), "COM5");
    EXPECT_EQ(f.port.SyncMethod(), TSyncMethod::smNone);
    f.port.ClosePort();
    ASSERT_TRUE(!f.port.Opened());
    f.port.SetPort("COM6");
    EXPECT_EQ(f.port.Port(), "COM6");
}

TEST(ComPortSetters, TimeoutsAreCopiedIntoThePortsOwnObjectAndApplied) {
    FakePort f;
    TComTimeouts& own = f.port.Timeouts();
    // The main window's form description, applied while closed.
    own.SetReadInterval(1);
    own.SetReadTotalMultiplier(1);
    own.SetReadTotalConstant(1);
    own.SetWriteTotalMultiplier(1);
    own.SetWriteTotalConstant(1);
    EXPECT_TRUE(f.state->Calls.empty());
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    EXPECT_EQ(f.state->Timeouts.ReadIntervalTimeout, 1u);
    EXPECT_EQ(f.state->Timeouts.WriteTotalTimeoutConstant, 1u);

    TComTimeouts given;
    EXPECT_EQ(given.Owner(), nullptr);
    given.SetReadInterval(-7);
    given.SetWriteTotalConstant(0);
    f.ClearLog();
    f.port.SetTimeouts(given);
    EXPECT_EQ(&f.port.Timeouts(), &own) << "the object is never replaced";
    EXPECT_EQ(own.Owner(), &f.port);
    EXPECT_EQ(own.ReadInterval(), -7);
    EXPECT_EQ(f.state->Calls, (Names{"SetCommTimeouts"}));
    EXPECT_EQ(f.state->Timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(f.state->Timeouts.WriteTotalTimeoutConstant, 0u);

    f.ClearLog();
    own.SetReadInterval(-7);
    EXPECT_TRUE(f.state->Calls.empty()) << "an equal value does nothing";

    const TComTimeouts copy = own;
    EXPECT_EQ(copy.Owner(), nullptr) << "a copy carries the values, not the owner";
    EXPECT_EQ(copy.ReadInterval(), -7);
}

TEST(ComPortLines, ModemLinesAndQueueCount) {
    FakePort f;
    f.port.OpenPort();
    ASSERT_TRUE(f.port.Opened());
    f.state->ModemStatus = kMsCtsOn | kMsRlsdOn | 0x0F;
    const TModemLines lines = f.port.ModemLines();
    EXPECT_TRUE(lines.Contains(TModemLine::mlCTS));
    EXPECT_FALSE(lines.Contains(TModemLine::mlDSR));
    EXPECT_FALSE(lines.Contains(TModemLine::mlRing));
    EXPECT_TRUE(lines.Contains(TModemLine::mlRLSD));
    f.state->ModemStatus = kMsDsrOn | kMsRingOn;
    EXPECT_EQ(f.port.ModemLines(), (TModemLines{TModemLine::mlDSR, TModemLine::mlRing}));

    f.state->Input = "12345";
    f.state->ErrorFlags = kCeFrame;
    EXPECT_EQ(f.port.QueuedInputCount(), 5);
    EXPECT_EQ(f.state->ErrorFlags, 0u) << "the error flags are cleared";

    f.ClearLog();
    f.port.SetDtrLine(true);
    f.port.SetDtrLine(false);
    f.port.SetRtsLine(true);
    f.port.SetRtsLine(false);
    EXPECT_EQ(f.state->Calls, (Names{"EscapeCommFunction 5", "EscapeCommFunction 6",
                                     "EscapeCommFunction 3", "EscapeCommFunction 4"}));
}

}  // namespace
}  // namespace velor
