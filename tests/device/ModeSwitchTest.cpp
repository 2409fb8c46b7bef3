// Send_OvMdl: the mode-switch command of the protocol object, the baud change
// of a Trimble board on a serial line (after the command into pass-through,
// before it on the way back) and the manufacturer switch that the writing
// thread carries out and announces, in that order; nothing on a replay file.

#include "tests/device/ReceiverTestSupport.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;
using Fjarnis2011::FJComm::PARAM_BT;

namespace {

// What happened after the open, without the port's creation and the sentinel
// write of Drain.
std::vector<std::string> Story(FakeWorld& world) {
    std::vector<std::string> out;
    world.With([&] {
        for (const auto& e : world.log)
            if (e.rfind("create", 0) != 0 && e != "write 1") out.push_back(e);
    });
    return out;
}

}  // namespace

TEST(ModeSwitch, CommandBaudChangeAndManufacturerSwitchComeInTheirOrder) {
    const struct {
        MAINBD_OEM_TYPE board;
        bool bluetooth;
        unsigned mode;
        std::vector<std::string> story;  // "write" stands for the command's write
        GNSS_MANUFACTURER after;
    } rows[] = {
        // Into pass-through: the command goes out at the old rate, then the
        // line follows, then the writing thread rebuilds the protocol object.
        {MAINBD_TRIMBLE_BD, false, 1, {"write", "slept 500", "baud 38400", "oem"}, GNSS_MNFCTR_OTHER},
        // Back to the receiver: its rate first, then the command.
        {MAINBD_TRIMBLE_BD, false, 2, {"baud 9600", "write", "slept 500"}, GNSS_MNFCTR_ORVEL},
        // Only a Trimble board on a serial line changes the rate.
        {MAINBD_NOVATEL_OEM, false, 1, {"write", "slept 500", "oem"}, GNSS_MNFCTR_OTHER},
        {MAINBD_TRIMBLE_BD, true, 1, {"write", "slept 500", "oem"}, GNSS_MNFCTR_OTHER},
        {MAINBD_NOVATEL_OEM, false, 2, {"write", "slept 500"}, GNSS_MNFCTR_ORVEL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("board " + std::to_string(row.board) + (row.bluetooth ? " bluetooth" : " serial") +
                     " mode " + std::to_string(row.mode));
        CallbackRecorder& rec = CallbackRecorder::Get();
        rec.Clear();
        FakeWorld world;
        world.standInBoards = true;
        world.gateNewPorts = true;  // no keep-alive in between
        TestReceiver rx(GNSS_MNFCTR_ORVEL, row.board, &world);
        rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
        PARAM_BT bt;
        ASSERT_TRUE(row.bluetooth ? rx.Port_Open(bt) : rx.Port_Open(Com(3)));
        FakePort* port = world.Port();
        rec.OnOemDo([&] { world.With([&] { world.Note("oem"); }); });
        // The sleep lasts until the command is out, as the pause means it to.
        world.onSleep = [&] { world.WaitUntil([&] { return !port->writes.empty(); }); };

        const auto expected =
            Expected(GNSS_MNFCTR_ORVEL, row.board, row.bluetooth ? COM_STATUS_BLUETOOTH : COM_STATUS_SERIAL,
                     [&](Em_Gnss& g, std::vector<_STR_CMD>& v) { g.Get_OvMdl(v, row.mode); });
        ASSERT_EQ(expected.size(), 1u);

        rx.Send_OvMdl(row.mode);
        const bool announces = row.story.back() == "oem";
        if (announces) {
            ASSERT_TRUE(rec.WaitUntil([&] { return !rec.events.empty(); }));
        }
        // The writer serves a pending reset before a write: once the sentinel
        // is out, no announcement is still to come.
        Drain(rx, world, port);

        std::vector<std::string> story = Story(world);
        for (auto& e : story)
            if (e == "write " + std::to_string(expected[0].length)) e = "write";
        EXPECT_EQ(story, row.story);
        EXPECT_EQ(world.With([&] { return port->writes[0]; }), Payload(expected[0]));
        EXPECT_EQ(rx.Get_Gnss_Manufacturer(), row.after);
        EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), row.board) << "the board survives the manufacturer switch";
        if (announces) {
            EXPECT_TRUE(rec.events[0].changed);
            EXPECT_EQ(rec.events[0].context, nullptr);
        }
        EXPECT_TRUE(rx.Port_Close());
        rec.Clear();
    }
}

TEST(ModeSwitch, NothingHappensOnAReplayFile) {
    CallbackRecorder& rec = CallbackRecorder::Get();
    rec.Clear();
    FakeWorld world;
    world.standInBoards = true;
    world.gateNewPorts = true;
    TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_TRIMBLE_BD, &world);
    rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
    ASSERT_TRUE(rx.Port_Open("capture.bin"));
    rx.Send_OvMdl(1);
    rx.Send_OvMdl(2);
    Drain(rx, world, world.Port());
    EXPECT_TRUE(Story(world).empty());
    EXPECT_EQ(rec.Count(true), 0u);
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_ORVEL);
    EXPECT_TRUE(rx.Port_Close());
}

// The maker's new-protocol board switches with its own command; the
// manufacturer and the line stay as they are.
TEST(ModeSwitch, TheNewProtocolBoardKeepsItsManufacturerAndRate) {
    CallbackRecorder& rec = CallbackRecorder::Get();
    rec.Clear();
    for (unsigned mode : {1u, 2u}) {
        FakeWorld world;
        world.standInBoards = true;
        world.gateNewPorts = true;
        TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW, &world);
        rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
        ASSERT_TRUE(rx.Port_Open(Com(3)));
        FakePort* port = world.Port();
        // The link frames carry the process-wide sequence number: the
        // receiver's command is built from the same number as the expected one.
        const uint8_t sequence = PeekLinkSequence();
        const auto expected = Expected(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW, COM_STATUS_SERIAL,
                                       [&](Em_Gnss& g, std::vector<_STR_CMD>& v) {
                                           g.Get_Cmd_Com_Direct(v, OV_COM_DIRECT_ENUM(mode));
                                       });
        ASSERT_EQ(expected.size(), 1u);
        ResetLinkSequence(sequence);
        world.onSleep = [&] { world.WaitUntil([&] { return port->writes.size() >= expected.size(); }); };
        rx.Send_OvMdl(mode);
        Drain(rx, world, port);
        world.With([&] {
            ASSERT_EQ(port->writes.size(), expected.size() + 1);
            for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(port->writes[i], Payload(expected[i]));
            for (const auto& e : world.log) EXPECT_EQ(e.rfind("baud", 0), std::string::npos) << e;
            EXPECT_NE(std::find(world.log.begin(), world.log.end(), "slept 500"), world.log.end());
        });
        EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_ORVEL);
        EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_ORVEL_NEW);
        EXPECT_TRUE(rx.Port_Close());
    }
    EXPECT_EQ(rec.Count(true), 0u);
}
