// The program holds a receiver object before any port is open and after it
// closed: every command, getter and setter then does nothing and answers as
// for a receiver the value does not apply to, leaving out-parameters as they
// were. With a protocol object but no port (an open whose port could not be
// made) the members work on the protocol object and send nothing.

#include "tests/device/DeviceOpsHarness.h"

#include <cstring>

using namespace device_ops;

namespace {

constexpr uint8_t kUntouched = 0xCD;

template <class T>
bool Untouched(const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return std::all_of(p, p + sizeof value, [](uint8_t b) { return b == kUntouched; });
}

template <class T>
void Fill(T& value) {
    std::memset(&value, kUntouched, sizeof value);
}

// Calls every member once; what the getters answer is checked against the
// values of a receiver without a protocol object when `expectNothing`.
void CallEveryMember(EmGnss_Receiver& rx, bool expectNothing) {
    unsigned char block[128] = {};
    IP_ADRES address{};
    SvcInfo service{};
    cors_info login{};
    char number[] = "13800138000";
    unsigned char id[32] = "0042";
    OV_COM_BAUD_ENUM baud = OV_COM_BAUD_9600;

    rx.Send_DeviceInfo();
    rx.Send_Battery();
    rx.Send_CloseReceiver();
    rx.Send_Gprs_DiffInfo();
    rx.Send_Gnss_Reset();
    rx.Send_DevcInfo_Update_Str();
    rx.Send_DevcInfo_Update_Crs(1, block, sizeof block);
    rx.Set_DevcInfo_Mask(10);
    rx.Set_DevcInfo_RrdTp(1);
    rx.Set_DevcInfo_RrdTime(24);
    rx.Set_DevcInfo_RrdFrq(5);
    rx.Set_DevcInfo_OutPut(0);
    rx.Set_DevcInfo_StrtTp(1);
    rx.Set_DevcInfo_TrsmtPort(2);
    rx.Set_DevcInfo_TrsmtFmat(3);
    rx.Set_DevcInfo_AutoBaseDist(100);
    rx.Send_Com_Baudrate(&baud, OV_COM_PORT_ENUM(1));
    rx.Send_Com_Baudrate(nullptr, OV_COM_PORT_ENUM(1));
    rx.Set_Com_Baudrate(OV_COM_BAUD_38400, OV_COM_PORT_ENUM(1));
    rx.Set_Com_Baudrate(EmGnss_Receiver::COM_BAUD_115200);
    const bool versionSent = rx.Send_Gprs_Version();
    rx.Send_Gprs_Info();
    rx.Send_Gprs_Status();
    rx.Send_Gprs_Eroinfo();
    rx.Send_Gprs_Reset();
    rx.Send_Gprs_DisConct();
    rx.Set_Gprs_Ip(address, 2101, PROTOCOL_NET_NTRIP_CLIENT);
    rx.Set_Gprs_SvcInfo(service);
    rx.Set_GSM_NumInfo(number);
    rx.Set_Gprs_Modle(GPRS_MODLE_BASE);
    rx.Set_Gprs_Baseid(id, 4);
    rx.Set_Gprs_Baseid(id, ~0UL);  // a count beyond 32 bits (the base id field holds 20)
    rx.Send_Dial_Prtl();
    rx.Set_Dial_Prtl(0);
    rx.Set_Cors_Login(login);
    rx.Set_Cors_Info_Auto(login, 1);
    rx.Send_Cors_Info_Auto();
    rx.Send_Gprs_GetList();

    WirelessInfo modem;
    Fill(modem);
    rx.GetInfo_Gprs_Info(modem);
    const int signal = rx.GetInfo_Gprs_Signal();
    const gprs_status status = rx.GetInfo_Gprs_Status();
    const gprs_ero error = rx.GetInfo_Gprs_Eroinfo();
    const int loginMode = rx.GetInfo_Gprs_CosMdl();
    const double version = rx.GetInfo_Gprs_Version();
    const unsigned dial = rx.Get_Dial_Prtl();
    cors_info readBack;
    Fill(readBack);
    int autoMode = -9;
    rx.Get_Cors_Info_Auto(readBack, autoMode);
    std::vector<char> table(2048, char(kUntouched));
    int tableLength = -9;
    rx.Get_Gprs_GetList(table.data(), &tableLength);
    unsigned char diff[200];
    Fill(diff);
    int diffLength = -9;
    rx.Get_Gprs_DiffInfo(diff, &diffLength);
    FIRMWARE_DEBUG debug;
    Fill(debug);
    rx.Get_FirmWare_Db(256, debug);
    FIRMWARE_DEBUG beyond;
    Fill(beyond);
    rx.Get_FirmWare_Db(256UL + (1UL << 32), beyond);  // names no record, also with a protocol object
    EXPECT_TRUE(Untouched(beyond));
    Base_Config base{};
    Rover_Config rover{};
    rx.Set_Gnss_BsCfg(base);
    rx.Set_Gnss_RvCfg(rover);
    const Base_Config* baseNow = rx.Get_Gnss_BsCfg();
    const Rover_Config* roverNow = rx.Get_Gnss_RvCfg();
    rx.Set_RcrdData(false, nullptr);

    if (!expectNothing) return;
    EXPECT_FALSE(versionSent);
    EXPECT_TRUE(Untouched(modem));
    EXPECT_EQ(signal, -1);
    EXPECT_EQ(status, GPRS_STATUS_NONE);
    EXPECT_EQ(error, GPRS_ERO_NONE);
    EXPECT_EQ(loginMode, -1);
    EXPECT_EQ(version, -1.0);
    EXPECT_EQ(dial, 0u);
    EXPECT_TRUE(Untouched(readBack));
    EXPECT_EQ(autoMode, -9);
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](char c) { return uint8_t(c) == kUntouched; }));
    EXPECT_EQ(tableLength, -9);
    EXPECT_TRUE(Untouched(diff));
    EXPECT_EQ(diffLength, -9);
    EXPECT_TRUE(Untouched(debug));
    EXPECT_EQ(baseNow, nullptr);
    EXPECT_EQ(roverNow, nullptr);
}

}  // namespace

TEST(DeviceOpsNoProtocol, EveryMemberDoesNothingWithoutAProtocolObject) {
    {
        SCOPED_TRACE("never opened, manufacturer not yet known");
        OpsWorld world;
        TestReceiver rx(GNSS_MANUFACTURER(0), MAINBD_OEM_TYPE(0), &world);
        CallEveryMember(rx, true);
        EXPECT_TRUE(world.With([&] { return world.ports.empty() && world.lastProtocol == nullptr; }));
    }
    {
        SCOPED_TRACE("never opened");
        OpsWorld world;
        TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &world);
        CallEveryMember(rx, true);
    }
    {
        SCOPED_TRACE("after the port closed");
        Rig rig(Kind::OldSerial);
        ASSERT_TRUE(rig.opened);
        const size_t writes = rig.world.With([&] { return rig.port->writes.size(); });
        ASSERT_TRUE(rig.rx->Port_Close());
        CallEveryMember(*rig.rx, true);
        EXPECT_EQ(rig.world.With([&] { return rig.port->writes.size(); }), writes);
    }
}

// An open whose port could not be made leaves the protocol object: the
// members act on it (commands are queued for a writer that does not run),
// and the close that follows drops them.
TEST(DeviceOpsNoProtocol, WithAProtocolObjectButNoPortNothingIsSent) {
    OpsWorld world;
    world.standInBoards = true;
    world.createResult = 4;
    TestReceiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &world);
    ASSERT_FALSE(rx.Port_Open(Com(3)));
    ASSERT_NE(world.With([&] { return world.lastProtocol; }), nullptr);
    CallEveryMember(rx, false);
    EXPECT_NE(rx.Get_Gnss_BsCfg(), nullptr);
    EXPECT_TRUE(rx.Port_Close());
    EXPECT_EQ(rx.Get_Gnss_BsCfg(), nullptr) << "the protocol object went with the close";
    EXPECT_TRUE(world.With([&] { return world.ports.empty(); }));
}
