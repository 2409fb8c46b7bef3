// The protocol object between the device object's threads: the reading
// thread appends while the processing side parses, switches the manufacturer
// and board and clears the buffer, and another thread opens and closes the
// record file. Run under ThreadSanitizer (-DBRANTOR_SANITIZE=thread) it must
// be clean; in any build it must neither crash nor lose its way.
#include "protocol/Em_Gnss.h"

#include "TestData.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

using namespace Fjarnis2011::FJParse;

namespace {
std::atomic<int> g_callbacks{0};
void OnData(int, unsigned, const void*) { g_callbacks.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

TEST(FacadeThreads, ReadingAgainstParsingResettingAndRecording) {
    const std::vector<uint8_t> data = LoadCapture("nmea-rtk.log");
    ASSERT_FALSE(data.empty());
    const auto dir = std::filesystem::temp_directory_path() / ("brantor-threads-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string recordPath = (dir / "rec.bin").string();

    Em_Gnss g(GNSS_MNFCTR_OTHER, MAINBD_UNICORE);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    g_callbacks = 0;
    std::atomic<bool> readingDone{false};

    std::thread reader([&] {
        for (int round = 0; round < 40; ++round)
            for (size_t at = 0; at < data.size(); at += 97) {
                const size_t n = std::min<size_t>(97, data.size() - at);
                g.RcvData(data.data() + at, unsigned(n));
            }
        readingDone = true;
    });
    std::thread recorder([&] {
        while (!readingDone) {
            g.SetRcrdData(true, recordPath.c_str());
            std::this_thread::yield();
            g.SetRcrdData(false, nullptr);
        }
    });

    // The processing side, as the device object runs it under its protocol
    // lock: parse, and now and then switch the board or the manufacturer or
    // drop the buffer.
    for (int pass = 0; !readingDone; ++pass) {
        g.ParseData();
        if (pass % 97 == 0) {
            const MAINBD_OEM_TYPE board = g.Get_GnsMd();
            g.Reset_Mnfctr(GNSS_MNFCTR_OTHER);
            g.Reset_GnsMd(board);
            g.Data_Clear();
            g.IsOemChanged(true);
        } else if (pass % 31 == 0) {
            g.Reset_GnsMd(pass % 2 ? MAINBD_NMEA_ONLY : MAINBD_UNICORE);
        } else if (pass % 53 == 0) {
            g.Data_Clear();
        }
    }
    reader.join();
    recorder.join();
    g.SetRcrdData(false, nullptr);

    // Still whole afterwards: a clean sentence is decoded and announced.
    g.Reset_GnsMd(MAINBD_UNICORE);
    g.Data_Clear();
    g_callbacks = 0;
    const std::string gga =
        "$GNGGA,132819.60,4134.49795459,N,09345.03431408,W,2,10,0.9,278.161,M,-31.442,M,6.6,0133*6A\r\n";
    g.RcvData(reinterpret_cast<const unsigned char*>(gga.data()), unsigned(gga.size()));
    g.ParseData();
    EXPECT_EQ(g_callbacks.load(), 1);
    std::filesystem::remove_all(dir);
}
