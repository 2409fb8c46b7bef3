// What the device library relies on of the protocol and port libraries:
// record layouts, codes and the signatures of the services it calls. A
// layout or signature that drifts fails the build here, before a receiver
// object misreads a record at run time.

#include "fjcomm/IPort.h"
#include "protocol/Em_Critcal_Section.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_ModemTypes.h"
#include "protocol/Em_Types.h"
#include "protocol/boards/Em_BoardTypes.h"
#include "protocol/newproto/Em_OvTypes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>
#include <type_traits>
#include <vector>

using namespace Fjarnis2011::FJParse;
namespace FJComm = Fjarnis2011::FJComm;

namespace {

// ---- command record
static_assert(sizeof(_STR_CMD) == 520);
static_assert(offsetof(_STR_CMD, data) == 0 && sizeof(_STR_CMD::data) == 512);
static_assert(offsetof(_STR_CMD, delay) == 512 && std::is_same_v<decltype(_STR_CMD::delay), uint32_t>);
static_assert(offsetof(_STR_CMD, length) == 516 && std::is_same_v<decltype(_STR_CMD::length), uint32_t>);
static_assert(std::is_trivially_copyable_v<_STR_CMD>);

// ---- callbacks: (message class, change bits, context) and (changed, context)
static_assert(std::is_same_v<decltype(_CALLBACKS_RECEIVER::dataCallback), void (*)(int, unsigned int, const void*)>);
static_assert(std::is_same_v<decltype(_CALLBACKS_RECEIVER::oemCallback), void (*)(bool, const void*)>);
static_assert(offsetof(_CALLBACKS_RECEIVER, dataCallback) == 0);

// ---- codes
static_assert(sizeof(GNSS_MANUFACTURER) == 4 && GNSS_MNFCTR_OTHER == 1 && GNSS_MNFCTR_ORVEL == 2);
static_assert(sizeof(MAINBD_OEM_TYPE) == 4 && MAINBD_ORVEL_NEW == 0 && MAINBD_TRIMBLE_BD == 1 &&
              MAINBD_NOVATEL_OEM == 2 && MAINBD_ORVEL_OLD == 3 && MAINBD_HEMISPHERE == 4 &&
              MAINBD_NMEA_ONLY == 5 && MAINBD_UNICORE == 6);
static_assert(sizeof(Com_Status) == 4 && COM_STATUS_SERIAL == 1 && COM_STATUS_BLUETOOTH == 2);
static_assert(MSG_TYPE_GNSS == 1 && MSG_TYPE_ORVEL == 2);
static_assert(GNSS_FRQ_10HZ == 1 && GNSS_FRQ_5HZ == 2 && GNSS_FRQ_1HZ == 3 && GNSS_FRQ_2S == 4 &&
              GNSS_FRQ_5S == 5 && GNSS_FRQ_10S == 6 && GNSS_FRQ_2HZ == 11 && GNSS_FRQ_20HZ == 13);
static_assert(OV_COM_BAUD_9600 == 3 && OV_COM_BAUD_19200 == 5 && OV_COM_BAUD_38400 == 6 &&
              OV_COM_BAUD_57600 == 8 && OV_COM_BAUD_115200 == 9);
static_assert(sizeof(OV_COM_DIRECT_ENUM) == 4);

// ---- device information: every field at its place, without gaps
static_assert(sizeof(DEVICE_STR) == 115);
static_assert(offsetof(DEVICE_STR, serialNumber) == 0 && sizeof(DEVICE_STR::serialNumber) == 22);
static_assert(offsetof(DEVICE_STR, model) == 22 && sizeof(DEVICE_STR::model) == 22);
static_assert(offsetof(DEVICE_STR, productionDate) == 44 && sizeof(DEVICE_STR::productionDate) == 22);
static_assert(offsetof(DEVICE_STR, outputMode) == 74);
static_assert(offsetof(DEVICE_STR, recordType) == 75);
static_assert(offsetof(DEVICE_STR, recordPeriod) == 76);
static_assert(offsetof(DEVICE_STR, positionRate) == 77);
static_assert(offsetof(DEVICE_STR, recordInterval) == 79);
static_assert(offsetof(DEVICE_STR, recordElevMask) == 80);
static_assert(offsetof(DEVICE_STR, memorySize) == 81);
static_assert(offsetof(DEVICE_STR, firmwareVersion) == 82 && sizeof(DEVICE_STR::firmwareVersion) == 5);
static_assert(offsetof(DEVICE_STR, rtkElevMask) == 87);
static_assert(offsetof(DEVICE_STR, transmitPort) == 88);
static_assert(offsetof(DEVICE_STR, transmitFormat) == 89);
static_assert(offsetof(DEVICE_STR, partNumber) == 90 && sizeof(DEVICE_STR::partNumber) == 17);
static_assert(offsetof(DEVICE_STR, startType) == 107);
static_assert(offsetof(DEVICE_STR, autoBaseDist) == 108 && std::is_same_v<decltype(DEVICE_STR::autoBaseDist), uint16_t>);
static_assert(offsetof(DEVICE_STR, otaBaudSet) == 110);
static_assert(offsetof(DEVICE_STR, boardType) == 111 && sizeof(DEVICE_STR::boardType) == 4);

// ---- login, address and point records
static_assert(sizeof(cors_info) == 90 && offsetof(cors_info, userName) == 20 && offsetof(cors_info, password) == 70);
static_assert(sizeof(IP_ADRES) == 40 && offsetof(IP_ADRES, textLength) == 4 && offsetof(IP_ADRES, text) == 8 &&
              sizeof(IP_ADRES::text) == 32);
static_assert(sizeof(Static_Point) == 48 && offsetof(Static_Point, name) == 1 && sizeof(Static_Point::name) == 35 &&
              offsetof(Static_Point, antennaHeight) == 36 && offsetof(Static_Point, antennaType) == 40 &&
              offsetof(Static_Point, surveyTo) == 44);
static_assert(std::is_same_v<decltype(Static_Point::antennaHeight), float>);
static_assert(sizeof(_set_nmea) == 8 && offsetof(_set_nmea, rate) == 4);

// ---- the internal modem's records and codes
static_assert(PROTOCOL_NET_ZELT == 0 && PROTOCOL_NET_NTRIP_CLIENT == 1 && PROTOCOL_NET_TCP_DIRECT == 3);
static_assert(GPRS_MODLE_BASE == 0 && GPRS_MODLE_ROVER == 1);
static_assert(GPRS_STATUS_CASTER_CONNECTED == 3 && GPRS_STATUS_RADIO_MODE == 9);
static_assert(sizeof(SvcInfo) == 220 && offsetof(SvcInfo, password) == 55 && offsetof(SvcInfo, apn) == 110 &&
              offsetof(SvcInfo, dialNumber) == 165);
static_assert(offsetof(WirelessInfo, address) == 0 && std::is_same_v<decltype(WirelessInfo::address), IP_ADRES>);
static_assert(offsetof(WirelessInfo, port) == 40 && offsetof(WirelessInfo, protocol) == 44 &&
              offsetof(WirelessInfo, workMode) == 48);
static_assert(offsetof(WirelessInfo, baseId) == 52 && sizeof(WirelessInfo::baseId) == 20);
static_assert(offsetof(WirelessInfo, userName) == 72 && offsetof(WirelessInfo, password) == 127 &&
              offsetof(WirelessInfo, apn) == 182 && offsetof(WirelessInfo, dialNumber) == 237 &&
              sizeof(WirelessInfo::dialNumber) == 55);
static_assert(offsetof(WirelessInfo, linkOptions) == 292 && offsetof(WirelessInfo, protocolOffers) == 296);
static_assert(kLinkAutoNtripLogin == 0x10000 && kLinkSourceTable == 0x20000 && kLinkAddressAsText == 0x800000);
static_assert(kOfferZelt == 0x10000 && kOfferNtripClient == 0x20000 && kOfferTcpDirect == 0x40000);

// ---- port settings
static_assert(sizeof(FJComm::PARAM_COM) == 20 && sizeof(FJComm::PARAM_BT) == 20 && sizeof(FJComm::PARAM_SOCK) == 12);

// ---- the services of the protocol object the receiver object calls
static_assert(std::is_default_constructible_v<Em_Gnss>);
static_assert(std::is_constructible_v<Em_Gnss, GNSS_MANUFACTURER, MAINBD_OEM_TYPE>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Reg_Callbacks), void (Em_Gnss::*)(const _CALLBACKS_RECEIVER*, const void*)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::RcvData), void (Em_Gnss::*)(const unsigned char*, unsigned int)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::ParseData), void (Em_Gnss::*)()>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Data_Clear), void (Em_Gnss::*)()>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Reset_Mnfctr), void (Em_Gnss::*)(GNSS_MANUFACTURER)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Reset_GnsMd), bool (Em_Gnss::*)(MAINBD_OEM_TYPE)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_Mnfctr), GNSS_MANUFACTURER (Em_Gnss::*)() const>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_GnsMd), MAINBD_OEM_TYPE (Em_Gnss::*)() const>);
static_assert(std::is_same_v<decltype(&Em_Gnss::GetMainBdType), MAINBD_OEM_TYPE (Em_Gnss::*)() const>);
static_assert(std::is_same_v<decltype(&Em_Gnss::IsOemChanged), void (Em_Gnss::*)(bool)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Set_Com_Status), void (Em_Gnss::*)(Com_Status)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_Com_Status), Com_Status (Em_Gnss::*)() const>);
static_assert(std::is_same_v<decltype(&Em_Gnss::SetRcrdData), void (Em_Gnss::*)(bool, const char*)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Send_DiffDataToGnss),
                             void (Em_Gnss::*)(std::vector<_STR_CMD>&, const unsigned char*, unsigned int)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_200Data), void (Em_Gnss::*)(std::vector<_STR_CMD>&, bool)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_OvMdl), void (Em_Gnss::*)(std::vector<_STR_CMD>&, unsigned)>);
static_assert(std::is_same_v<decltype(&Em_Gnss::Get_DeviceInfo), void (Em_Gnss::*)(std::vector<_STR_CMD>&)>);

// ---- locks
static_assert(std::is_same_v<decltype(&Em_Critcal_Section::InitializeSection), void (Em_Critcal_Section::*)()>);
static_assert(std::is_same_v<decltype(&Em_Critcal_Section::DeleteSection), void (Em_Critcal_Section::*)()>);
static_assert(std::is_constructible_v<Em_CrtSect_Lock, Em_Critcal_Section*>);

}  // namespace

// The protocol lock is re-entered by the getters that the data callback
// calls on the processing thread: the section must be recursive, and a lock
// over no section must do nothing.
TEST(ProtocolServices, TheCriticalSectionIsRecursive) {
    Em_Critcal_Section section;
    section.InitializeSection();
    {
        Em_CrtSect_Lock outer(&section);
        Em_CrtSect_Lock inner(&section);
        Em_CrtSect_Lock none(nullptr);
    }
    bool entered = false;
    std::thread other([&] {
        Em_CrtSect_Lock lock(&section);
        entered = true;
    });
    other.join();
    EXPECT_TRUE(entered) << "both entries were left";
    section.DeleteSection();
}

// The protocol object as the receiver object builds it for another maker's
// receiver: its codes, its link kind and the change it reports.
TEST(ProtocolServices, TheProtocolObjectAnswersForTheCodesItWasBuiltWith) {
    Em_Gnss gnss(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY);
    EXPECT_EQ(gnss.Get_Mnfctr(), GNSS_MNFCTR_OTHER);
    EXPECT_EQ(gnss.Get_GnsMd(), MAINBD_NMEA_ONLY);
    EXPECT_EQ(gnss.GetMainBdType(), MAINBD_NMEA_ONLY);
    gnss.Set_Com_Status(COM_STATUS_BLUETOOTH);
    EXPECT_EQ(gnss.Get_Com_Status(), COM_STATUS_BLUETOOTH);
    EXPECT_TRUE(gnss.Reset_GnsMd(MAINBD_UNICORE));
    EXPECT_EQ(gnss.Get_GnsMd(), MAINBD_UNICORE);

    static bool called;
    called = false;
    const _CALLBACKS_RECEIVER table{nullptr, [](bool changed, const void*) { called = changed; }};
    gnss.Reg_Callbacks(&table, nullptr);
    gnss.IsOemChanged(true);
    EXPECT_TRUE(called);
    gnss.Reg_Callbacks(nullptr, nullptr);  // no table: no callbacks
    called = false;
    gnss.IsOemChanged(true);
    EXPECT_FALSE(called);
}
