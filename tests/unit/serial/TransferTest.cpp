#include <gtest/gtest.h>

#include "FakePort.h"

namespace velor {
namespace {

using testing::FakePort;
using testing::MessageOf;
using testing::Text;

class Transfers : public ::testing::Test {
  protected:
    void SetUp() override {
        f.port.OpenPort();
        ASSERT_TRUE(f.port.Opened());
    }
    FakePort f;
};

TEST_F(Transfers, PendingTransfersReportTheirCountAtTheAwait) {
    f.state->TransfersPend = true;
    f.state->Input = "0123456789";
    TTransferPtr record;
    f.port.NewTransfer(record);
    std::string text;
    EXPECT_EQ(f.port.StartReadText(text, 4, record), 0) << "nothing at once while pending";
    EXPECT_EQ(record->Kind, TTransferKind::tfRead);
    EXPECT_EQ(f.port.AwaitTransfer(record), 4);
    EXPECT_EQ(text.substr(0, 4), "0123");
    EXPECT_EQ(f.port.StartWriteText("xyz", record), 0);
    EXPECT_EQ(record->Kind, TTransferKind::tfWrite);
    EXPECT_EQ(f.port.AwaitTransfer(record), 3);
    TBComPort::FreeTransfer(record);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(f.state->LiveIoBlocks, 0);

    EXPECT_EQ(f.port.WriteText("hello"), 5) << "the whole operations wait for the completion";
}

TEST_F(Transfers, AFreshRecordAwaitsAtOnceWithNothing) {
    TTransferPtr record;
    f.port.NewTransfer(record);
    EXPECT_EQ(f.port.AwaitTransfer(record), 0);
    EXPECT_EQ(f.port.StartWriteText("", record), 0);
    EXPECT_EQ(f.port.AwaitTransfer(record), 0);
}

TEST_F(Transfers, NoRecordIsRefused) {
    TTransferPtr none;
    char buffer[4] = {};
    std::string text;
    const std::string refused = Text(TComMessage::NoTransferRecord);
    EXPECT_EQ(MessageOf([&] { f.port.StartWrite(buffer, 4, none); }), refused);
    EXPECT_EQ(MessageOf([&] { f.port.StartRead(buffer, 4, none); }), refused);
    EXPECT_EQ(MessageOf([&] { f.port.StartReadText(text, 4, none); }), refused);
    EXPECT_EQ(MessageOf([&] { f.port.StartWriteText("x", none); }), refused);
    EXPECT_EQ(MessageOf([&] { f.port.AwaitTransfer(none); }), refused);
}

TEST_F(Transfers, FailedCompletionNamesTheKindOfTransfer) {
    f.state->TransfersPend = true;
    f.Fail(fake::Op::GetIoResult);
    TTransferPtr record;
    f.port.NewTransfer(record);
    std::string text;
    f.port.StartReadText(text, 2, record);
    EXPECT_EQ(MessageOf([&] { f.port.AwaitTransfer(record); }), Text(TComMessage::ReadFailed));
    f.port.StartWriteText("ab", record);
    EXPECT_EQ(MessageOf([&] { f.port.AwaitTransfer(record); }), Text(TComMessage::WriteFailed));
}

TEST_F(Transfers, NegativeCountsNeverReachTheDevice) {
    TTransferPtr record;
    f.port.NewTransfer(record);
    char buffer[4] = {};
    f.ClearLog();
    EXPECT_EQ(MessageOf([&] { f.port.StartWrite(buffer, -1, record); }),
              Text(TComMessage::WriteFailed));
    EXPECT_EQ(MessageOf([&] { f.port.StartRead(buffer, -1, record); }),
              Text(TComMessage::ReadFailed));
    EXPECT_TRUE(f.state->Calls.empty());
}

}  // namespace
}  // namespace velor
