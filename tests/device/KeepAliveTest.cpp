// The reading thread's keep-alive: the protocol object's own "periodic data
// on" command on the first reading pass and on every 170th pass after it,
// only for the maker's old-protocol boards, and never while Send_200Data(false)
// holds it off.

#include "device/KeepAliveCounter.h"
#include "tests/device/ReceiverTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;
using Fjarnis2011::FJDevice::KeepAliveCounter;

namespace {

// A receiver whose reading passes the test counts out one by one.
struct PassRig {
    FakeWorld world;
    TestReceiver rx;
    FakePort* port = nullptr;
    int passes = 0;

    PassRig(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t) : rx(m, t, &world) {
        world.standInBoards = true;
        world.gateNewPorts = true;
        KeepAliveCounter() = EmGnss_Receiver::kKeepAlivePasses;  // as at process start
        EXPECT_TRUE(rx.Port_Open(Com(3)));
        port = world.Port();
        // The reading thread waits inside its first read.
        EXPECT_TRUE(world.WaitUntil([&] { return port->readsEntered == 1; }));
    }

    // Lets n passes run to their end (the thread is inside the next read).
    void Pass(int n) {
        world.With([&] {
            port->grantedPasses += n;
            world.changed.notify_all();
        });
        passes += n;
        ASSERT_TRUE(world.WaitUntil([&] { return port->readsEntered == passes + 1; }));
    }

    // Writes of exactly these bytes so far (after draining the queue).
    size_t Sent(const Bytes& bytes) {
        Drain(rx, world, port);
        return world.With([&] { return size_t(std::count(port->writes.begin(), port->writes.end(), bytes)); });
    }
};

Bytes PeriodicCommand(MAINBD_OEM_TYPE t, bool on) {
    const auto records = Expected(GNSS_MNFCTR_ORVEL, t, COM_STATUS_SERIAL,
                                  [on](Em_Gnss& g, std::vector<_STR_CMD>& v) { g.Get_200Data(v, on); });
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? Bytes{} : Payload(records[0]);
}

}  // namespace

TEST(KeepAlive, GoesOutOnTheFirstPassAndThenEvery170th) {
    PassRig rig(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    const Bytes on = PeriodicCommand(MAINBD_NOVATEL_OEM, true);
    const Bytes off = PeriodicCommand(MAINBD_NOVATEL_OEM, false);
    ASSERT_FALSE(on.empty());
    ASSERT_NE(on, off);

    EXPECT_EQ(rig.Sent(on), 0u) << "nothing before the first pass";
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 1u) << "the first pass sends at once";
    rig.Pass(169);
    EXPECT_EQ(rig.Sent(on), 1u);
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 2u) << "pass 171";
    rig.Pass(169);
    EXPECT_EQ(rig.Sent(on), 2u);
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 3u) << "pass 341";

    // Off: the receiver is told so, and the reading thread keeps quiet.
    rig.rx.Send_200Data(false);
    EXPECT_EQ(rig.Sent(off), 1u);
    rig.Pass(400);
    EXPECT_EQ(rig.Sent(on), 3u);

    // On again: sent at once, and the count goes on where it stood.
    rig.rx.Send_200Data(true);
    EXPECT_EQ(rig.Sent(on), 4u);
    rig.Pass(169);
    EXPECT_EQ(rig.Sent(on), 4u);
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 5u);
    EXPECT_TRUE(rig.rx.Port_Close());
}

// A port without a wait of its own does not stand for passes: time the
// reading thread loses around the call (a loaded machine) counts for nothing.
TEST(KeepAlive, TimeLostOnAPortWithoutAWaitIsNoPass) {
    PassRig rig(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    const Bytes on = PeriodicCommand(MAINBD_NOVATEL_OEM, true);
    rig.world.With([&] { rig.port->lostMsWithoutWait = 3; });
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 1u);
    rig.Pass(169);
    EXPECT_EQ(rig.Sent(on), 1u) << "170 passes, however long they took";
    rig.Pass(1);
    EXPECT_EQ(rig.Sent(on), 2u);
    EXPECT_TRUE(rig.rx.Port_Close());
}

// The maker's new-protocol board has no periodic output to keep alive, and
// other makers' receivers are not the maker's: not a byte in 400 passes, and
// Send_200Data writes nothing to the new-protocol board either.
TEST(KeepAlive, NeverForTheNewProtocolBoardOrOtherMakers) {
    const struct {
        GNSS_MANUFACTURER m;
        MAINBD_OEM_TYPE t;
    } rows[] = {{GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW}, {GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM},
                {GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY}};
    for (const auto& row : rows) {
        PassRig rig(row.m, row.t);
        rig.Pass(1);
        rig.Pass(400);
        if (row.t == MAINBD_ORVEL_NEW) rig.rx.Send_200Data(true);
        Drain(rig.rx, rig.world, rig.port);
        EXPECT_EQ(rig.world.With([&] { return rig.port->writes.size(); }), 1u)
            << "only the sentinel, for manufacturer " << row.m << " board " << row.t;
        EXPECT_TRUE(rig.rx.Port_Close());
    }
}

// A reader whose last read found nothing waits on its line, and for no longer
// than until the next keep-alive is due: right after a keep-alive that is the
// whole period. After a read that brought bytes it reads again after 1 ms
// without waiting on the line. A receiver with nothing to keep alive looks
// again once a period. Port_Close releases a reader waiting on its line.
TEST(KeepAlive, AnIdleReaderWaitsOnItsLineUntilTheNextIsDue) {
    PassRig rig(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    const Bytes on = PeriodicCommand(MAINBD_NOVATEL_OEM, true);
    const auto waits = [&] { return rig.world.With([&] { return rig.port->lineWaitTimeouts; }); };
    rig.world.With([&] { rig.port->lineWaits = true; });

    rig.Pass(1);  // the first pass: the keep-alive, then a wait on the line
    EXPECT_EQ(rig.Sent(on), 1u);
    EXPECT_EQ(waits(), std::vector<uint32_t>{170});

    rig.world.With([&] { rig.port->incoming = {'$', 'G'}; });
    rig.Pass(1);  // bytes: the next pass does not wait on the line
    EXPECT_EQ(waits().size(), 1u);
    rig.Pass(1);  // nothing: the next pass waits on the line again
    ASSERT_EQ(waits().size(), 2u);
    EXPECT_GE(waits()[1], 1u);
    EXPECT_LE(waits()[1], 170u);

    rig.world.With([&] {  // nothing again: the reader now waits inside the line
        rig.port->blockLineWaits = true;
        ++rig.port->grantedPasses;
        rig.world.changed.notify_all();
    });
    ASSERT_TRUE(rig.world.WaitUntil([&] { return rig.port->lineWaitTimeouts.size() == 3; }));
    EXPECT_TRUE(rig.rx.Port_Close());

    PassRig other(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY);
    other.world.With([&] { other.port->lineWaits = true; });
    other.Pass(3);
    EXPECT_EQ(other.world.With([&] { return other.port->lineWaitTimeouts; }),
              (std::vector<uint32_t>{170, 170, 170}));
    EXPECT_TRUE(other.rx.Port_Close());
}
