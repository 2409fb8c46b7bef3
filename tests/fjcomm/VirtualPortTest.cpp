#include "FJCommTestSupport.h"

#include "fjcomm/IPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace Fjarnis2011::FJComm;
using fjcomm_test::ScratchFolder;

namespace {

// 450 bytes: a counting pattern with CR LF and Ctrl-Z (0D 0A 1A) laid across
// the first chunk boundary (offsets 199..201) and again at the very end: a
// text-mode read would turn CR LF into LF or stop at Ctrl-Z.
std::vector<uint8_t> Recording() {
    std::vector<uint8_t> bytes(450);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(0x20 + i % 90);
    const uint8_t crLfEof[] = {0x0D, 0x0A, 0x1A};
    std::copy(crLfEof, crLfEof + 3, bytes.begin() + 199);
    std::copy(crLfEof, crLfEof + 3, bytes.end() - 3);
    return bytes;
}

class VirtualPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        recording = Recording();
        path = folder.file("capture.bin");
        fjcomm_test::WriteFile(path, recording);
        ASSERT_EQ(CreatePortInstance(PORT_TYPE_VIRTUAL, const_cast<char*>(path.c_str()), &port), PORT_OK);
    }
    void TearDown() override {
        port->Uninitialize();
        ExitPortInstance(&port);
    }
    std::vector<uint8_t> Read(unsigned size) {
        std::vector<char> buf(size + 16, '\x55');
        const unsigned n = port->ReadData(buf.data(), size);
        EXPECT_LE(n, size);
        EXPECT_EQ(buf[size], '\x55') << "nothing written past the caller's size";
        return std::vector<uint8_t>(buf.begin(), buf.begin() + n);
    }
    std::vector<uint8_t> Slice(size_t from, size_t count) const {
        return std::vector<uint8_t>(recording.begin() + long(from), recording.begin() + long(from + count));
    }

    ScratchFolder folder;
    std::vector<uint8_t> recording;
    std::string path;
    IPort* port = nullptr;
};

TEST_F(VirtualPortTest, ReplaysInChunksOf200ByteExact) {
    EXPECT_EQ(port->GetType(), 3u);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(Read(1024), Slice(0, 200));
    EXPECT_EQ(Read(1024), Slice(200, 200));
    EXPECT_EQ(Read(1024), Slice(400, 50));
    EXPECT_TRUE(Read(1024).empty()) << "end of the file";
    EXPECT_EQ(port->WriteData("dropped", 7), 0u);
}

TEST_F(VirtualPortTest, ReadsAtMostTheCallersSize) {
    EXPECT_EQ(Read(10), Slice(0, 10));
    EXPECT_EQ(Read(300), Slice(10, 200));
    EXPECT_TRUE(Read(0).empty());
    EXPECT_EQ(Read(240), Slice(210, 200));
}

TEST_F(VirtualPortTest, UninitializeRewindsAndTheNextReadReopens) {
    EXPECT_EQ(Read(200), Slice(0, 200));
    port->Uninitialize();
    EXPECT_EQ(Read(200), Slice(0, 200)) << "reopened from its beginning";
    EXPECT_EQ(Read(200), Slice(200, 200));

    // A new replay starts at the beginning of its own file.
    const std::string other = folder.file("other.bin");
    fjcomm_test::WriteFile(other, {0xB5, 0x62, 0x0D, 0x0A});
    IPort* second = nullptr;
    ASSERT_EQ(CreatePortInstance(PORT_TYPE_VIRTUAL, const_cast<char*>(other.c_str()), &second), PORT_OK);
    std::vector<char> buf(200);
    ASSERT_EQ(second->ReadData(buf.data(), 200), 4u);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 4), (std::vector<uint8_t>{0xB5, 0x62, 0x0D, 0x0A}));
    second->Uninitialize();
    ExitPortInstance(&second);
}

TEST_F(VirtualPortTest, UninitializeDuringReadsIsSafe) {
    std::atomic<bool> stop{false};
    auto reader = std::async(std::launch::async, [&] {
        int bad = 0;
        for (int i = 0; i < 5; ++i) {
            const std::vector<uint8_t> got = Read(200);
            // Every chunk is a run of the file from a chunk boundary: the
            // replay continues or starts again, it never reads garbage.
            bool found = got.empty();
            for (size_t from = 0; !found && from + got.size() <= recording.size(); from += 200)
                found = got == Slice(from, got.size());
            bad += found ? 0 : 1;
        }
        stop = true;
        return bad;
    });
    while (!stop) {
        port->Uninitialize();
        std::this_thread::sleep_for(std::chrono::milliseconds(70));
    }
    EXPECT_EQ(reader.get(), 0);
}

}  // namespace
