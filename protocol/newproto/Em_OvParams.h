#pragma once

// The parameter table of the maker's new binary protocol: every parameter id
// this library sends or takes, named once, with how a value sent under it is
// written (and so how long it is) and how long the value of a reply item under
// it must be for the new-protocol board to take it. The operation codes of the
// operation item and the message classes of the replies are here too. The
// command builders, the TLV packer, the board's decoder and the program use
// these names; no other file spells one of these numbers.

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// How the value of a sent item is written. Multi-byte numbers big-endian; a
// record's fields in declaration order.
enum class OvWire : uint8_t {
    None,        // no value: the item is sent as its head alone
    Byte,        // one byte
    U16,         // u16
    U32,         // u32
    GSensor,     // OV_GSENSOR_VALID_PERIOD_STRUCT: byte, u16
    SatEnable,   // OV_GNSS_SATELLITE_ENABLE_STRUCT: five u32
    Mount,       // OV_CORS_DATA_SOURCE_STRUCT: 20 bytes as stored
    BaseSet,     // OV_GNSS_BASE_SET_STRUCT: u16, three doubles
    WifiAp,      // OV_WIFI_PARA_AP_STRUCT: 20 bytes, u16, 20 bytes
    FileRecord,  // OV_FILE_RECORD_CONFIG_STRUCT: 20 bytes, byte, three u32, three bytes, u16, byte, u32
    IpAddress,   // OV_IP_ADDRESS_STRUCT: u32, u16, byte, 50 bytes
    Account,     // OV_ACCOUNT_STRUCT: 50 bytes user, 20 bytes password
    DialPara,    // OV_MODEM_DIAL_PARA_STRUCT: five 20-byte texts
    Block,       // OV_BLOCK_DATA_STRUCT: u32 n, then the n data bytes
};

// Length of a sent value of the wire form; for a data block its head, to which
// the n data bytes are added.
constexpr uint16_t OvWireLength(OvWire wire) {
    switch (wire) {
    case OvWire::None: return 0;
    case OvWire::Byte: return 1;
    case OvWire::U16: return 2;
    case OvWire::GSensor: return 3;
    case OvWire::U32: return 4;
    case OvWire::SatEnable: return 20;
    case OvWire::Mount: return 20;
    case OvWire::BaseSet: return 26;
    case OvWire::WifiAp: return 42;
    case OvWire::FileRecord: return 43;
    case OvWire::IpAddress: return 57;
    case OvWire::Account: return 70;
    case OvWire::DialPara: return 100;
    case OvWire::Block: return 4;
    }
    return 0;
}

// Reply lengths that are not one number: the board takes no reply item of the
// id, or the item's length follows from its own contents (a count, a list),
// which its decoder checks.
inline constexpr uint16_t kOvNoReply = 0;
inline constexpr uint16_t kOvReplyVaries = 0xFFFF;

// One row of the table. It converts to its id, so that a row stands wherever
// an id is asked for (an item list, a `case` label).
struct OvParameter {
    uint16_t id;
    OvWire sent;     // how a value sent under the id is written
    uint16_t reply;  // the exact length of a reply item's value the board takes
    constexpr operator uint16_t() const { return id; }
};

namespace OvParam {
// clang-format off
//                                                 id    sent as             reply value
inline constexpr OvParameter Operation          {   1, OvWire::U16,        kOvNoReply};  // leads every message
inline constexpr OvParameter ResponseStatus     {   2, OvWire::None,       2};
// port
inline constexpr OvParameter ComBaud            { 259, OvWire::U16,        2};  // OV_COM_BAUD_ENUM
inline constexpr OvParameter ComPort            { 260, OvWire::U16,        2};
inline constexpr OvParameter ComDirect          { 264, OvWire::U16,        kOvNoReply};  // mode, pass-through
// system
inline constexpr OvParameter SystemPowerOff     { 771, OvWire::None,       kOvNoReply};
inline constexpr OvParameter SystemPowerStatus  { 772, OvWire::None,       12};  // OV_SYSTEM_POWER_STATUS_STRUCT
inline constexpr OvParameter SystemReboot       { 773, OvWire::None,       kOvNoReply};
inline constexpr OvParameter SystemHardwareInfo { 774, OvWire::None,       35};  // OV_SYSTEM_HARDWARE_INFO_STRUCT
inline constexpr OvParameter SystemFirmwareInfo { 775, OvWire::None,       100}; // OV_SYSTEM_FIRMWARE_VERSION_STRUCT
inline constexpr OvParameter SystemAdmin        { 776, OvWire::U16,        kOvReplyVaries};  // taken as it comes
inline constexpr OvParameter SystemGSensorValid { 777, OvWire::GSensor,    kOvNoReply};
// GNSS; the data outputs 1027 to 1050 are sent with their rate (u16,
// OV_DATA_FRQ_ENUM) and come back with their data
inline constexpr OvParameter GnssDataFreq       {1027, OvWire::U16,        kOvNoReply};  // the first data output
inline constexpr OvParameter GnssIoId           {1028, OvWire::U16,        kOvNoReply};  // OV_GNSS_IO_ID_ENUM
inline constexpr OvParameter GnssDiffType       {1029, OvWire::U16,        2};  // OV_GNSS_DIFF_TYPE_ENUM
inline constexpr OvParameter GnssTextA          {1030, OvWire::U16,        kOvReplyVaries};  // u32 count, text
inline constexpr OvParameter GnssTextB          {1031, OvWire::U16,        kOvReplyVaries};  // the observation output
inline constexpr OvParameter GnssTextC          {1032, OvWire::U16,        kOvReplyVaries};
inline constexpr OvParameter GnssTextD          {1033, OvWire::U16,        kOvReplyVaries};
inline constexpr OvParameter GnssSolution       {1034, OvWire::U16,        28};  // three doubles, u32 status
inline constexpr OvParameter GnssGpsTime        {1035, OvWire::U16,        8};   // u32 week, u32 seconds of week
inline constexpr OvParameter GnssDops           {1036, OvWire::U16,        16};  // four floats
inline constexpr OvParameter GnssSatellites     {1037, OvWire::U16,        kOvReplyVaries};  // 8 + 9 per satellite
inline constexpr OvParameter GnssPrecision      {1038, OvWire::U16,        24};  // three doubles
inline constexpr OvParameter GnssBasePosition   {1039, OvWire::U16,        24};  // three doubles
inline constexpr OvParameter GnssPosition       {1040, OvWire::U16,        64};  // the position record
inline constexpr OvParameter GnssBubble         {1041, OvWire::U16,        15};  // eBubble: byte, u32, three u16, u32
inline constexpr OvParameter GnssOutput1044     {1044, OvWire::U16,        kOvNoReply};  // set, never decoded
inline constexpr OvParameter GnssDataFreqLast   {1050, OvWire::U16,        kOvNoReply};  // the last data output
inline constexpr OvParameter GnssPdopMask       {1104, OvWire::Byte,       1};
inline constexpr OvParameter GnssElevMask       {1105, OvWire::Byte,       1};   // elevation mask, degrees
inline constexpr OvParameter GnssBaseSet        {1106, OvWire::BaseSet,    26};
inline constexpr OvParameter GnssReset          {1107, OvWire::None,       kOvNoReply};
inline constexpr OvParameter GnssUnlog          {1108, OvWire::None,       kOvNoReply};
inline constexpr OvParameter GnssSatEnable      {1109, OvWire::SatEnable,  20};
// radio
inline constexpr OvParameter RadioFrequency     {1795, OvWire::U32,        4};   // the 32 bits of a float, MHz
inline constexpr OvParameter RadioPower         {1796, OvWire::U32,        4};
inline constexpr OvParameter RadioStepper       {1801, OvWire::U32,        4};
inline constexpr OvParameter RadioAirBaud       {1803, OvWire::U32,        4};
inline constexpr OvParameter RadioProtocol      {1804, OvWire::U16,        2};   // OV_RADIO_PROTOCOL_ENUM
inline constexpr OvParameter RadioInfoList      {1805, OvWire::None,       26};  // OV_RADIO_INFOLIST_STRUCT
inline constexpr OvParameter RadioPowerOn       {1806, OvWire::None,       kOvNoReply};
inline constexpr OvParameter RadioPowerOff      {1807, OvWire::None,       kOvNoReply};
inline constexpr OvParameter RadioAutoPowerOn   {1808, OvWire::Byte,       1};
inline constexpr OvParameter RadioModuleType    {1809, OvWire::None,       2};
inline constexpr OvParameter RadioPowerStatus   {1810, OvWire::None,       2};
// Wi-Fi
inline constexpr OvParameter WifiParamAp        {2563, OvWire::WifiAp,     42};
inline constexpr OvParameter WifiMode           {2564, OvWire::U16,        2};   // OV_WIFI_MODE_ENUM
inline constexpr OvParameter WifiClose          {2565, OvWire::None,       kOvNoReply};
inline constexpr OvParameter WifiOpen           {2566, OvWire::None,       kOvNoReply};
inline constexpr OvParameter WifiAutoOpen       {2567, OvWire::Byte,       1};
inline constexpr OvParameter WifiPowerStatus    {2568, OvWire::None,       2};
// file recording
inline constexpr OvParameter FileRecordOpen     {2819, OvWire::None,       kOvNoReply};
inline constexpr OvParameter FileRecordClose    {2820, OvWire::None,       kOvNoReply};
inline constexpr OvParameter FileRecordAutoOpen {2821, OvWire::Byte,       1};
inline constexpr OvParameter FileRecordConfig   {2822, OvWire::FileRecord, 43};
inline constexpr OvParameter FileRecordStatus   {2823, OvWire::None,       2};
inline constexpr OvParameter FileRecordPpk      {2824, OvWire::Block,      kOvNoReply};
// network link
inline constexpr OvParameter NetLinkWord        {4354, OvWire::U32,        4};
inline constexpr OvParameter NetLinkAddress     {4355, OvWire::IpAddress,  57};
inline constexpr OvParameter NetLinkServerType  {4356, OvWire::U16,        2};   // OV_NETLINK_SERVER_TYPE_ENUM
inline constexpr OvParameter NetLinkStatus      {4357, OvWire::None,       8};   // OV_NETLINK_STATUS_STRUCT
inline constexpr OvParameter NetLinkSourceList  {4358, OvWire::None,       kOvReplyVaries};  // u32 count, text
inline constexpr OvParameter NetLinkConnect     {4359, OvWire::None,       kOvNoReply};
inline constexpr OvParameter NetLinkDisconnect  {4360, OvWire::None,       kOvNoReply};
inline constexpr OvParameter NetLinkAutoOpen    {4361, OvWire::Byte,       1};   // the login mode
inline constexpr OvParameter NetLinkMountPoint  {4362, OvWire::Mount,      20};  // the NTRIP mount point
inline constexpr OvParameter NetLinkAccount     {4363, OvWire::Account,    70};  // the caster account
// modem
inline constexpr OvParameter ModemDialParam     {5123, OvWire::DialPara,   100};
inline constexpr OvParameter ModemDialStatus    {5124, OvWire::None,       8};   // OV_MODEM_DIAL_STATUS_STRUCT
inline constexpr OvParameter ModemDial          {5125, OvWire::None,       kOvNoReply};
inline constexpr OvParameter ModemHangUp        {5126, OvWire::None,       kOvNoReply};
inline constexpr OvParameter ModemPowerOn       {5127, OvWire::None,       kOvNoReply};
inline constexpr OvParameter ModemPowerOff      {5128, OvWire::None,       kOvNoReply};
inline constexpr OvParameter ModemAutoDial      {5129, OvWire::Byte,       1};
inline constexpr OvParameter ModemAutoPowerOn   {5130, OvWire::Byte,       1};
inline constexpr OvParameter ModemPowerStatus   {5131, OvWire::None,       2};
inline constexpr OvParameter ModemSignal        {5132, OvWire::None,       5};   // OV_MODEM_SIGNAL_INTENSITY_STRUCT
inline constexpr OvParameter ModemBandMode      {5133, OvWire::U16,        2};   // OV_MODEM_BAND_MODE_ENUM
// data link
inline constexpr OvParameter DataLinkMode       {5379, OvWire::U16,        2};   // OV_DATALINK_MODE_ENUM
inline constexpr OvParameter DataLinkDiffData   {5380, OvWire::Block,      kOvReplyVaries};  // taken as it comes
// clang-format on

// Every row, for the packer's look-up by id.
inline constexpr OvParameter kTable[] = {
    Operation,          ResponseStatus,     ComBaud,           ComPort,          ComDirect,
    SystemPowerOff,     SystemPowerStatus,  SystemReboot,      SystemHardwareInfo, SystemFirmwareInfo,
    SystemAdmin,        SystemGSensorValid, GnssDataFreq,      GnssIoId,         GnssDiffType,
    GnssTextA,          GnssTextB,          GnssTextC,         GnssTextD,        GnssSolution,
    GnssGpsTime,        GnssDops,           GnssSatellites,    GnssPrecision,    GnssBasePosition,
    GnssPosition,       GnssBubble,         GnssOutput1044,    GnssDataFreqLast, GnssPdopMask,
    GnssElevMask,       GnssBaseSet,        GnssReset,         GnssUnlog,        GnssSatEnable,
    RadioFrequency,     RadioPower,         RadioStepper,      RadioAirBaud,     RadioProtocol,
    RadioInfoList,      RadioPowerOn,       RadioPowerOff,     RadioAutoPowerOn, RadioModuleType,
    RadioPowerStatus,   WifiParamAp,        WifiMode,          WifiClose,        WifiOpen,
    WifiAutoOpen,       WifiPowerStatus,    FileRecordOpen,    FileRecordClose,  FileRecordAutoOpen,
    FileRecordConfig,   FileRecordStatus,   FileRecordPpk,     NetLinkWord,      NetLinkAddress,
    NetLinkServerType,  NetLinkStatus,      NetLinkSourceList, NetLinkConnect,   NetLinkDisconnect,
    NetLinkAutoOpen,    NetLinkMountPoint,  NetLinkAccount,    ModemDialParam,   ModemDialStatus,
    ModemDial,          ModemHangUp,        ModemPowerOn,      ModemPowerOff,    ModemAutoDial,
    ModemAutoPowerOn,   ModemPowerStatus,   ModemSignal,       ModemBandMode,    DataLinkMode,
    DataLinkDiffData,
};
}  // namespace OvParam

// The data outputs: every id from the first to the last is sent with a u16
// rate, whether it has a row of its own or not.
inline constexpr uint16_t kDataFreqFirstId = OvParam::GnssDataFreq;
inline constexpr uint16_t kDataFreqLastId = OvParam::GnssDataFreqLast;

// The row of an id; null for an id the table does not hold.
constexpr const OvParameter* FindOvParameter(uint16_t id) {
    for (const OvParameter& row : OvParam::kTable)
        if (row.id == id) return &row;
    return nullptr;
}

// How a value sent under the id is written: the data outputs as u16, every
// other id by its row, an id without a row without a value.
constexpr OvWire OvWireOf(uint16_t id) {
    if (id >= kDataFreqFirstId && id <= kDataFreqLastId) return OvWire::U16;
    const OvParameter* row = FindOvParameter(id);
    return row ? row->sent : OvWire::None;
}

namespace ov_params_detail {
constexpr bool IdsAreUnique() {
    constexpr size_t n = sizeof OvParam::kTable / sizeof OvParam::kTable[0];
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (OvParam::kTable[i].id == OvParam::kTable[j].id) return false;
    return true;
}
// A setting comes back as it was sent: every row that is both sent with a
// value and taken back with one of fixed length has the same length both
// ways, but for the data outputs, which are sent as their rate.
constexpr bool SettingsComeBackAsSent() {
    for (const OvParameter& row : OvParam::kTable) {
        if (row.sent == OvWire::None || row.reply == kOvNoReply || row.reply == kOvReplyVaries) continue;
        if (row.id >= kDataFreqFirstId && row.id <= kDataFreqLastId) continue;
        if (OvWireLength(row.sent) != row.reply) return false;
    }
    return true;
}
}  // namespace ov_params_detail
static_assert(ov_params_detail::IdsAreUnique(), "a parameter id has two rows");
static_assert(ov_params_detail::SettingsComeBackAsSent(), "a setting's reply length differs from its sent length");

// Operation codes: the value of the operation item. A topic's query code is
// its set code plus one.
namespace OvOp {
inline constexpr uint16_t ComSet = 2;
inline constexpr uint16_t ComQuery = 3;
inline constexpr uint16_t SystemSet = 10;
inline constexpr uint16_t SystemQuery = 11;
inline constexpr uint16_t GnssSet = 14;
inline constexpr uint16_t GnssQuery = 15;
inline constexpr uint16_t GnssOther = 16;  // a third GNSS code of the receiver's replies
inline constexpr uint16_t RadioSet = 22;
inline constexpr uint16_t RadioQuery = 23;
inline constexpr uint16_t WifiSet = 34;
inline constexpr uint16_t WifiQuery = 35;
inline constexpr uint16_t FileRecordSet = 38;
inline constexpr uint16_t FileRecordQuery = 39;
inline constexpr uint16_t ModemSet = 42;
inline constexpr uint16_t ModemQuery = 43;
inline constexpr uint16_t NetLinkSet = 46;
inline constexpr uint16_t NetLinkQuery = 47;
inline constexpr uint16_t DataLinkSet = 50;
inline constexpr uint16_t DataLinkQuery = 51;
}  // namespace OvOp

// Message classes the data callback gets for the replies of the new protocol,
// by their operation code (NewProtocolMessageClass). The change bits of the
// board's decoder are unique within one class.
namespace OvReplyClass {
inline constexpr int None = 0;
inline constexpr int Gnss = 3;      // GNSS settings and data outputs
inline constexpr int System = 4;    // port, system and file recording
inline constexpr int Wireless = 5;  // Wi-Fi and modem
inline constexpr int Link = 6;      // radio, network link and data link
}  // namespace OvReplyClass

}  // namespace FJParse
}  // namespace Fjarnis2011
