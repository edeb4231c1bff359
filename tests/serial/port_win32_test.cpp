// The port's operations under Wine against a stand-in mapped as COM10.
#include "serial/port_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "base/scoped_win32.h"
#include "protocol/data.h"
#include "serial/thread_win32.h"
#include "standin_win32.h"

namespace zeltan {
namespace {

const test::StandinLink kStandin(10);

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kStandin.mapped()) << "run through tools/with-standin --com 10"; }
    void TearDown() override { ClosePort(&port); }

    void OpenRunning() {
        ASSERT_TRUE(OpenPort(&port, kStandin.name()));
        ASSERT_TRUE(ConfigurePort(&port, "115200"));
    }

    // Receives until `size` bytes came or a read found the line quiet.
    std::string ReceiveUpTo(size_t size) {
        std::string bytes;
        uint8_t byte = 0;
        while (bytes.size() < size && ReceiveByte(&port, &byte)) bytes += static_cast<char>(byte);
        return bytes;
    }

    TPort port{nullptr};
};

bool IsClosed(const TPort& port) { return port.hPort.load() == INVALID_HANDLE_VALUE && port.running == 0; }

TEST_F(PortTest, GoesThroughClosedOpenedRunningTwice) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(IsClosed(port));
        ASSERT_TRUE(OpenPort(&port, kStandin.name()));
        EXPECT_NE(port.hPort.load(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(port.running, 0);
        ASSERT_TRUE(ConfigurePort(&port, "19200"));
        EXPECT_EQ(port.running, 1);
        ClosePort(&port);
        EXPECT_TRUE(IsClosed(port));
        ClosePort(&port);  // twice is harmless
        EXPECT_TRUE(IsClosed(port));
    }
}

TEST_F(PortTest, ConfigureAppliesLineSettingsAndTimeouts) {
    // "115200" and " 9600x" give their rates; the time-outs are the table's.
    for (const auto& [text, rate] : {std::pair<const char*, DWORD>{"115200", 115200}, {" 9600x", 9600}}) {
        ASSERT_TRUE(OpenPort(&port, kStandin.name()));
        ASSERT_TRUE(ConfigurePort(&port, text));
        DCB applied{};
        applied.DCBlength = sizeof applied;
        ASSERT_TRUE(GetCommState(port.hPort, &applied));
        EXPECT_EQ(applied.BaudRate, rate) << text;
        EXPECT_EQ(applied.ByteSize, 8);
        EXPECT_EQ(applied.Parity, NOPARITY);
        EXPECT_EQ(applied.StopBits, ONESTOPBIT);
        EXPECT_EQ(applied.fOutxCtsFlow, 0u);
        EXPECT_EQ(applied.fOutX, 0u);
        EXPECT_EQ(applied.fInX, 0u);
        COMMTIMEOUTS timeouts{};
        ASSERT_TRUE(GetCommTimeouts(port.hPort, &timeouts));
        EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 100u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);
        ClosePort(&port);
    }
}

TEST_F(PortTest, ConfigureOnAClosedPortDoesNothing) {
    std::memset(&port.dcb, 0xA5, sizeof port.dcb);
    std::memset(&port.timeouts, 0xA5, sizeof port.timeouts);
    const DCB dcbBefore = port.dcb;
    EXPECT_FALSE(ConfigurePort(&port, "19200"));
    EXPECT_TRUE(IsClosed(port));
    // No GetCommState / GetCommTimeouts reached the records.
    EXPECT_EQ(std::memcmp(&port.dcb, &dcbBefore, sizeof dcbBefore), 0);
    EXPECT_EQ(port.timeouts.ReadIntervalTimeout, 0xA5A5A5A5u);
}

TEST_F(PortTest, BaudTextWithoutARateClosesThePortSilently) {
    for (const char* text : {"abc", "", "-9600", "99999999999"}) {
        ASSERT_TRUE(OpenPort(&port, kStandin.name()));
        EXPECT_FALSE(ConfigurePort(&port, text)) << '"' << text << '"';
        EXPECT_TRUE(IsClosed(port)) << '"' << text << '"';
    }
    // The closed handle freed the port: it opens again.
    EXPECT_TRUE(OpenPort(&port, kStandin.name()));
}

TEST_F(PortTest, SentStringsArriveExactly) {
    OpenRunning();
    const std::string before = kStandin.Bytes("rx");
    TData block;
    block.Reset();  // zero bytes inside the block
    const std::string write = "4+" + block.Block();
    ASSERT_EQ(write.size(), 15u);
    EXPECT_TRUE(SendString(&port, "6+"));
    EXPECT_TRUE(SendString(&port, write));
    const std::string expected = before + "6+" + write;
    EXPECT_EQ(kStandin.ReceivedAtLeast(expected.size()), expected);
}

TEST_F(PortTest, SendsFromTwoThreadsNeverInterleave) {
    OpenRunning();
    const size_t before = kStandin.Bytes("rx").size();
    const std::string a = "4+" + std::string(13, 'a'), b = "4+" + std::string(13, 'b');
    constexpr int kSends = 100;
    std::thread other([&] {
        for (int i = 0; i < kSends; ++i) SendString(&port, b);
    });
    for (int i = 0; i < kSends; ++i) SendString(&port, a);
    other.join();
    const std::string got = kStandin.ReceivedAtLeast(before + 2 * kSends * 15).substr(before);
    ASSERT_EQ(got.size(), 2u * kSends * 15);
    for (size_t at = 0; at < got.size(); at += 15) {
        const std::string piece = got.substr(at, 15);
        EXPECT_TRUE(piece == a || piece == b) << "at " << at << ": " << piece;
    }
}

TEST_F(PortTest, RepliesAndABurstArriveByteForByte) {
    OpenRunning();
    EXPECT_TRUE(SendString(&port, "9+"));
    EXPECT_EQ(ReceiveUpTo(2), "BV");
    EXPECT_TRUE(SendString(&port, "6+"));
    EXPECT_EQ(ReceiveUpTo(24).substr(0, 13), "6+STANDIN 1.0");
    const size_t sentBefore = kStandin.Bytes("tx").size();
    kStandin.Command("burst 2000");  // several times the driver's queue and our buffer
    std::string got;
    uint8_t byte = 0;
    for (int quiet = 0; quiet < 3;) {
        if (ReceiveByte(&port, &byte)) {
            got += static_cast<char>(byte);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    EXPECT_EQ(got, kStandin.Bytes("tx").substr(sentBefore));
}

TEST_F(PortTest, IdleReceiveReturnsFalseAfterTheReadTimeout) {
    OpenRunning();
    uint8_t byte = 0x5A;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(ReceiveByte(&port, &byte));
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_EQ(byte, 0x5A);
    EXPECT_GE(elapsed, 90u);    // never sooner: a loop over it cannot spin
    EXPECT_LT(elapsed, 1000u);  // and it does not hang
}

TEST_F(PortTest, ClosedPortReportsSuccessWithoutATransfer) {
    uint8_t byte = 0x5A;
    EXPECT_TRUE(SendString(&port, "6+"));
    EXPECT_TRUE(ReceiveByte(&port, &byte));
    EXPECT_EQ(byte, 0x5A);
}

// A receive loop as the app runs it: ReceiveByte until running drops.
struct Receiver {
    TPort* port;
    volatile LONG reads = 0;
    static unsigned __stdcall Loop(void* arg) {
        auto* self = static_cast<Receiver*>(arg);
        uint8_t byte = 0;
        while (self->port->running != 0) {
            ReceiveByte(self->port, &byte);
            InterlockedIncrement(&self->reads);
        }
        return 0;
    }
};

// Starts the receiver on a self-deleting TThread; the handle is the owner's.
HANDLE StartReceiver(Receiver* receiver) {
    HANDLE owned = nullptr;
    auto* thread = new TThread(1);
    EXPECT_TRUE(thread->Start(&Receiver::Loop, receiver, false, nullptr, 0, &owned));
    return owned;
}

TEST_F(PortTest, ClosePortEndsAPendingReadAndTheWorker) {
    OpenRunning();
    Receiver receiver{&port};
    const scoped::Handle worker(StartReceiver(&receiver));
    ASSERT_TRUE(worker);
    Sleep(150);  // the worker sits in a one-byte read
    const ULONGLONG start = GetTickCount64();
    ClosePort(&port);
    EXPECT_EQ(WaitForSingleObject(worker.get(), 1000), WAIT_OBJECT_0);
    std::printf("worker ended %llu ms after ClosePort\n", GetTickCount64() - start);
}

TEST_F(PortTest, UnpluggedLineFailsWithoutHangingOrSpinning) {
    OpenRunning();
    Receiver receiver{&port};
    const scoped::Handle worker(StartReceiver(&receiver));
    ASSERT_TRUE(worker);
    Sleep(150);
    kStandin.Command("unplug");  // closes the far side while a read is pending
    Sleep(100);
    const LONG readsBefore = receiver.reads;
    Sleep(500);
    const LONG reads = receiver.reads - readsBefore;
    EXPECT_LE(reads, 8) << "reads on a dead line must keep the read time-out's pace";
    EXPECT_FALSE(SendString(&port, "9+"));
    ClosePort(&port);
    EXPECT_EQ(WaitForSingleObject(worker.get(), 1000), WAIT_OBJECT_0);
    EXPECT_TRUE(IsClosed(port));

    kStandin.Command("plug");
    ASSERT_TRUE(kStandin.WaitUntilOpens());
    OpenRunning();
    EXPECT_TRUE(SendString(&port, "9+"));
    EXPECT_EQ(ReceiveUpTo(2), "BV");
}

}  // namespace
}  // namespace zeltan
