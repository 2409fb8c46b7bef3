// The receiver object's port settings, the road of received bytes to the data
// callback, and the board and manufacturer resets on the writing thread.

#include "tests/device/ReceiverTestSupport.h"

#include <gtest/gtest.h>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;

namespace {

// Waits for two more reads, so that at least one whole read began after the
// caller's change, and returns the size the last one asked for.
unsigned NextReadSize(FakeWorld& world, FakePort* port) {
    const int seen = world.With([&] { return port->readsEntered; });
    EXPECT_TRUE(world.WaitUntil([&] { return port->readsEntered >= seen + 2; }));
    return world.With([&] { return port->lastReadSize; });
}

}  // namespace

TEST(ReceiverPort, SetBufTakesOneTo2047BytesAndOnlyWithAPort) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    rx.Port_SetBuf(512);  // no port yet: nothing changes
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();
    EXPECT_EQ(NextReadSize(world, port), 2048u);

    const struct {
        unsigned size;
        unsigned reads;
    } rows[] = {
        {512, 512},    // every later read asks for 512
        {0, 512},      // refused: a read of nothing would never take anything in
        {2048, 512},   // not below the buffer: refused
        {4096, 512},
        {1, 1},
        {2047, 2047},
    };
    for (const auto& row : rows) {
        rx.Port_SetBuf(row.size);
        EXPECT_EQ(NextReadSize(world, port), row.reads) << row.size;
    }
    EXPECT_TRUE(rx.Port_Close());
}

TEST(ReceiverPort, SetBaudPassesOnlyTheReceiversRates) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    for (unsigned baud : {57600u, 2400u, 4800u, 0u, 9600u, 19200u, 115200u, 38400u, 1200u})
        rx.Port_SetBaud(baud);
    const std::vector<std::string> expected{"baud 2400", "baud 4800", "baud 9600", "baud 19200", "baud 38400"};
    EXPECT_EQ(world.With([&] { return world.log; }), expected);
}

TEST(ReceiverPort, ReceivedFramesReachTheDataCallbackOnTheProcessingThread) {
    CallbackRecorder& rec = CallbackRecorder::Get();
    rec.Clear();
    const std::string gga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n";

    // With no table registered the same bytes are parsed without a call.
    {
        FakeWorld world;
        TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
        ASSERT_TRUE(rx.Port_Open(Com(3)));
        FakePort* port = world.Port();
        world.With([&] { port->incoming.assign(gga.begin(), gga.end()); });
        const int seen = world.With([&] { return port->readsEntered; });
        ASSERT_TRUE(world.WaitUntil([&] { return port->incoming.empty() && port->readsEntered > seen + 1; }));
        EXPECT_TRUE(rx.Port_Close());
        EXPECT_EQ(rec.Count(false), 0u);
    }

    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    rx.RegisterCbs_Receiver(CallbackRecorder::Table(), &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();
    // Three sentences arriving in pieces of any size.
    std::string stream = gga + gga.substr(0, 20);
    world.With([&] { port->incoming.assign(stream.begin(), stream.end()); });
    ASSERT_TRUE(rec.WaitUntil([&] { return rec.events.size() == 1; }));
    const std::string rest = gga.substr(20) + gga;
    world.With([&] { port->incoming.insert(port->incoming.end(), rest.begin(), rest.end()); });
    ASSERT_TRUE(rec.WaitUntil([&] { return rec.events.size() == 3; }));
    EXPECT_TRUE(rx.Port_Close());

    for (const CallbackEvent& e : rec.events) {
        EXPECT_FALSE(e.oem);
        EXPECT_EQ(e.messageClass, MSG_TYPE_GNSS);
        EXPECT_NE(e.bits, 0u);
        EXPECT_EQ(e.context, nullptr) << "the receiver object hands the protocol object no context";
        EXPECT_NE(e.thread, std::this_thread::get_id());
        EXPECT_EQ(e.thread, rec.events[0].thread);
    }
}

TEST(ReceiverPort, ResetsRunOnTheWritingThreadAndAnnounceTheChange) {
    CallbackRecorder& rec = CallbackRecorder::Get();
    rec.Clear();
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);

    // Closed: no protocol object, nothing to change.
    rx.ReSetGnsMd(MAINBD_UNICORE);
    rx.ReSetMnfctr(GNSS_MNFCTR_ORVEL);
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_ORVEL_NEW);
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_NONE);

    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_OTHER);
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_NMEA_ONLY);

    // The same board type still runs the reset.
    rx.ReSetGnsMd(MAINBD_NMEA_ONLY);
    ASSERT_TRUE(rec.WaitUntil([&] { return rec.events.size() == 1; }));
    rx.ReSetGnsMd(MAINBD_UNICORE);
    ASSERT_TRUE(rec.WaitUntil([&] { return rec.events.size() == 2; }));
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_UNICORE);

    // The manufacturer it already has: no reset. The writer serves a reset
    // before a write, so once the sentinel is out no reset is pending.
    rx.ReSetMnfctr(GNSS_MNFCTR_OTHER);
    std::vector<_STR_CMD> sentinel{Record(1, 0)};
    rx.Cmds_Write(sentinel);
    ASSERT_TRUE(world.WaitUntil([&] { return port->writes.size() == 1; }));
    EXPECT_EQ(rec.Count(true), 2u);

    EXPECT_TRUE(rx.Port_Close());
    for (const CallbackEvent& e : rec.events) {
        EXPECT_TRUE(e.oem);
        EXPECT_TRUE(e.changed);
        EXPECT_EQ(e.context, nullptr);
        EXPECT_NE(e.thread, std::this_thread::get_id());
    }
}
