#pragma once

// Records and codes of the maker's new binary protocol. Each is tied to one
// parameter of that protocol (Em_OvParams.h); the TLV packer writes the
// records that are sent field by field in declaration order (big-endian on
// the wire) and the new-protocol report parser fills the ones that come back. In memory they
// keep natural alignment: that is the layout callers fill.
//
// The codes are the receiver's: where this library fixes a value, it is named;
// the others are carried through as the receiver sends them.

#include "protocol/newproto/Em_OvParams.h"

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// ---- codes (sent as u16 items) ----------------------------------------

// Port baud rate codes.
enum OV_COM_BAUD_ENUM : int32_t {
    OV_COM_BAUD_2400 = 1,
    OV_COM_BAUD_4800 = 2,
    OV_COM_BAUD_9600 = 3,
    OV_COM_BAUD_14400 = 4,
    OV_COM_BAUD_19200 = 5,
    OV_COM_BAUD_38400 = 6,
    OV_COM_BAUD_56000 = 7,
    OV_COM_BAUD_57600 = 8,
    OV_COM_BAUD_115200 = 9,
    OV_COM_BAUD_128000 = 10,
    OV_COM_BAUD_256000 = 11,
    OV_COM_BAUD_512000 = 12,
};

// Which port of the receiver a setting is for.
enum OV_COM_PORT_ENUM : int32_t {};

// Direct COM mode.
enum OV_COM_DIRECT_ENUM : int32_t {};

// Output rate codes of the data items (GnssFrq_ToDataFrq gives the code of
// each GNSS_FRQ rate).
enum OV_DATA_FRQ_ENUM : int32_t {
    OV_DATA_FRQ_OFF = 1,
    OV_DATA_FRQ_ONCE = 2,
    OV_DATA_FRQ_10HZ = 6,
    OV_DATA_FRQ_5HZ = 7,
    OV_DATA_FRQ_2HZ = 8,
    OV_DATA_FRQ_1HZ = 9,
    OV_DATA_FRQ_2S = 10,
    OV_DATA_FRQ_5S = 11,
    OV_DATA_FRQ_10S = 12,
};

// Data-link mode: which links the receiver leaves unused.
enum OV_DATALINK_MODE_ENUM : int32_t {
    OV_DATALINK_MODE_NO_NETLINK = 1,  // the network link is not used
    OV_DATALINK_MODE_NO_RADIO_A = 2,  // the radio is not used
    OV_DATALINK_MODE_NO_RADIO_B = 3,  // the radio is not used
    OV_DATALINK_MODE_NEITHER = 4,     // neither is used
};

enum OV_GNSS_IO_ID_ENUM : int32_t {};
enum OV_GNSS_DIFF_TYPE_ENUM : int32_t {};
enum OV_RESPONSE_STATUS_ENUM : int32_t {};
enum OV_MODEM_POWER_STATUS_ENUM : int32_t {};
enum OV_MODEM_BAND_MODE_ENUM : int32_t {};
// The network link's server type: the correction protocol the receiver's
// modem speaks to its server, by the codes of the old modem's Protocol_Net.
enum OV_NETLINK_SERVER_TYPE_ENUM : int32_t {
    OV_NETLINK_SERVER_ZELT = 0,          // the maker's relay protocol
    OV_NETLINK_SERVER_NTRIP_CLIENT = 1,
    OV_NETLINK_SERVER_TCP_DIRECT = 3,
};
enum OV_RADIO_PROTOCOL_ENUM : int32_t {};
enum OV_RADIO_MODULE_TYPE_ENUM : int32_t {};
enum OV_RADIO_POWER_STATUS_ENUM : int32_t {};
enum OV_WIFI_MODE_ENUM : int32_t {};
enum OV_WIFI_POWER_STATUS_ENUM : int32_t {};
enum OV_FILE_RECORD_STATUS_ENUM : int32_t {};

// One output rate of a data item: the item's parameter id (kDataFreqFirstId
// to kDataFreqLastId, e.g. OvParam::GnssPosition or OvParam::GnssBubble) and
// its rate code (OV_DATA_FRQ_ENUM), both sent as u16.
struct DataFreq {
    uint16_t dataId;
    uint16_t rate;
};
static_assert(sizeof(DataFreq) == 4);

// ---- records that are sent (and read back) ------------------------------

// OvParam::SystemGSensorValid: G-sensor validity. Wire: byte, u16 (3 bytes).
struct OV_GSENSOR_VALID_PERIOD_STRUCT {
    uint8_t valid;
    uint16_t period;
};
static_assert(sizeof(OV_GSENSOR_VALID_PERIOD_STRUCT) == 4);
static_assert(offsetof(OV_GSENSOR_VALID_PERIOD_STRUCT, period) == 2);

// OvParam::GnssSatEnable: satellite systems and signals enabled. Wire: five u32 (20 bytes).
struct OV_GNSS_SATELLITE_ENABLE_STRUCT {
    uint32_t words[5];
};
static_assert(sizeof(OV_GNSS_SATELLITE_ENABLE_STRUCT) == 20);

// OvParam::GnssBaseSet: base position. Wire: u16, three doubles (26 bytes).
struct OV_GNSS_BASE_SET_STRUCT {
    uint16_t mode;
    double latitude;   // degrees
    double longitude;  // degrees
    double height;     // metres
};
static_assert(sizeof(OV_GNSS_BASE_SET_STRUCT) == 32);
static_assert(offsetof(OV_GNSS_BASE_SET_STRUCT, latitude) == 8 && offsetof(OV_GNSS_BASE_SET_STRUCT, height) == 24);

// OvParam::WifiParamAp: Wi-Fi access point. Wire: 20 bytes, u16, 20 bytes (42 bytes).
struct OV_WIFI_PARA_AP_STRUCT {
    char ssid[20];
    uint16_t security;
    char password[20];
};
static_assert(sizeof(OV_WIFI_PARA_AP_STRUCT) == 42);
static_assert(offsetof(OV_WIFI_PARA_AP_STRUCT, security) == 20 && offsetof(OV_WIFI_PARA_AP_STRUCT, password) == 22);

// OvParam::FileRecordConfig: file recording. Wire: 20 bytes, byte, three u32, three bytes, u16,
// byte, u32 (43 bytes).
struct OV_FILE_RECORD_CONFIG_STRUCT {
    char name[20];
    uint8_t byte20;
    uint32_t words[3];
    uint8_t bytes[3];
    uint16_t half;
    uint8_t byte42;
    uint32_t lastWord;
};
static_assert(sizeof(OV_FILE_RECORD_CONFIG_STRUCT) == 48);
static_assert(offsetof(OV_FILE_RECORD_CONFIG_STRUCT, words) == 24);
static_assert(offsetof(OV_FILE_RECORD_CONFIG_STRUCT, bytes) == 36);
static_assert(offsetof(OV_FILE_RECORD_CONFIG_STRUCT, half) == 40);
static_assert(offsetof(OV_FILE_RECORD_CONFIG_STRUCT, byte42) == 42);
static_assert(offsetof(OV_FILE_RECORD_CONFIG_STRUCT, lastWord) == 44);

// OvParam::NetLinkAddress: server address. Wire: u32 address (the first dotted number most
// significant), u16 port, byte (1 when the host text is used), 50 bytes.
struct OV_IP_ADDRESS_STRUCT {
    uint32_t address;
    uint16_t port;
    uint8_t useHost;
    char host[50];
};
static_assert(sizeof(OV_IP_ADDRESS_STRUCT) == 60);
static_assert(offsetof(OV_IP_ADDRESS_STRUCT, port) == 4 && offsetof(OV_IP_ADDRESS_STRUCT, useHost) == 6);
static_assert(offsetof(OV_IP_ADDRESS_STRUCT, host) == 7);

// OvParam::NetLinkMountPoint: NTRIP mount point (20 bytes).
struct OV_CORS_DATA_SOURCE_STRUCT {
    char mountPoint[20];
};
static_assert(sizeof(OV_CORS_DATA_SOURCE_STRUCT) == 20);

// OvParam::NetLinkAccount: caster account (70 bytes).
struct OV_ACCOUNT_STRUCT {
    char user[50];
    char password[20];
};
static_assert(sizeof(OV_ACCOUNT_STRUCT) == 70);

// OvParam::ModemDialParam: modem dial parameters, five 20-byte texts (100 bytes).
struct OV_MODEM_DIAL_PARA_STRUCT {
    char texts[5][20];
};
static_assert(sizeof(OV_MODEM_DIAL_PARA_STRUCT) == 100);

// OvParam::FileRecordPpk, OvParam::DataLinkDiffData: a data block. Wire: u32 n, then the n bytes.
struct OV_BLOCK_DATA_STRUCT {
    uint32_t length;
    const uint8_t* data;
};

// ---- records that only come back ----------------------------------------

// OvParam::SystemPowerStatus: three u32.
struct OV_SYSTEM_POWER_STATUS_STRUCT {
    uint32_t words[3];
};
static_assert(sizeof(OV_SYSTEM_POWER_STATUS_STRUCT) == 12);

// OvParam::SystemHardwareInfo: u32, two bytes, four bytes, 13 raw bytes, three u32 (35 bytes on the wire).
struct OV_SYSTEM_HARDWARE_INFO_STRUCT {
    uint32_t word0;
    uint8_t pair[2];
    uint8_t quad[4];
    uint8_t raw[13];
    uint32_t words[3];
};
static_assert(sizeof(OV_SYSTEM_HARDWARE_INFO_STRUCT) == 36);
static_assert(offsetof(OV_SYSTEM_HARDWARE_INFO_STRUCT, raw) == 10 && offsetof(OV_SYSTEM_HARDWARE_INFO_STRUCT, words) == 24);

// OvParam::SystemFirmwareInfo: two 50-byte firmware version texts.
struct OV_SYSTEM_FIRMWARE_VERSION_STRUCT {
    char first[50];
    char second[50];
};
static_assert(sizeof(OV_SYSTEM_FIRMWARE_VERSION_STRUCT) == 100);

// OvParam::NetLinkStatus: network link status: u16, u32, u16.
struct OV_NETLINK_STATUS_STRUCT {
    uint16_t first;
    uint32_t second;
    uint16_t third;
};
static_assert(sizeof(OV_NETLINK_STATUS_STRUCT) == 12 && offsetof(OV_NETLINK_STATUS_STRUCT, second) == 4);

// OvParam::ModemDialStatus: modem dial status: u16, u32, u16.
struct OV_MODEM_DIAL_STATUS_STRUCT {
    uint16_t first;
    uint32_t second;
    uint16_t third;
};
static_assert(sizeof(OV_MODEM_DIAL_STATUS_STRUCT) == 12 && offsetof(OV_MODEM_DIAL_STATUS_STRUCT, second) == 4);

// OvParam::ModemSignal: modem signal intensity: u32 and a byte.
struct OV_MODEM_SIGNAL_INTENSITY_STRUCT {
    uint32_t value;
    uint8_t level;
};
static_assert(sizeof(OV_MODEM_SIGNAL_INTENSITY_STRUCT) == 8);

// OvParam::RadioInfoList: radio information list: u16, u16, u32, u32, u16, u32, u32, u32.
struct OV_RADIO_INFOLIST_STRUCT {
    uint16_t first;
    uint16_t second;
    uint32_t third;
    uint32_t fourth;
    uint16_t fifth;
    uint32_t sixth;
    uint32_t seventh;
    uint32_t eighth;
};
static_assert(sizeof(OV_RADIO_INFOLIST_STRUCT) == 28);
static_assert(offsetof(OV_RADIO_INFOLIST_STRUCT, fifth) == 12 && offsetof(OV_RADIO_INFOLIST_STRUCT, sixth) == 16);

}  // namespace FJParse
}  // namespace Fjarnis2011
