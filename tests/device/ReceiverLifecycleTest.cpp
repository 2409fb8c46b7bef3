// Opening, closing, reopening and destroying a receiver object: which state
// each step leaves, that every port made is uninitialised and freed, that
// every thread started is joined (ASan and ThreadSanitizer watch the rest).

#include "tests/device/ReceiverTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;
using Fjarnis2011::FJComm::PARAM_BT;
using Fjarnis2011::FJComm::PARAM_SOCK;

namespace {

// Every port the world made is uninitialised and freed.
void ExpectAllPortsReleased(FakeWorld& world) {
    world.With([&] {
        for (size_t i = 0; i < world.ports.size(); ++i) {
            EXPECT_TRUE(world.ports[i]->uninitialised) << "port " << i;
            EXPECT_TRUE(world.ports[i]->freed) << "port " << i;
        }
    });
}

// The reading thread works the port: reads keep coming.
bool IsBeingRead(FakeWorld& world, FakePort* port) {
    const int seen = world.With([&] { return port->readsEntered; });
    return world.WaitUntil([&] { return port->readsEntered > seen + 1; });
}

}  // namespace

TEST(ReceiverLifecycle, CloseOnANeverOpenedObjectSucceeds) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &world);
    EXPECT_FALSE(rx.IsPortOpen());
    EXPECT_TRUE(rx.Port_Close());
    EXPECT_TRUE(rx.Port_Close());
    EXPECT_TRUE(world.log.empty());
}

TEST(ReceiverLifecycle, ARefusedPortLeavesTheObjectPreparedUntilClose) {
    FakeWorld world;
    world.createResult = 4;  // the COM port cannot be opened
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    EXPECT_FALSE(rx.Port_Open(Com(3)));
    EXPECT_FALSE(rx.IsPortOpen());
    // The protocol object stays: the type is fixed and opening is refused
    // without asking the port library again.
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_OTHER);
    EXPECT_FALSE(rx.setReceiverType(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM));
    world.createResult = 0;
    EXPECT_FALSE(rx.Port_Open(Com(3)));
    EXPECT_EQ(world.createSettings.size(), 1u);

    EXPECT_TRUE(rx.Port_Close());
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_NONE);
    EXPECT_TRUE(rx.setReceiverType(GNSS_MNFCTR_OTHER, MAINBD_UNICORE));
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    EXPECT_TRUE(rx.IsPortOpen());
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_UNICORE);
    EXPECT_TRUE(IsBeingRead(world, world.Port()));
    EXPECT_TRUE(rx.Port_Close());
    EXPECT_FALSE(rx.IsPortOpen());
    ExpectAllPortsReleased(world);
}

TEST(ReceiverLifecycle, ASecondOpenIsRefusedAndLeavesTheFirstLinkAlone) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* first = world.Port();
    EXPECT_FALSE(rx.Port_Open(Com(5)));
    EXPECT_FALSE(rx.Port_Open(PARAM_SOCK{}));
    EXPECT_FALSE(rx.setReceiverType(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM));
    EXPECT_EQ(world.With([&] { return world.ports.size(); }), 1u);
    EXPECT_TRUE(rx.IsPortOpen());
    EXPECT_TRUE(IsBeingRead(world, first));
    EXPECT_TRUE(rx.Port_Close());
    ExpectAllPortsReleased(world);
}

TEST(ReceiverLifecycle, EachPortKindReachesThePortLibraryWithItsSettings) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);

    ASSERT_TRUE(rx.Port_Open(Com(3, 115200)));
    ASSERT_TRUE(rx.Port_Close());
    PARAM_BT bt;
    bt.port = 9;
    bt.baud = 38400;
    ASSERT_TRUE(rx.Port_Open(bt));
    ASSERT_TRUE(rx.Port_Close());
    PARAM_SOCK sock;
    sock.address = 0x0100007F;  // 127.0.0.1
    sock.port = 2101;
    ASSERT_TRUE(rx.Port_Open(sock));
    ASSERT_TRUE(rx.Port_Close());
    ASSERT_TRUE(rx.Port_Open("/tmp/capture.bin"));
    ASSERT_TRUE(rx.Port_Close());
    // A null path opens the path given last.
    ASSERT_TRUE(rx.Port_Open(static_cast<const char*>(nullptr)));
    ASSERT_TRUE(rx.Port_Close());
    // A path that would not fit is refused before anything happens.
    const std::string longPath(256, 'p');
    EXPECT_FALSE(rx.Port_Open(longPath.c_str()));
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_NONE);
    ASSERT_TRUE(rx.Port_Open(std::string(255, 'q').c_str()));
    ASSERT_TRUE(rx.Port_Close());

    const std::vector<std::string> created{"create 0", "create 1", "create 2", "create 3", "create 3", "create 3"};
    std::vector<std::string> seen;
    for (const auto& e : world.log)
        if (e.rfind("create", 0) == 0) seen.push_back(e);
    EXPECT_EQ(seen, created);
    const auto& s = world.createSettings;
    // PARAM_COM: port byte, then the baud rate at offset 4, low byte first.
    EXPECT_EQ(s[0][0], 3);
    EXPECT_EQ(s[0][4] | s[0][5] << 8 | s[0][6] << 16, 115200);
    EXPECT_EQ(s[0][8], 8);  // data bits
    EXPECT_EQ(s[1][0], 9);
    EXPECT_EQ(s[1][4] | s[1][5] << 8, 38400);
    EXPECT_EQ(s[2], (Bytes{0x7F, 0, 0, 1, 0x35, 0x08, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(std::string(s[3].begin(), s[3].end()), "/tmp/capture.bin");
    EXPECT_EQ(std::string(s[4].begin(), s[4].end()), "/tmp/capture.bin");
    EXPECT_EQ(s[5].size(), 255u);
    ExpectAllPortsReleased(world);
}

TEST(ReceiverLifecycle, ReOpenClosesTheOldLinkAndOpensWithTheNewSettings) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3, 9600)));
    FakePort* first = world.Port();
    ASSERT_TRUE(rx.Port_ReOpen(Com(4, 19200)));
    FakePort* second = world.Port();
    ASSERT_NE(first, second);
    world.With([&] {
        EXPECT_TRUE(first->uninitialised);
        EXPECT_TRUE(first->freed);
        EXPECT_EQ(world.createSettings[1][0], 4);
        EXPECT_EQ(world.createSettings[1][4] | world.createSettings[1][5] << 8, 19200);
    });
    EXPECT_TRUE(IsBeingRead(world, second));
    EXPECT_TRUE(rx.Port_Close());
    ExpectAllPortsReleased(world);
}

// A thread that cannot be started fails the open: the threads already
// running are stopped and joined and the port is released.
TEST(ReceiverLifecycle, AThreadThatCannotStartFailsTheOpen) {
    for (int refused = 0; refused < 3; ++refused) {
        FakeWorld world;
        world.failThreadStart = refused;
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        EXPECT_FALSE(rx.Port_Open(Com(3))) << refused;
        EXPECT_FALSE(rx.IsPortOpen());
        ExpectAllPortsReleased(world);
        EXPECT_FALSE(rx.Port_Open(Com(3))) << "prepared until closed";
        EXPECT_TRUE(rx.Port_Close());
        ASSERT_TRUE(rx.Port_Open(Com(3))) << refused;
        EXPECT_TRUE(IsBeingRead(world, world.Port()));
        EXPECT_TRUE(rx.Port_Close());
        ExpectAllPortsReleased(world);
    }
}

// A port whose read waits (a TCP receive) or whose write hangs does not hold
// up the close.
TEST(ReceiverLifecycle, CloseReleasesAReadOrWriteWaitingInsideThePort) {
    {
        FakeWorld world;
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        ASSERT_TRUE(rx.Port_Open(PARAM_SOCK{}));
        FakePort* port = world.Port();
        const int seen = world.With([&] {
            port->blockReads = true;
            return port->readsEntered;
        });
        ASSERT_TRUE(world.WaitUntil([&] { return port->readsEntered > seen; }));
        EXPECT_TRUE(rx.Port_Close());
        ExpectAllPortsReleased(world);
    }
    {
        FakeWorld world;
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        ASSERT_TRUE(rx.Port_Open(Com(3)));
        FakePort* port = world.Port();
        world.With([&] { port->stallWrites = true; });
        std::vector<_STR_CMD> records{Record(5, 0), Record(6, 0)};
        rx.Cmds_Write(records);
        ASSERT_TRUE(world.WaitUntil([&] { return port->writesEntered == 1; }));
        EXPECT_TRUE(rx.Port_Close());
        EXPECT_EQ(world.With([&] { return port->writesEntered; }), 1) << "queued records are dropped";
        ExpectAllPortsReleased(world);
    }
}

TEST(ReceiverLifecycle, TwoHundredOpenCloseCycles) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
    unsigned char byte = 0x42;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(rx.Port_Open(Com(uint8_t(1 + i % 8)))) << i;
        rx.Send_DataToPort(&byte, 1);
        if (i % 10 == 0) rx.ReSetGnsMd(MAINBD_UNICORE);
        ASSERT_TRUE(rx.Port_Close()) << i;
    }
    EXPECT_EQ(world.With([&] { return world.ports.size(); }), 200u);
    ExpectAllPortsReleased(world);
}

TEST(ReceiverLifecycle, DestroyingAnOpenObjectClosesItFirst) {
    FakeWorld world;
    {
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        ASSERT_TRUE(rx.Port_Open(Com(3)));
        FakePort* port = world.Port();
        world.With([&] {
            port->stallWrites = true;
            port->incoming.assign(50, '$');
        });
        std::vector<_STR_CMD> records{Record(5, 1000), Record(6, 1000)};
        rx.Cmds_Write(records);
        ASSERT_TRUE(world.WaitUntil([&] { return port->writesEntered == 1; }));
    }
    ExpectAllPortsReleased(world);

    // The protocol object of a failed open goes with the object too (the
    // leak checker watches).
    world.createResult = 4;
    {
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        EXPECT_FALSE(rx.Port_Open(Com(3)));
    }
}

// A callback runs on one of the object's threads, which cannot wait for
// itself: a close from there is refused and the owner's close still works.
TEST(ReceiverLifecycle, CloseFromInsideACallbackIsRefused) {
    CallbackRecorder& rec = CallbackRecorder::Get();
    rec.Clear();
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    std::atomic<int> result{-1};
    rec.OnOemDo([&] {
        const int closed = rx.Port_Close() ? 1 : 0;
        std::lock_guard<std::mutex> lock(rec.mutex);
        result = closed;
        rec.changed.notify_all();
    });
    rx.ReSetGnsMd(MAINBD_UNICORE);
    ASSERT_TRUE(rec.WaitUntil([&] { return result.load() != -1; }));
    EXPECT_EQ(result.load(), 0);
    EXPECT_TRUE(rx.IsPortOpen());
    EXPECT_TRUE(rx.Port_Close());
    rec.Clear();
    ExpectAllPortsReleased(world);
}
