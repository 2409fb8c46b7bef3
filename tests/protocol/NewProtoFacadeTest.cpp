// The protocol object with the maker's new-protocol receiver: replies fed as
// bytes reach the exports that read the new-protocol records, and the
// com-direct switch goes out only to the new-protocol board.

#include "NewProtoFixtures.h"
#include "OldCmdFixtures.h"

#include "protocol/Em_Gnss.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;
using namespace newproto_test;

struct Announced {
    std::vector<std::pair<int, uint32_t>> calls;
};

void OnData(int messageClass, unsigned bits, const void* context) {
    static_cast<Announced*>(const_cast<void*>(context))->calls.push_back({messageClass, bits});
}

struct NewReceiver {
    NewReceiver() {
        const _CALLBACKS_RECEIVER callbacks{&OnData, nullptr};
        gnss.Reg_Callbacks(&callbacks, &announced);
    }
    void Reply(uint16_t operation, const std::vector<Item>& items) {
        const Bytes frames = Links(Message(operation, items), sequence);
        gnss.RcvData(frames.data(), unsigned(frames.size()));
        gnss.ParseData();
    }
    Em_Gnss gnss{GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW};
    Announced announced;
    uint8_t sequence = 0;
};

Bytes Floats(float a, float b) {
    Bytes out = U32(std::bit_cast<uint32_t>(a));
    const Bytes more = U32(std::bit_cast<uint32_t>(b));
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

TEST(NewProtoFacade, BatteryGradeFromThePowerRecord) {
    NewReceiver rx;
    EXPECT_EQ(rx.gnss.Get_Battery_Grd(), 0);  // nothing reported yet: empty batteries
    struct Case {
        uint32_t source;
        float a, b;
        int grade;
    };
    // (55 + 61) / 2 = 58, (58 + 5) / 10 = 6; outside power gives 12.
    for (const Case& c : {Case{1, 54.6f, 61.2f, 6}, Case{0, 100.0f, 100.0f, 10}, Case{2, 10.0f, 10.0f, 12}}) {
        Bytes power = U32(c.source);
        const Bytes levels = Floats(c.a, c.b);
        power.insert(power.end(), levels.begin(), levels.end());
        rx.Reply(11, {{772, power}});
        EXPECT_EQ(rx.gnss.Get_Battery_Grd(), c.grade);
    }
    // Operation 11 is a system reply: class 4, bit 1.
    EXPECT_EQ(rx.announced.calls.back(), std::make_pair(4, uint32_t(0x1)));
}

TEST(NewProtoFacade, ModemSignalSourceListAndBubble) {
    NewReceiver rx;
    rx.Reply(43, {{5132, oldcmd_test::Hex("00 00 00 1A 05")}});
    EXPECT_EQ(rx.gnss.GetInfo_Gprs_Signa(), 26);
    rx.Reply(23, {{1795, U32(std::bit_cast<uint32_t>(460.05f))}});
    EXPECT_EQ(rx.gnss.Get_Radio_Frq(), double(460.05f));

    const std::string table = "SOURCETABLE 200 OK\r\nSTR;M1;\r\nENDSOURCETABLE\r\n";
    Bytes list = U32(uint32_t(table.size()));
    list.insert(list.end(), table.begin(), table.end());
    rx.Reply(47, {{4358, list}});
    std::vector<char> text(2048, '#');
    int length = -1;
    rx.gnss.Get_Gprs_GetList(text.data(), &length);
    ASSERT_EQ(length, int(table.size()));
    EXPECT_EQ(std::string(text.data(), size_t(length)), table);

    // eBubble: state 1, word 7, angles 2, -3, 0, value 0.5.
    Bytes bubble = {0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x02, 0xFF, 0xFD, 0x00, 0x00};
    const Bytes value = U32(std::bit_cast<uint32_t>(0.5f));
    bubble.insert(bubble.end(), value.begin(), value.end());
    rx.Reply(14, {{1041, bubble}});
    eBubble_info info{};
    rx.gnss.Get_eBubble_info(info);
    EXPECT_EQ(info.word[0], 1u);
    EXPECT_EQ(info.word[1], 7u);
    EXPECT_EQ(int32_t(info.word[2]), 720);
    EXPECT_EQ(int32_t(info.word[3]), -1080);
    EXPECT_EQ(info.word[4], 0u);
    EXPECT_EQ(info.word[5], 1800u);
}

TEST(NewProtoFacade, SolutionGettersReadTheBoardRecords) {
    NewReceiver rx;
    Bytes solution;
    for (double d : {0.5, 2.0, 30.0}) {
        const uint64_t u = std::bit_cast<uint64_t>(d);
        const Bytes hi = U32(uint32_t(u >> 32)), lo = U32(uint32_t(u));
        solution.insert(solution.end(), hi.begin(), hi.end());
        solution.insert(solution.end(), lo.begin(), lo.end());
    }
    const Bytes status = U32(4);
    solution.insert(solution.end(), status.begin(), status.end());
    rx.Reply(15, {{1034, solution}, {1105, {12}}});
    POS_INFO pos{};
    rx.gnss.Get_Gnss_Pos(&pos);
    EXPECT_EQ(pos.latitude, 0.5);
    EXPECT_EQ(pos.height, 30.0);
    EXPECT_EQ(pos.status, 4);
    EXPECT_EQ(rx.announced.calls.back(), std::make_pair(3, uint32_t(0x40 | 0x4)));
}

TEST(NewProtoFacade, ComDirectGoesOnlyToTheNewProtocolBoard) {
    for (unsigned mode : {1u, 2u}) {
        NewReceiver rx;
        std::vector<_STR_CMD> out;
        rx.gnss.Get_Cmd_Com_Direct(out, OV_COM_DIRECT_ENUM(mode));
        const oldcmd_test::TlvCommand c = oldcmd_test::ReadTlv(out);
        ASSERT_TRUE(c.ok);
        EXPECT_EQ(c.commandId, 264u);
        ASSERT_EQ(c.items.size(), 2u);
        EXPECT_EQ(c.items[0].id, 1);
        EXPECT_EQ(c.items[0].value, U16(2));
        EXPECT_EQ(c.items[1].id, 264);
        EXPECT_EQ(c.items[1].value, U16(mode));
    }
    for (auto [m, t] : {std::pair{GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM}, std::pair{GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM},
                        std::pair{GNSS_MNFCTR_OTHER, MAINBD_ORVEL_NEW}}) {
        Em_Gnss gnss(m, t);
        std::vector<_STR_CMD> out;
        gnss.Get_Cmd_Com_Direct(out, OV_COM_DIRECT_ENUM(2));
        EXPECT_TRUE(out.empty()) << m << " " << t;
    }
}

TEST(NewProtoFacade, OldProtocolReadersLeaveTheirOutputsAlone) {
    NewReceiver rx;
    DEVICE_STR info{};
    info.boardType = 9;
    rx.gnss.GetInfo_DevcInfo(info);
    const int board = info.boardType;  // a packed field
    EXPECT_EQ(board, 9);
    char text[2048] = {};
    int length = -7;
    rx.gnss.Get_Gprs_GetList(text, &length);
    EXPECT_EQ(length, 0);  // the board's list is empty
    // Another maker: none of the new-protocol records exist.
    Em_Gnss other(GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM);
    EXPECT_EQ(other.Get_Battery_Grd(), -1);
    EXPECT_EQ(other.GetInfo_Gprs_Signa(), -1);
    eBubble_info bubble{{9, 9, 9, 9, 9, 9}};
    other.Get_eBubble_info(bubble);
    EXPECT_EQ(bubble.word[0], 9u);
}

}  // namespace
