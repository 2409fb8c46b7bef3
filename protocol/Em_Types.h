#pragma once

// Records and codes that cross the protocol library's boundary: the device
// library and the program pass them through unchanged. Layouts are fixed
// (packed, fixed-width fields) and checked below.

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// One outgoing receiver command: the frame, the pause the writer keeps after
// writing it (ms), and the number of valid bytes of data.
struct _STR_CMD {
    uint8_t data[512];
    uint32_t delay;
    uint32_t length;
};
static_assert(sizeof(_STR_CMD) == 520);
static_assert(offsetof(_STR_CMD, delay) == 512 && offsetof(_STR_CMD, length) == 516);

// Data callback: (message class, change bits, context). OEM-changed callback:
// (changed, context).
typedef void (*Em_DataCallback)(int messageClass, unsigned int changeBits, const void* context);
typedef void (*Em_OemCallback)(bool changed, const void* context);

struct _CALLBACKS_RECEIVER {
    Em_DataCallback dataCallback;
    Em_OemCallback oemCallback;
};

// Which maker's receiver is attached: 1 another maker's, 2 the maker's own.
enum GNSS_MANUFACTURER : int32_t {
    GNSS_MNFCTR_NONE = 0,
    GNSS_MNFCTR_OTHER = 1,
    GNSS_MNFCTR_ORVEL = 2,
};

// The receiver's main-board family.
enum MAINBD_OEM_TYPE : int32_t {
    MAINBD_ORVEL_NEW = 0,    // the maker's new-protocol board
    MAINBD_TRIMBLE_BD = 1,
    MAINBD_NOVATEL_OEM = 2,
    MAINBD_ORVEL_OLD = 3,    // the maker's own older board (Q70R)
    MAINBD_HEMISPHERE = 4,
    MAINBD_NMEA_ONLY = 5,    // another maker's receiver driven by NMEA only
    MAINBD_UNICORE = 6,
};

// Link kind: 1 serial COM, 2 Bluetooth.
enum Com_Status : int32_t {
    COM_STATUS_SERIAL = 1,
    COM_STATUS_BLUETOOTH = 2,
};

// Message classes of the data callback.
enum Msg_Type : int32_t {
    MSG_TYPE_NONE = 0,
    MSG_TYPE_GNSS = 1,   // decoded by a main board
    MSG_TYPE_ORVEL = 2,  // replies of the maker's old protocol
};

// The data callback's change bits of message class 2, one per kind of
// reply the old protocol's decoders stored; several may come in one call.
namespace OldReplyBits {
inline constexpr uint32_t DeviceInfo = 0x80000000u;      // "SI"
inline constexpr uint32_t Battery = 0x40000000u;         // "SD"
inline constexpr uint32_t ModemInfo = 0x20000000u;       // module 89/115: modem parameters
inline constexpr uint32_t ModemStatus = 0x08000000u;     // module 99
inline constexpr uint32_t BatteryGrade = 0x04000000u;    // "SD" of five bytes
inline constexpr uint32_t RadioFrequency = 0x02000000u;  // module 98/110
inline constexpr uint32_t ModemVersion = 0x01000000u;    // module 95
inline constexpr uint32_t DialProtocol = 0x00800000u;    // module 103
inline constexpr uint32_t LoginMode = 0x00400000u;       // module 106
inline constexpr uint32_t Signal = 0x00200000u;          // module 101
inline constexpr uint32_t ModemError = 0x00100000u;      // module 104
inline constexpr uint32_t SsRecord = 0x00020000u;        // "SS"
inline constexpr uint32_t NtripLogin = 0x00010000u;      // module 108
inline constexpr uint32_t RadioBaud = 0x00008000u;       // module 121
inline constexpr uint32_t RadioPower = 0x00004000u;      // module 118
inline constexpr uint32_t DiffInfo = 0x00002000u;        // "RX"
inline constexpr uint32_t SourceTable = 0x00001000u;     // module 116, "VM"
inline constexpr uint32_t Sensitivity = 0x00000800u;     // module 129
inline constexpr uint32_t StaticPoint = 0x00000400u;     // "FB"
inline constexpr uint32_t Closing = 0x00000200u;         // "ST"
inline constexpr uint32_t FirmwareDebug = 0x00000100u;   // "VY"
inline constexpr uint32_t Bubble = 0x00000080u;          // "FF", "FH"
inline constexpr uint32_t SX = 0x00040000u;              // "SX"
inline constexpr uint32_t SC = 0x00080000u;              // "SC"
inline constexpr uint32_t ChannelSpacing = 0x00000040u;  // module 137
inline constexpr uint32_t Callsign = 0x00000020u;        // module 145
inline constexpr uint32_t Fec = 0x00000010u;             // module 131
}  // namespace OldReplyBits

#pragma pack(push, 1)

// Device information decoded from the old protocol's "SI" reply.
struct DEVICE_STR {
    char serialNumber[22];
    char model[22];
    char productionDate[22];
    uint8_t reserved1[8];
    uint8_t outputMode;
    uint8_t recordType;
    uint8_t recordPeriod;
    uint8_t positionRate;
    uint8_t reserved2;
    uint8_t recordInterval;
    uint8_t recordElevMask;
    uint8_t memorySize;
    char firmwareVersion[5];
    uint8_t rtkElevMask;
    uint8_t transmitPort;
    uint8_t transmitFormat;
    char partNumber[17];
    uint8_t startType;
    uint16_t autoBaseDist;
    uint8_t otaBaudSet;
    int32_t boardType;  // MAINBD_OEM_TYPE
};
static_assert(sizeof(DEVICE_STR) == 115);
static_assert(offsetof(DEVICE_STR, outputMode) == 74);
static_assert(offsetof(DEVICE_STR, firmwareVersion) == 82);
static_assert(offsetof(DEVICE_STR, partNumber) == 90);
static_assert(offsetof(DEVICE_STR, boardType) == 111);

// Start types of the device information (`startType`).
enum DEVICE_START_TYPE : int32_t {
    START_TYPE_NONE = 0,
    START_TYPE_AUTO_BASE = 1,  // the automatic base; newer firmware also takes its distance
    START_TYPE_AUTO_ROVER = 2,
};

// NTRIP login record.
struct cors_info {
    char mountPoint[20];
    char userName[50];
    char password[20];
};
static_assert(sizeof(cors_info) == 90);

// Server address: four IPv4 bytes (a.b.c.d has a first), the length of the
// address text and the text (used when the modem holds the address as text).
struct IP_ADRES {
    uint8_t ip[4];
    uint32_t textLength;
    char text[32];
};
static_assert(sizeof(IP_ADRES) == 40);

// A static survey point.
struct Static_Point {
    uint8_t nameLength;
    char name[35];
    float antennaHeight;
    int32_t antennaType;
    int32_t surveyTo;  // 3 vertical, 4 slant, 2 phase centre
};
static_assert(sizeof(Static_Point) == 48);

#pragma pack(pop)

}  // namespace FJParse
}  // namespace Fjarnis2011
