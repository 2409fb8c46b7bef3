// DeviceManager's RTK and NMEA-output requests against the simulated receiver
// (a NovAtel board, firmware V8.1): each sends exactly its frames, in order.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "ManagerSimSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include <string>
#include <vector>

namespace {

constexpr int kCom = 8;

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct Frame {
    std::string letters;
    Bytes payload;
    bool operator==(const Frame&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Frame& f) {
    os << f.letters;
    for (uint8_t b : f.payload) os << ' ' << std::hex << int(b);
    return os;
}

class DeviceManagerRtkSimTest : public ConnectedManagerTest {
protected:
    // Device type 2: initialised as soon as the device information came.
    DeviceManagerRtkSimTest() : ConnectedManagerTest(kCom, 2) {}
    void SetUp() override {
        ConnectedManagerTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->boardType() == 2; }, 5000));
        ASSERT_TRUE(manager_->versionFlag());
    }

    // The frames the receiver got after `from`, but the periodic-output
    // switch that the receiver object sends on its own ("RG").
    std::vector<Frame> FramesAfter(size_t from) const {
        std::vector<Frame> out;
        const auto all = sim_->Received();
        for (size_t i = from; i < all.size(); ++i)
            if (all[i].letters != "RG") out.push_back({all[i].letters, all[i].payload});
        return out;
    }
    std::vector<Frame> WaitForFrames(size_t from, size_t count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return FramesAfter(from).size() >= count; }, 10000));
        return FramesAfter(from);
    }
    // Waits until the receiver object's queue is quiet, seen from the line:
    // for 300 ms nothing has reached the receiver but the periodic-output
    // switch (what connecting queued has all gone out). Then marks the place.
    size_t Mark() {
        size_t count = FramesAfter(0).size();
        QElapsedTimer quiet;
        quiet.start();
        const bool settled = QTest::qWaitFor(
            [&] {
                const size_t now = FramesAfter(0).size();
                if (now != count) {
                    count = now;
                    quiet.restart();
                }
                return quiet.elapsed() >= 300;
            },
            10000);
        EXPECT_TRUE(settled) << "the line never fell quiet";
        return sim_->Received().size();
    }

};

// Output mode 1, automatic base (start type 1) 4660 m away, transmit port 2,
// format 3, elevation mask 15, 5 Hz: the settings, the receiver's rate and
// the NovAtel board's position log relayed. This old-protocol receiver takes
// the elevation mask first by its own commands: the receiver's setting, the
// board's GPS and GLONASS cutoffs with its mask log, and "SW,B1,B15".
TEST_F(DeviceManagerRtkSimTest, RtkParametersGoOutInOrder) {
    const size_t from = Mark();
    manager_->setRtkParams(1, 1, 0x1234, 2, 3, 15, Fjarnis2011::FJParse::GNSS_FRQ_5HZ);
    const std::vector<Frame> want = {
        {"SJ", {0x38, 15}},          // elevation mask
        {"RZ", Text("ecutoff 15\r\n")},
        {"RZ", Text("gloecutoff 15\r\n")},
        {"RZ", Text("log psrdopb ontime 5\r\n")},
        {"SW", {0x01, 15}},          // the mask again, "SW,B1,B15"
        {"SJ", {0x28, 1}},           // output mode
        {"SJ", {0x60, 1}},           // start type
        {"SJ", {0x61, 0x34, 0x12}},  // automatic base distance, low byte first
        {"SJ", {0x3E, 2}},           // transmit port
        {"SJ", {0x3F, 3}},           // transmit format
        {"SW", {0x00, 0x05}},        // the receiver's 5 Hz
        {"RZ", Text("log bestposb ontime 0.2\r\n")},
    };
    EXPECT_EQ(WaitForFrames(from, want.size()), want);
    QTest::qWait(500);
    EXPECT_EQ(FramesAfter(from).size(), want.size()) << "nothing more";
    // The board's mask log reports the cutoff just set.
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager_->elevationMask() == 15u; }, 5000))
        << manager_->elevationMask();
}

// Start type 0 sends no distance; 1 Hz is "SW,B0,B1".
TEST_F(DeviceManagerRtkSimTest, NoDistanceWithoutTheAutomaticBase) {
    const size_t from = Mark();
    manager_->setRtkParams(0, 0, 500, 1, 0, 10, Fjarnis2011::FJParse::GNSS_FRQ_1HZ);
    const std::vector<Frame> want = {
        {"SJ", {0x38, 10}}, {"RZ", Text("ecutoff 10\r\n")}, {"RZ", Text("gloecutoff 10\r\n")},
        {"RZ", Text("log psrdopb ontime 5\r\n")}, {"SW", {0x01, 10}},
        {"SJ", {0x28, 0}}, {"SJ", {0x60, 0}}, {"SJ", {0x3E, 1}}, {"SJ", {0x3F, 0}},
        {"SW", {0x00, 0x01}}, {"RZ", Text("log bestposb ontime 1\r\n")},
    };
    EXPECT_EQ(WaitForFrames(from, want.size()), want);
}

// The NMEA output with rates: the board's lines relayed, then "RF" with the
// receiver's mask and the port, then "RD" with each sentence's rate.
TEST_F(DeviceManagerRtkSimTest, NmeaOutputGoesOutInOrder) {
    const size_t from = Mark();
    // GPGGA 1 Hz, GPGSV every 5 s, GPALM every 10 s (a NovAtel sentence).
    std::vector<Fjarnis2011::FJParse::_set_nmea> list = {{0x1, 3}, {0x40, 5}, {0x800, 6}};
    manager_->setOrvelNmea(list, true, 3);
    const std::vector<Frame> want = {
        {"RZ", Text("LOG GPGGA ONTIME 1.0\r\n")},
        {"RZ", Text("LOG GPGSV ONTIME 5.0\r\n")},
        {"RZ", Text("LOG GPALM ONTIME 10.0\r\n")},
        // mask 0x0103 (high byte first), port 3
        {"RF", {0x01, 0x03, 0x03}},
        // on, mask, port, A = 03 05 00 00, B = 0, C = 0, D = 0x0006 (high byte first)
        {"RD", {0x01, 0x01, 0x03, 0x03, 0x03, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06}},
    };
    EXPECT_EQ(WaitForFrames(from, want.size()), want);
}

}  // namespace

// The board's elevation mask, reported in its PSRDOP log with the periodic
// output, arrives as its own signal with the value in the cache.
TEST_F(DeviceManagerRtkSimTest, BoardElevationMaskArrivesAsItsSignal) {
    sim_->Update([](sim::SimSettings& s) { s.periodicPayload = sim::NovAtelPsrDopLog(17.0f); });
    QObject context;
    int announced = 0;
    QObject::connect(DeviceObserver::instance(), &DeviceObserver::elevMask, &context, [&] { ++announced; });
    EXPECT_EQ(manager_->elevationMask(), 0u);
    manager_->send200Data(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return announced > 0; }, 10000));
    EXPECT_EQ(manager_->elevationMask(), 17u);
}
