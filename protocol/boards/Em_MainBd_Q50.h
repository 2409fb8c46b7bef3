#pragma once

// The main board of the maker's new-protocol receivers (MAINBD_OEM_TYPE 0)
// and its report parser. The new-protocol format cuts replies into typed
// items itself and hands each item (value, parameter id, length) to the
// board's Parse_BinFrame; the parser stores the item's value, big-endian on
// the wire, in host order in its new-protocol records and sets the item's
// change bit. Every item is taken only with exactly the length its id has on
// the wire (text and list items: at least their head): a wrong length stores
// nothing. Also here: the rate and baud code maps of the new protocol.

#include "protocol/boards/EmIMainBoard.h"
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

// The eBubble item (1041): byte; u32; three u16; u32.
struct Q50_Bubble {
    uint8_t state = 0;
    uint32_t word = 0;
    uint16_t angles[3] = {};  // signed on the receiver's side
    uint32_t floatBits = 0;   // the 32 bits of a single-precision value
};

// The new-protocol records: the last value each reply item left. Numbers in
// host order; texts as the raw bytes of their field (not terminated when they
// fill it).
struct Q50_Records {
    static constexpr uint32_t kSourceListSize = 2048;

    uint16_t responseStatus = 0;                       // 2
    uint16_t comBaud = 0;                              // 259, OV_COM_BAUD_ENUM
    uint16_t comPort = 0;                              // 260
    OV_SYSTEM_POWER_STATUS_STRUCT powerStatus = {};    // 772
    OV_SYSTEM_HARDWARE_INFO_STRUCT hardwareInfo = {};  // 774
    OV_SYSTEM_FIRMWARE_VERSION_STRUCT firmwareInfo = {};  // 775
    uint16_t diffType = 0;                             // 1029
    Q50_Bubble bubble;                                 // 1041
    uint8_t pdopMask = 0;                              // 1104
    OV_GNSS_BASE_SET_STRUCT baseSet = {};              // 1106
    OV_GNSS_SATELLITE_ENABLE_STRUCT satEnable = {};    // 1109
    uint32_t radioFrequencyBits = 0;                   // 1795, single precision
    uint32_t radioPower = 0;                           // 1796
    uint32_t radioStepper = 0;                         // 1801
    uint32_t radioAirBaud = 0;                         // 1803
    uint16_t radioProtocol = 0;                        // 1804
    OV_RADIO_INFOLIST_STRUCT radioInfoList = {};       // 1805
    uint8_t radioAutoPowerOn = 0;                      // 1808
    uint16_t radioModuleType = 0;                      // 1809
    uint16_t radioPowerStatus = 0;                     // 1810
    OV_WIFI_PARA_AP_STRUCT wifiAp = {};                // 2563
    uint16_t wifiMode = 0;                             // 2564
    uint8_t wifiAutoOpen = 0;                          // 2567
    uint16_t wifiPowerStatus = 0;                      // 2568
    uint8_t fileRecordAutoOpen = 0;                    // 2821
    OV_FILE_RECORD_CONFIG_STRUCT fileRecordConfig = {};  // 2822
    uint16_t fileRecordStatus = 0;                     // 2823
    uint32_t netLinkWord = 0;                          // 4354
    OV_IP_ADDRESS_STRUCT netLinkAddress = {};          // 4355
    uint16_t netLinkServerType = 0;                    // 4356
    OV_NETLINK_STATUS_STRUCT netLinkStatus = {};       // 4357
    uint8_t sourceList[kSourceListSize] = {};          // 4358
    uint32_t sourceListLength = 0;
    uint8_t netLinkAutoOpen = 0;                       // 4361
    OV_CORS_DATA_SOURCE_STRUCT dataSource = {};        // 4362
    OV_ACCOUNT_STRUCT account = {};                    // 4363
    OV_MODEM_DIAL_PARA_STRUCT modemDialPara = {};      // 5123
    OV_MODEM_DIAL_STATUS_STRUCT modemDialStatus = {};  // 5124
    uint8_t modemAutoDial = 0;                         // 5129
    uint8_t modemAutoPowerOn = 0;                      // 5130
    uint16_t modemPowerStatus = 0;                     // 5131
    OV_MODEM_SIGNAL_INTENSITY_STRUCT modemSignal = {}; // 5132
    uint16_t modemBandMode = 0;                        // 5133
    uint16_t dataLinkMode = 0;                         // 5379
};

// Change bits of the new-protocol items. Bits are reused across id ranges:
// the reader of a record knows from its request which record a reply filled.
namespace Q50Bits {
inline constexpr uint32_t Response = 0x80000000u;  // 2: the mask is exactly this
inline constexpr uint32_t DataLinkMode = 0x00020000u;  // 5379: the mask is exactly this
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
    void StoreGpsTime(uint32_t week, uint32_t secondsOfWeek);
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
