// The command queue and the writing thread: the 40-record limit, the order
// and exact length of every write, the pause after each record, a close in
// the middle of a pause, and the cutting of raw data into records.

#include "tests/device/ReceiverTestSupport.h"

#include <gtest/gtest.h>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;

TEST(CommandQueue, AStalledWriterKeepsTheFirstFortyRecordsInOrder) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();

    // The writer takes one record and hangs inside the port with it.
    world.With([&] { port->stallWrites = true; });
    std::vector<_STR_CMD> first{Record(3, 0, 0xE0)};
    rx.Cmds_Write(first);
    ASSERT_TRUE(world.WaitUntil([&] { return port->writesEntered == 1; }));

    // Three vectors of 20 records, each of its own length and contents.
    std::vector<_STR_CMD> sent;
    for (int v = 0; v < 3; ++v) {
        std::vector<_STR_CMD> batch;
        for (int r = 0; r < 20; ++r) {
            const int i = v * 20 + r;
            batch.push_back(Record(uint32_t(1 + i * 8), 0, uint8_t(i)));
        }
        rx.Cmds_Write(batch);
        EXPECT_EQ(batch.size(), 20u);  // the caller's vector is left as it was
        sent.insert(sent.end(), batch.begin(), batch.end());
    }

    world.With([&] {
        port->stallWrites = false;
        world.changed.notify_all();
    });
    // The queue is full: the sentinel of Drain fits only once it has emptied.
    ASSERT_TRUE(world.WaitUntil([&] { return port->writes.size() >= 41; }));
    Drain(rx, world, port);

    const std::vector<Bytes> writes = world.With([&] { return port->writes; });
    ASSERT_EQ(writes.size(), 1u + 40u + 1u) << "the last 20 records must have been dropped";
    EXPECT_EQ(writes[0], Payload(first[0]));
    for (size_t i = 0; i < 40; ++i) EXPECT_EQ(writes[1 + i], Payload(sent[i])) << "record " << i;
    EXPECT_TRUE(rx.Port_Close());
}

TEST(CommandQueue, TheWriterPausesEachRecordsDelayCappedAt3000) {
    const struct {
        uint32_t delay;
        uint32_t pause;
    } rows[] = {{0, 0},       {10, 10},       {100, 100},   {2000, 2000},
                {3000, 3000}, {3001, 3000},   {10000, 3000}, {0xFFFFFFFFu, 3000}};
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    std::vector<_STR_CMD> records;
    for (const auto& row : rows) records.push_back(Record(2, row.delay));
    rx.Cmds_Write(records);
    Drain(rx, world, world.Port());

    // The sentinel's own pause follows its write.
    ASSERT_TRUE(world.WaitUntil([&] { return world.pauses.size() == std::size(rows) + 1; }));
    const std::vector<uint32_t> pauses = world.With([&] { return world.pauses; });
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(pauses[i], rows[i].pause) << rows[i].delay;
    EXPECT_TRUE(rx.Port_Close());
}

// The pause is a wait on the exit event: a close cuts it short, and the
// records behind it are never written.
TEST(CommandQueue, CloseDuringALongPauseEndsItAndDropsTheRest) {
    FakeWorld world;
    world.realPauses = true;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();

    std::vector<_STR_CMD> records{Record(4, 10000, 0x10), Record(4, 10, 0x20), Record(4, 10, 0x30)};
    rx.Cmds_Write(records);
    ASSERT_TRUE(world.WaitUntil([&] { return world.pausesStarted == 1; }));
    EXPECT_EQ(world.With([&] { return world.pauses[0]; }), 3000u);

    EXPECT_TRUE(rx.Port_Close());
    world.With([&] {
        ASSERT_EQ(world.pauseEndedByExit.size(), 1u);
        EXPECT_TRUE(world.pauseEndedByExit[0]) << "the pause ran out instead of ending with the close";
        ASSERT_EQ(port->writes.size(), 1u);
        EXPECT_EQ(port->writes[0], Payload(records[0]));
        EXPECT_TRUE(port->uninitialised);
        EXPECT_TRUE(port->freed);
    });
}

TEST(CommandQueue, RawDataGoesOutInRecordsOf512) {
    const struct {
        unsigned length;
        std::vector<size_t> records;
    } rows[] = {{0, {}}, {1, {1}}, {512, {512}}, {513, {512, 1}}, {1024, {512, 512}}, {1300, {512, 512, 276}}};
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();

    Bytes data(1300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7 + 3);
    for (const auto& row : rows) {
        const size_t before = world.With([&] { return port->writes.size(); });
        rx.Send_DataToPort(data.data(), row.length);
        Drain(rx, world, port);
        // Each write is followed by its pause: the n-th pause is that of the
        // n-th write.
        ASSERT_TRUE(world.WaitUntil([&] { return world.pauses.size() == port->writes.size(); }));
        world.With([&] {
            ASSERT_EQ(port->writes.size(), before + row.records.size() + 1) << row.length;
            Bytes joined;
            for (size_t i = 0; i < row.records.size(); ++i) {
                const Bytes& w = port->writes[before + i];
                EXPECT_EQ(w.size(), row.records[i]) << row.length;
                EXPECT_EQ(world.pauses[before + i], 100u);
                joined.insert(joined.end(), w.begin(), w.end());
            }
            EXPECT_EQ(joined, Bytes(data.begin(), data.begin() + row.length));
        });
    }

    // No data: nothing, whatever the length says.
    const size_t before = world.With([&] { return port->writes.size(); });
    rx.Send_DataToPort(nullptr, 100);
    Drain(rx, world, port);
    EXPECT_EQ(world.With([&] { return port->writes.size(); }), before + 1);

    // More than the queue can hold: the first 40 records, in order.
    Bytes big(512 * 45 + 9);
    for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i / 512);
    world.With([&] { port->stallWrites = true; });
    std::vector<_STR_CMD> hold{Record(1, 0, 0x77)};
    rx.Cmds_Write(hold);
    ASSERT_TRUE(world.WaitUntil([&] { return port->writesEntered == int(before) + 2; }));
    rx.Send_DataToPort(big.data(), unsigned(big.size()));
    world.With([&] {
        port->stallWrites = false;
        world.changed.notify_all();
    });
    ASSERT_TRUE(world.WaitUntil([&] { return port->writes.size() >= before + 2 + 40; }));
    Drain(rx, world, port);
    world.With([&] {
        ASSERT_EQ(port->writes.size(), before + 1 + 1 + 40 + 1);
        for (size_t i = 0; i < 40; ++i) EXPECT_EQ(port->writes[before + 2 + i], Bytes(512, uint8_t(i)));
    });
    EXPECT_TRUE(rx.Port_Close());
}

// A record's length comes from its builder: more than its 512 data bytes is
// cut to the data, and an empty record writes nothing but keeps its pause.
TEST(CommandQueue, ARecordWritesNoMoreThanItsData) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();
    std::vector<_STR_CMD> records{Record(0, 20), Record(600, 30, 9), Record(0xFFFFFFFFu, 40, 3)};
    rx.Cmds_Write(records);
    Drain(rx, world, port);
    ASSERT_TRUE(world.WaitUntil([&] { return world.pauses.size() == 4; }));
    world.With([&] {
        ASSERT_EQ(port->writes.size(), 3u);
        EXPECT_EQ(port->writes[0], Bytes(records[1].data, records[1].data + 512));
        EXPECT_EQ(port->writes[1], Bytes(records[2].data, records[2].data + 512));
        EXPECT_EQ(world.pauses, (std::vector<uint32_t>{20, 30, 40, 0}));
    });
    EXPECT_TRUE(rx.Port_Close());
}

// Correction data goes out in the frames the protocol object makes for the
// attached receiver, unchanged and in order.
TEST(CommandQueue, CorrectionDataGoesOutInTheProtocolObjectsFrames) {
    FakeWorld world;
    TestReceiver rx(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, &world);
    ASSERT_TRUE(rx.Port_Open(Com(3)));
    FakePort* port = world.Port();
    Bytes data(1100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 13 + 1);
    const auto expected = Expected(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, COM_STATUS_SERIAL,
                                   [&](Em_Gnss& g, std::vector<_STR_CMD>& v) {
                                       g.Send_DiffDataToGnss(v, data.data(), unsigned(data.size()));
                                   });
    ASSERT_FALSE(expected.empty());
    rx.Send_DiffDataToGnss(data.data(), unsigned(data.size()));
    rx.Send_DiffDataToGnss(nullptr, 10);
    rx.Send_DiffDataToGnss(data.data(), 0);
    Drain(rx, world, port);
    world.With([&] {
        ASSERT_EQ(port->writes.size(), expected.size() + 1);
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(port->writes[i], Payload(expected[i]));
    });
    EXPECT_TRUE(rx.Port_Close());
}
