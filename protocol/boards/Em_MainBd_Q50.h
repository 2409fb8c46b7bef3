#pragma once

// The main board of the maker's new-protocol receivers (MAINBD_OEM_TYPE 0)
// and its report parser. The new-protocol format cuts replies into typed
// items itself and hands each item (value, parameter id, length) to the
// board's Parse_BinFrame; the parser stores the item's value, big-endian on
// the wire, in host order in its new-protocol records and sets the item's
// change bit. Every item is taken only with exactly the reply length its row
// of the parameter table gives (Em_OvParams.h; text and list items: at least
// their head): a wrong length stores nothing. Also here: the rate and baud code maps of the new protocol.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/newproto/Em_OvTypes.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// GNSS_FRQ -> OV_DATA_FRQ_ENUM code: 0 -> 1, 1 -> 6, 2 -> 7, 3 -> 9, 4 -> 10,
// 5 -> 11, 6 -> 12, 11 -> 8, 255 -> 2; any other -> 9 (1 Hz).
uint16_t GnssFrq_ToDataFrq(GNSS_FRQ frq);
// Baud rate -> OV_COM_BAUD_ENUM code: 2400 -> 1 ... 512000 -> 12; any other
// rate -> 3 (9600).
uint16_t BaudRate_ToCode(uint32_t baud);

// The eBubble item (OvParam::GnssBubble): byte; u32; three u16; u32.
struct Q50_Bubble {
    uint8_t state = 0;
    uint32_t word = 0;
    uint16_t angles[3] = {};  // signed on the receiver's side
    uint32_t floatBits = 0;   // the 32 bits of a single-precision value
};

// The new-protocol records: the last value each reply item left. Numbers in
// host order; texts as the raw bytes of their field (not terminated when they
// fill it). Beside each field: the OvParam whose item fills it.
struct Q50_Records {
    static constexpr uint32_t kSourceListSize = 2048;

    uint16_t responseStatus = 0;                       // ResponseStatus
    uint16_t comBaud = 0;                              // ComBaud, OV_COM_BAUD_ENUM
    uint16_t comPort = 0;                              // ComPort
    OV_SYSTEM_POWER_STATUS_STRUCT powerStatus = {};    // SystemPowerStatus
    OV_SYSTEM_HARDWARE_INFO_STRUCT hardwareInfo = {};  // SystemHardwareInfo
    OV_SYSTEM_FIRMWARE_VERSION_STRUCT firmwareInfo = {};  // SystemFirmwareInfo
    uint16_t diffType = 0;                             // GnssDiffType
    Q50_Bubble bubble;                                 // GnssBubble
    uint8_t pdopMask = 0;                              // GnssPdopMask
    OV_GNSS_BASE_SET_STRUCT baseSet = {};              // GnssBaseSet
    OV_GNSS_SATELLITE_ENABLE_STRUCT satEnable = {};    // GnssSatEnable
    uint32_t radioFrequencyBits = 0;                   // RadioFrequency, single precision
    uint32_t radioPower = 0;                           // RadioPower
    uint32_t radioStepper = 0;                         // RadioStepper
    uint32_t radioAirBaud = 0;                         // RadioAirBaud
    uint16_t radioProtocol = 0;                        // RadioProtocol
    OV_RADIO_INFOLIST_STRUCT radioInfoList = {};       // RadioInfoList
    uint8_t radioAutoPowerOn = 0;                      // RadioAutoPowerOn
    uint16_t radioModuleType = 0;                      // RadioModuleType
    uint16_t radioPowerStatus = 0;                     // RadioPowerStatus
    OV_WIFI_PARA_AP_STRUCT wifiAp = {};                // WifiParamAp
    uint16_t wifiMode = 0;                             // WifiMode
    uint8_t wifiAutoOpen = 0;                          // WifiAutoOpen
    uint16_t wifiPowerStatus = 0;                      // WifiPowerStatus
    uint8_t fileRecordAutoOpen = 0;                    // FileRecordAutoOpen
    OV_FILE_RECORD_CONFIG_STRUCT fileRecordConfig = {};  // FileRecordConfig
    uint16_t fileRecordStatus = 0;                     // FileRecordStatus
    uint32_t netLinkWord = 0;                          // NetLinkWord
    OV_IP_ADDRESS_STRUCT netLinkAddress = {};          // NetLinkAddress
    uint16_t netLinkServerType = 0;                    // NetLinkServerType
    OV_NETLINK_STATUS_STRUCT netLinkStatus = {};       // NetLinkStatus
    uint8_t sourceList[kSourceListSize] = {};          // NetLinkSourceList
    uint32_t sourceListLength = 0;
    uint8_t netLinkAutoOpen = 0;                       // NetLinkAutoOpen
    OV_CORS_DATA_SOURCE_STRUCT dataSource = {};        // NetLinkMountPoint
    OV_ACCOUNT_STRUCT account = {};                    // NetLinkAccount
    OV_MODEM_DIAL_PARA_STRUCT modemDialPara = {};      // ModemDialParam
    OV_MODEM_DIAL_STATUS_STRUCT modemDialStatus = {};  // ModemDialStatus
    uint8_t modemAutoDial = 0;                         // ModemAutoDial
    uint8_t modemAutoPowerOn = 0;                      // ModemAutoPowerOn
    uint16_t modemPowerStatus = 0;                     // ModemPowerStatus
    OV_MODEM_SIGNAL_INTENSITY_STRUCT modemSignal = {}; // ModemSignal
    uint16_t modemBandMode = 0;                        // ModemBandMode
    uint16_t dataLinkMode = 0;                         // DataLinkMode
};

// Change bits of the new-protocol items, one for each item the decoder takes
// (the correction data echoed back sets none). Bits are reused across
// message classes (OvReplyClass) but are unique within one: the reader of a
// record knows from its request which record a reply filled. Each bit is
// named as the parameter (OvParam) whose item sets it.
namespace Q50Bits {
// class OvReplyClass::System: port, system and file recording
inline constexpr uint32_t SystemPowerStatus = 0x00000001u;
inline constexpr uint32_t SystemHardwareInfo = 0x00000002u;
inline constexpr uint32_t SystemFirmwareInfo = 0x00000004u;
inline constexpr uint32_t SystemAdmin = 0x00000008u;
inline constexpr uint32_t FileRecordConfig = 0x00000010u;
inline constexpr uint32_t FileRecordAutoOpen = 0x00000020u;
inline constexpr uint32_t FileRecordStatus = 0x00000040u;
inline constexpr uint32_t ComBaud = 0x00000080u;
inline constexpr uint32_t ComPort = 0x00000100u;
// class OvReplyClass::Gnss
inline constexpr uint32_t GnssDiffType = 0x00000001u;
inline constexpr uint32_t GnssPdopMask = 0x00000002u;
inline constexpr uint32_t GnssElevMask = 0x00000004u;
inline constexpr uint32_t GnssBaseSet = 0x00000008u;
inline constexpr uint32_t GnssTextA = 0x00000010u;
inline constexpr uint32_t GnssTextB = 0x00000020u;
inline constexpr uint32_t GnssSolution = 0x00000040u;
inline constexpr uint32_t GnssGpsTime = 0x00000080u;
inline constexpr uint32_t GnssPrecision = 0x00000100u;
inline constexpr uint32_t GnssPosition = 0x00000200u;
inline constexpr uint32_t GnssDops = 0x00000400u;
inline constexpr uint32_t GnssSatellites = 0x00000800u;
inline constexpr uint32_t GnssBasePosition = 0x00001000u;
inline constexpr uint32_t GnssBubble = 0x00002000u;
inline constexpr uint32_t GnssSatEnable = 0x00004000u;
inline constexpr uint32_t GnssTextC = 0x00008000u;
inline constexpr uint32_t GnssTextD = 0x00010000u;
// class OvReplyClass::Wireless: Wi-Fi and modem
inline constexpr uint32_t WifiAutoOpen = 0x00000001u;
inline constexpr uint32_t WifiMode = 0x00000002u;
inline constexpr uint32_t WifiParamAp = 0x00000004u;
inline constexpr uint32_t WifiPowerStatus = 0x00000008u;
inline constexpr uint32_t ModemDialParam = 0x00000010u;
inline constexpr uint32_t ModemDialStatus = 0x00000020u;
inline constexpr uint32_t ModemAutoDial = 0x00000040u;
inline constexpr uint32_t ModemAutoPowerOn = 0x00000080u;
inline constexpr uint32_t ModemPowerStatus = 0x00000100u;
inline constexpr uint32_t ModemSignal = 0x00000200u;
inline constexpr uint32_t ModemBandMode = 0x00000400u;
// class OvReplyClass::Link: radio, network link and data link
inline constexpr uint32_t RadioFrequency = 0x00000001u;
inline constexpr uint32_t RadioPower = 0x00000002u;
inline constexpr uint32_t RadioStepper = 0x00000004u;
inline constexpr uint32_t RadioAirBaud = 0x00000008u;
inline constexpr uint32_t RadioProtocol = 0x00000010u;
inline constexpr uint32_t RadioInfoList = 0x00000020u;
inline constexpr uint32_t RadioAutoPowerOn = 0x00000040u;
inline constexpr uint32_t RadioModuleType = 0x00000080u;
inline constexpr uint32_t RadioPowerStatus = 0x00000100u;
inline constexpr uint32_t NetLinkWord = 0x00000200u;
inline constexpr uint32_t NetLinkAddress = 0x00000400u;
inline constexpr uint32_t NetLinkServerType = 0x00000800u;
inline constexpr uint32_t NetLinkStatus = 0x00001000u;
inline constexpr uint32_t NetLinkSourceList = 0x00002000u;
inline constexpr uint32_t NetLinkAutoOpen = 0x00004000u;
inline constexpr uint32_t NetLinkMountPoint = 0x00008000u;
inline constexpr uint32_t NetLinkAccount = 0x00010000u;
inline constexpr uint32_t DataLinkMode = 0x00020000u;  // the mask is exactly this
// any class: the response status (parameter 2)
inline constexpr uint32_t Response = 0x80000000u;  // the mask is exactly this
}  // namespace Q50Bits

class Em_RepParser_Q50 : public Em_IRepParser {
public:
    // Clears ChangedMask, decodes one item (value, parameter id, value
    // length) and returns 1 when the item was taken, else 0 (null value,
    // unknown id, wrong length: nothing stored, no bit).
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;

    Q50_Records records;
    // Command id of the last message of which an item was taken; the format
    // stores it after every taken item.
    uint32_t commandId = 0;

private:
    bool DecodeSystem(const uint8_t* v, int id, unsigned n);
    bool DecodeGnss(const uint8_t* v, int id, unsigned n);
    bool DecodeRadio(const uint8_t* v, int id, unsigned n);
    bool DecodeWifiAndRecording(const uint8_t* v, int id, unsigned n);
    bool DecodeNetLink(const uint8_t* v, int id, unsigned n);
    bool DecodeModemAndDataLink(const uint8_t* v, int id, unsigned n);
    bool DecodeText(const uint8_t* v, unsigned n);
    bool DecodeSatellites(const uint8_t* v, unsigned n);
    bool DecodePosition(const uint8_t* v, unsigned n);
};

class Em_MainBd_Q50 : public EmIMainBoard {
public:
    // With the new-protocol builder and parser; the base frame recognition
    // (nothing to cut: the format hands items over).
    Em_MainBd_Q50();
    // Hands the item to the parser; 0 without a parser.
    unsigned Parse_BinFrame(const uint8_t* data, int id, unsigned length) override;

    Em_RepParser_Q50* Q50Parser() const;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
