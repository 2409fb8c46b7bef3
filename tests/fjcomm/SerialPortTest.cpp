#include "FJCommTestSupport.h"

#include "fjcomm/PortFactory.h"
#include "fjcomm/SerialPort.h"
#include "platform/ComPorts.h"
#include "platform/ErrorCodes.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <regex>
#include <termios.h>
#include <thread>

using namespace Fjarnis2011::FJComm;
using fjcomm_test::Pty;
using fjcomm_test::ScratchFolder;

namespace {

constexpr int kCom = 5;

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        platform::SetProgramFolder(folder.path());  // the trace files land here
        platform::RegisterComPort(kCom, pty.path());
        param.port = kCom;
    }
    void TearDown() override {
        if (port) {
            port->Uninitialize();
            ExitPortInstance(&port);
        }
        platform::RegisterComPort(kCom, "");
    }

    // Reads from the port until count bytes came or five seconds passed.
    std::vector<uint8_t> ReadPort(size_t count) {
        std::vector<uint8_t> got;
        for (int i = 0; i < 5000 && got.size() < count; ++i) {
            char buf[64];
            const unsigned n = port->ReadData(buf, sizeof buf);
            got.insert(got.end(), buf, buf + n);
            if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return got;
    }

    speed_t LineSpeed() const {
        termios t{};
        tcgetattr(pty.slave(), &t);
        return cfgetospeed(&t);
    }

    ScratchFolder folder;
    Pty pty;
    PARAM_COM param;
    IPort* port = nullptr;
};

TEST_F(SerialPortTest, BytesPassUnchangedBothWays) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(port->GetType(), 0u);

    // CR, LF, NUL, XON, XOFF and 0xFF: what a cooked line would translate,
    // echo or swallow as flow control.
    const std::vector<uint8_t> bytes = {0x0D, 0x0A, 0x00, 0x11, 0x13, 0xFF};

    ASSERT_TRUE(pty.WriteMaster(bytes));
    EXPECT_EQ(ReadPort(bytes.size()), bytes) << "receiver to port";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    char extra[8];
    EXPECT_EQ(port->ReadData(extra, sizeof extra), 0u) << "nothing added on the way in";

    ASSERT_EQ(port->WriteData(reinterpret_cast<const char*>(bytes.data()), unsigned(bytes.size())), 6u);
    // An echo of the received bytes would arrive first; a CR/LF translation
    // would add bytes.
    EXPECT_EQ(pty.ReadMaster(bytes.size() + 1, 300), bytes) << "port to receiver";

    termios t{};
    ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(LineSpeed(), speed_t(B9600));
}

TEST_F(SerialPortTest, ReadDataNeverReturnsMoreThanAsked) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    char buf[16] = {};
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 0u) << "quiet line: 0 at once";

    ASSERT_TRUE(pty.WriteMaster({'a', 'b', 'c', 'd', 'e'}));
    for (int i = 0; i < 5000 && pty.SlaveQueued() < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(pty.SlaveQueued(), 5);

    EXPECT_EQ(port->ReadData(buf, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "ab");
    EXPECT_EQ(pty.SlaveQueued(), 3) << "the rest stays queued";
    EXPECT_EQ(port->ReadData(buf, 0), 0u);
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 3u);
    EXPECT_EQ(std::string(buf, 3), "cde");
}

TEST_F(SerialPortTest, SetBaudChangesTheSpeedTheOtherSideSees) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    ASSERT_EQ(LineSpeed(), speed_t(B9600));

    EXPECT_EQ(SetBaud(19200), PORT_OK);
    EXPECT_EQ(LineSpeed(), speed_t(B19200));
    EXPECT_EQ(static_cast<SerialPort*>(port)->GetBaud(), 19200);

    // A rate the line cannot take is refused with a system code; the line and
    // the stored rate keep 19200.
    EXPECT_EQ(SetBaud(12345), platform::winerr::kInvalidParameter);
    EXPECT_EQ(LineSpeed(), speed_t(B19200));
    EXPECT_EQ(static_cast<SerialPort*>(port)->GetBaud(), 19200);

    // The line still carries bytes at the new speed.
    ASSERT_EQ(port->WriteData("ok", 2), 2u);
    EXPECT_EQ(pty.ReadMaster(2), (std::vector<uint8_t>{'o', 'k'}));

    // Once uninitialised, and once freed, SetBaud touches nothing.
    port->Uninitialize();
    EXPECT_EQ(SetBaud(9600), PORT_BAD_PARAMETER);
    EXPECT_EQ(LineSpeed(), speed_t(B19200));
    ExitPortInstance(&port);
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(SetBaud(9600), PORT_BAD_PARAMETER);
}

TEST_F(SerialPortTest, SecondOpenOfTheSameLineFails) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    IPort* second = reinterpret_cast<IPort*>(0x1);  // must stay as it is
    EXPECT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &second), PORT_BAD_PARAMETER);
    EXPECT_EQ(second, reinterpret_cast<IPort*>(0x1));
    EXPECT_EQ(CurrentPortInstance(), nullptr);

    // Closing the first releases the line for the next open.
    port->Uninitialize();
    EXPECT_FALSE(port->IsOpen());
    ExitPortInstance(&port);
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    EXPECT_EQ(CurrentPortInstance(), port);
}

TEST_F(SerialPortTest, RefusedLineSettingsReturnTheSystemCodeAndClose) {
    struct Case {
        const char* what;
        uint32_t baud;
        uint8_t byteSize, parity, stopBits;
    };
    const Case cases[] = {
        {"rate without a line speed", 12345, 8, 0, 0},
        {"nine data bits", 9600, 9, 0, 0},
        {"parity code 5", 9600, 8, 5, 0},
        {"one and a half stop bits at 8 data bits", 9600, 8, 0, 1},
        {"two stop bits at 5 data bits", 9600, 5, 0, 2},
    };
    for (const Case& c : cases) {
        PARAM_COM p = param;
        p.baud = c.baud;
        p.byteSize = c.byteSize;
        p.parity = c.parity;
        p.stopBits = c.stopBits;
        EXPECT_EQ(CreatePortInstance(PORT_TYPE_COM, &p, &port), platform::winerr::kInvalidParameter) << c.what;
        EXPECT_EQ(port, nullptr) << c.what;
    }
    // Each refused open closed its line again: a good one now opens.
    // (A pseudo-terminal keeps 8 data bits without parity whatever it is
    // asked; the stop bits show.)
    PARAM_COM good = param;
    good.parity = 2;
    good.stopBits = 2;
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &good, &port), PORT_OK);
    termios t{};
    ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(t.c_cflag & CSTOPB, tcflag_t(CSTOPB));
}

TEST_F(SerialPortTest, DeviceThatIsNoLineGivesTheSystemCode) {
    const std::string file = folder.file("not-a-tty");
    fjcomm_test::WriteFile(file, {1, 2, 3});
    platform::RegisterComPort(kCom, file);
    // The open works, the line state is refused: the code of that call, and
    // the handle is closed again (a second try meets no lock).
    EXPECT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), platform::winerr::kNotSupported);
    EXPECT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), platform::winerr::kNotSupported);
    EXPECT_EQ(port, nullptr);
}

TEST_F(SerialPortTest, UninitializeWakesAWriterWaitingForRoom) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    // The receiver never reads: the write waits for room far longer than the
    // test may take (its time-out is 10 ms per byte).
    const std::string big(1 << 20, 'x');
    auto writer = std::async(std::launch::async, [&] { return port->WriteData(big.data(), unsigned(big.size())); });
    // Wait until the writer has filled the line and waits for room.
    for (int i = 0, queued = 0; i < 5000 && queued == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ioctl(pty.master(), FIONREAD, &queued);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port->Uninitialize();
    ASSERT_EQ(writer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const unsigned written = writer.get();
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
    EXPECT_FALSE(port->IsOpen());
}

// The reading thread waits on the line itself: a quiet line keeps the wait
// until its time-out, a byte ends it, and Uninitialize ends a long wait (the
// close of the link must not wait for the time-out). A port that was never
// opened has no line to wait on.
TEST_F(SerialPortTest, WaitForDataEndsOnBytesOnUninitializeOrAtItsTimeOut) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    EXPECT_EQ(port->WaitForData(5), 0) << "quiet line";

    ASSERT_TRUE(pty.WriteMaster({'a'}));
    EXPECT_EQ(port->WaitForData(20000), 1) << "a byte came";
    char buf[4];
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 1u);
    EXPECT_EQ(port->WaitForData(5), 0) << "read: quiet again";

    auto waiter = std::async(std::launch::async, [&] { return port->WaitForData(20000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port->Uninitialize();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(waiter.get(), 1) << "woken by the close, not by its time-out";
    EXPECT_EQ(port->WaitForData(20000), -1) << "no line left to wait on";
}

// A line that hung up (here the far end of the pseudo-terminal closed) says
// on every poll that it is readable, and never gives a byte. Its wait is the
// one of a quiet line: it ends at its time-out, so a reader that waits again
// after each empty read makes one pass per time-out instead of spinning.
// Counted, not timed: over a fixed stretch the waits stay few. Uninitialize
// still ends a long wait at once.
TEST_F(SerialPortTest, AHungUpLineIsWaitedOnLikeAQuietOne) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    pty.CloseMaster();
    EXPECT_EQ(port->WaitForData(5), 0) << "nothing to read: the wait times out";

    int waits = 0;
    char buf[16];
    unsigned got = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < end) {
        (void)port->WaitForData(100);
        got += port->ReadData(buf, sizeof buf);
        ++waits;
    }
    EXPECT_EQ(got, 0u);
    // About ten waits of 100 ms; a wait that returned at once would make
    // thousands.
    EXPECT_LE(waits, 30);
    EXPECT_TRUE(port->IsOpen()) << "the port stays until its owner closes it";

    auto waiter = std::async(std::launch::async, [&] { return port->WaitForData(60000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port->Uninitialize();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(waiter.get(), 1) << "woken by the close";
}

TEST(SerialPortState, NeverOpenedOrClosedIsNotOpen) {
    SerialPort never(3, 4800);
    EXPECT_FALSE(never.IsOpen());
    char buf[4];
    EXPECT_EQ(never.ReadData(buf, sizeof buf), 0u);
    EXPECT_EQ(never.WriteData("ab", 2), 0u);
    never.Uninitialize();
    EXPECT_FALSE(never.IsOpen());
    EXPECT_EQ(never.ChangeBaud(9600), PORT_BAD_PARAMETER);
    EXPECT_EQ(never.GetPort(), 3);
    EXPECT_EQ(never.GetBaud(), 4800);
    EXPECT_EQ(never.WriteTraceFile(), nullptr) << "this constructor opens no trace files";
    EXPECT_EQ(never.Initialize(nullptr), PORT_BAD_PARAMETER);
}

TEST(SerialPortState, TraceFilesAreSharedAndCountedByPort) {
    ScratchFolder folder;
    platform::SetProgramFolder(folder.path());
    auto* a = new SerialPort();
    auto* b = new SerialPort();
    ASSERT_NE(a->WriteTraceFile(), nullptr);
    ASSERT_NE(a->ReadTraceFile(), nullptr);
    EXPECT_EQ(a->WriteTraceFile(), b->WriteTraceFile());
    EXPECT_EQ(a->ReadTraceFile(), b->ReadTraceFile());

    // Freeing one port leaves the other's files open.
    delete a;
    ASSERT_GT(std::fputs("still open\n", b->WriteTraceFile()), 0);
    EXPECT_EQ(std::fflush(b->WriteTraceFile()), 0);
    EXPECT_EQ(fjcomm_test::ReadFile(folder.file("serial_w.log")), "still open\n");
    delete b;

    // Files that cannot be opened are null and never closed.
    platform::SetProgramFolder(folder.file("no/such/folder"));
    auto* c = new SerialPort();
    EXPECT_EQ(c->WriteTraceFile(), nullptr);
    EXPECT_EQ(c->ReadTraceFile(), nullptr);
    delete c;
}

// "$$", CR, LF, a space and "A": printable bytes as themselves, the others
// (the space too) in brackets, behind a twelve-digit tick field.
TEST(SerialTrace, LineLayout) {
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    const uint8_t bytes[] = {0x24, 0x24, 0x0D, 0x0A, 0x20, 0x41};
    SerialTraceLine(f, bytes, sizeof bytes);
    SerialTraceLine(f, bytes, 0);
    SerialTraceLine(nullptr, bytes, sizeof bytes);  // no file, nothing written
    std::rewind(f);
    char text[128] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    const std::string all(text, n);
    EXPECT_TRUE(std::regex_match(all, std::regex("[0-9]{12}: \\$\\$\\[0d\\]\\[0a\\]\\[20\\]A\n[0-9]{12}: \n"))) << all;
}

// The desktop build traces every read that delivered bytes, with exactly
// those bytes; a read of an empty line writes nothing. The handheld build
// keeps the files but writes nothing into them.
TEST_F(SerialPortTest, ReadsAreTracedInTheDesktopBuild) {
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_COM, &param, &port), PORT_OK);
    char buf[16];
    EXPECT_EQ(port->ReadData(buf, sizeof buf), 0u);
    ASSERT_TRUE(pty.WriteMaster({0x24, 0x24, 0x0D, 0x0A, 0x20, 0x41}));
    EXPECT_EQ(ReadPort(6).size(), 6u);
    port->Uninitialize();
    ExitPortInstance(&port);  // the last port closes, and so flushes, the files
    const std::string trace = fjcomm_test::ReadFile(folder.file("serial_r.log"));
#ifdef BRANTOR_HANDHELD
    EXPECT_EQ(trace, "");
#else
    EXPECT_TRUE(std::regex_match(trace, std::regex("[0-9]{12}: \\$\\$\\[0d\\]\\[0a\\]\\[20\\]A\n"))) << trace;
#endif
    EXPECT_EQ(fjcomm_test::ReadFile(folder.file("serial_w.log")), "");
}

}  // namespace
