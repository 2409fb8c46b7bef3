#pragma once

// The protocol object: the one object through which the receiver device
// object talks to a receiver. It owns the receive buffer and one frame format,
// chosen from the manufacturer and the main-board type; it takes the bytes
// read from the port, cuts and decodes frames on request, calls the data
// callback once per decoded frame that changed data, copies every received
// byte to the raw record file when asked, and hands out records and command
// records. It starts no thread; the only lock it takes of its own is the
// record file's (besides the receive buffer's).

#include "protocol/Em_Types.h"
#include "protocol/FJParseExport.h"
#include "protocol/boards/Em_BoardTypes.h"
#include "protocol/Em_ModemTypes.h"
#include "protocol/Em_SolutionTypes.h"
#include "protocol/Em_PointTypes.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/oldproto/Em_OldRecords.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

class Em_IFormat;
class RingBuffer;

class FJPARSE_API Em_Gnss {
public:
    // Builds the format for a manufacturer: (m, newProtocol, the receive buffer).
    using FormatFactory =
        std::function<std::unique_ptr<Em_IFormat>(GNSS_MANUFACTURER, bool, RingBuffer&)>;

    // Manufacturer 1: the format of other makers' receivers; 2 with board type
    // 0: the maker's new-protocol format; 2 with any other type, and any other
    // manufacturer: the maker's old-protocol format. The format then creates
    // its main board for t. No callbacks, no context, recording off.
    explicit Em_Gnss(GNSS_MANUFACTURER m = GNSS_MNFCTR_ORVEL, MAINBD_OEM_TYPE t = MAINBD_NOVATEL_OEM);
    // The same with the formats made by `factory` (CreateFormat when empty).
    FJPARSE_LOCAL Em_Gnss(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t, FormatFactory factory);
    // Closes the record file when this object recorded; destroys the format
    // (with its main board), then the receive buffer.
    ~Em_Gnss();
    Em_Gnss(const Em_Gnss&) = delete;
    Em_Gnss& operator=(const Em_Gnss&) = delete;

    // Replaces the format for manufacturer m (1: other makers; any other:
    // the maker's old protocol). The link kind is carried over, the receive
    // buffer starts empty, and there is no main board until Reset_GnsMd.
    void Reset_Mnfctr(GNSS_MANUFACTURER m);
    // The format replaces its main board; false when it cannot serve t.
    bool Reset_GnsMd(MAINBD_OEM_TYPE t);
    // The maker's receivers: when the format in place is not the one the
    // construction table gives for board type t (type 0 the new-protocol
    // format, any other the old one), replaces it by that one, like
    // Reset_Mnfctr (link kind carried over, receive buffer emptied, no main
    // board until Reset_GnsMd). True when the format now fits t; false for
    // other makers and when the new format cannot be made (the old stays).
    bool SwitchProtocolFor(MAINBD_OEM_TYPE t);
    // The format's maker code (1 or 2); 0 without a format.
    GNSS_MANUFACTURER Get_Mnfctr() const;
    // The main board's type; 0 without a main board. The two are one.
    MAINBD_OEM_TYPE Get_GnsMd() const;
    MAINBD_OEM_TYPE GetMainBdType() const;
    // The gates of the exports: the maker's receiver; its new protocol (no
    // main board, or board type 0); its old protocol (a board of another type).
    bool IsOrvelManufacturer() const;
    bool IsOrvelNewProtocolReceiver() const;
    bool IsOrvelOldProtocolReceiver() const;

    // Reading thread: appends the bytes to the receive buffer (under its
    // lock) and, while recording, to the record file. Nothing for null data,
    // no bytes or no format.
    void RcvData(const unsigned char* data, unsigned int n);
    // Processing thread: asks the format for one frame after another and calls
    // the data callback (class, change bits, context) for each frame whose
    // change bits are not 0; returns when no further frame can be cut.
    void ParseData();
    // Calls the OEM-changed callback, when one is registered.
    void IsOemChanged(bool changed);
    // Copies both callbacks of the table (none when there is no table); the
    // context is replaced only by a non-null one.
    void Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* context);
    // Drops every buffered byte.
    void Data_Clear();
    // The message class and change bits of the last consumed frame.
    void Get_RevMsg(Msg_Type* kind, uint32_t* bits) const;
    // The link kind (1 serial COM, 2 Bluetooth; 1 at first).
    void Set_Com_Status(Com_Status s);
    Com_Status Get_Com_Status() const;

    // Base and rover settings held by the main board's command builder; null
    // (or nothing) without one. Set_Gnss_BsCfg also keeps bytes 18-21 of the
    // record in the format.
    const Base_Config* Get_Gnss_BsCfg() const;
    void Set_Gnss_BsCfg(const Base_Config& config);
    const Rover_Config* Get_Gnss_RvCfg() const;
    void Set_Gnss_RvCfg(const Rover_Config& config);

    // Appends the records that carry correction bytes to the receiver.
    void Send_DiffDataToGnss(std::vector<_STR_CMD>& out, const unsigned char* data, unsigned int n);
    // Appends the reset of the receiver's GNSS board, as the format in use
    // sends it (nothing without a format).
    void Get_Gnss_Reset(std::vector<_STR_CMD>& out);

    // on: opens the raw record file (one per process; `name`, or the local
    // date and time "%d%d%d%2d%d%d.bin" when null) unless one is open, and
    // records from now on. off: closes the process's record file.
    void SetRcrdData(bool on, const char* name);

    // The format in use (null without one).
    FJPARSE_LOCAL Em_IFormat* Format() const { return format_.load(std::memory_order_acquire); }

private:
    FJPARSE_LOCAL void ReplaceFormat(std::unique_ptr<Em_IFormat> format);

    std::atomic<bool> recordOn_{false};
    // Owned. Replaced only under the device object's protocol lock; the
    // reading thread only tests it for null.
    std::atomic<Em_IFormat*> format_{nullptr};
    Em_DataCallback dataCallback_ = nullptr;
    Em_OemCallback oemCallback_ = nullptr;
    const void* callbackContext_ = nullptr;
    // The link kind, kept here too so that it survives a manufacturer change
    // even when no format could be made.
    Com_Status comStatus_ = COM_STATUS_SERIAL;
    FormatFactory factory_;
    // Lives as long as this object: the reading thread appends to it while
    // the formats over it come and go.
    std::unique_ptr<RingBuffer> ring_;
    // The format in place is the maker's new-protocol one.
    bool newProtocolFormat_ = false;

public:
    // ==== Old-protocol device, modem and NTRIP login commands ==============
    // Each command appends its records to `out` (nothing when the receiver is
    // not one it applies to); each getter copies the last decoded value (its
    // failure value, or the output untouched, when it does not apply).

    // Device information request ("SI"); any receiver of the maker.
    void Get_DeviceInfo(std::vector<_STR_CMD>& out);
    // Periodic raw output on or off.
    void Get_200Data(std::vector<_STR_CMD>& out, bool on);
    void Get_Battery(std::vector<_STR_CMD>& out);
    void Get_CloseReceiver(std::vector<_STR_CMD>& out);
    // Port rate: a set with `baud`, a query (new protocol only) without.
    void Get_Cmd_Com_Baudrate(std::vector<_STR_CMD>& out, const OV_COM_BAUD_ENUM* baud, OV_COM_PORT_ENUM port);
    // Mode switch: 1 pass-through to the OEM board, other values the
    // receiver's own working mode.
    void Get_OvMdl(std::vector<_STR_CMD>& out, unsigned mode);
    void Send_Gprs_DiffInfo(std::vector<_STR_CMD>& out);
    // Firmware update: the start, then one 128-byte block per call (at most
    // `length` bytes of `block` are read; the rest of the block is zero).
    void Send_DevcInfo_Update_Str(std::vector<_STR_CMD>& out);
    void Send_DevcInfo_Update_Crs(std::vector<_STR_CMD>& out, unsigned index, const unsigned char* block,
                                  unsigned length);
    // One-byte device settings (the low byte of `value` is sent).
    void Set_DevcInfo_OutPut(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_RrdTp(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_RrdTime(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_RrdFrq(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_Mask(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_TrsmtPort(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_TrsmtFmat(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_StrtTp(std::vector<_STR_CMD>& out, unsigned value);
    void Set_DevcInfo_AutoBaseDist(std::vector<_STR_CMD>& out, unsigned short distance);
    // The firmware debug record kept under `key` (only 256 is ever filled; an
    // empty record when none has come), which is then dropped.
    void Get_FirmWare_Db(uint32_t key, FIRMWARE_DEBUG& record);
    // The payload of the last differential-information reply: its length in
    // `*n` and its bytes (at most 200) in `out`.
    void Get_Gprs_DiffInfo(unsigned char* out, int* n) const;

    // Internal modem.
    // Module version request; only once the device information has come.
    // True when a record was appended.
    bool Send_Gprs_Version(std::vector<_STR_CMD>& out);
    void Get_Gprs_Info(std::vector<_STR_CMD>& out);
    void Get_Gprs_Status(std::vector<_STR_CMD>& out);
    void Get_Gprs_Signal(std::vector<_STR_CMD>& out);
    void Get_Gprs_Eroinfo(std::vector<_STR_CMD>& out);
    void Get_Gprs_Reset(std::vector<_STR_CMD>& out);
    void Get_Gprs_CosMdl(std::vector<_STR_CMD>& out);
    void Set_Gprs_CosMdl(std::vector<_STR_CMD>& out, unsigned mode);
    void Send_Gprs_DisConct(std::vector<_STR_CMD>& out);
    // Dial number (at most 55 characters are sent).
    void Set_GSM_NumInfo(std::vector<_STR_CMD>& out, const char* number);
    void Set_Gprs_Modle(std::vector<_STR_CMD>& out, Gprs_Modle mode);
    // Base id (at most 20 bytes are sent).
    void Set_Gprs_BaseId(std::vector<_STR_CMD>& out, const unsigned char* id, unsigned length);
    void Set_Gprs_SvcInfo(std::vector<_STR_CMD>& out, SvcInfo info);
    void Set_Gprs_Ip(std::vector<_STR_CMD>& out, IP_ADRES address, unsigned port, Protocol_Net protocol);
    void Send_Dial_Prtl(std::vector<_STR_CMD>& out);
    void Set_Dial_Prtl(std::vector<_STR_CMD>& out, unsigned protocol);
    void Send_Cors_Info_Auto(std::vector<_STR_CMD>& out);
    void Set_Cors_Info_Auto(std::vector<_STR_CMD>& out, const cors_info& cors, unsigned mode);
    // Source-table request of the caster the modem is connected to.
    void Send_Gprs_GetList(std::vector<_STR_CMD>& out);
    // NTRIP login of the modem to a caster.
    void Set_Cors_Login(std::vector<_STR_CMD>& out, const cors_info& cors);

    // The modem record as the modem's replies left it.
    void GetInfo_Gprs_Info(WirelessInfo& info) const;
    int GetInfo_Gprs_Signa() const;  // the modem's "+CSQ:" value; -1 when none
    gprs_status GetInfo_Gprs_Status() const;
    gprs_ero GetInfo_Gprs_Eroinfo() const;
    int GetInfo_Gprs_CosMdl() const;  // login mode
    double GetInfo_Gprs_Version() const;
    unsigned Get_Dial_Prtl() const;
    void Get_Cors_Info_Auto(cors_info& cors, int& mode) const;
    // The last source-table chunk; `text` must hold 2048 bytes.
    void Get_Gprs_GetList(char* text, int* length) const;

public:
    // ==== GNSS board commands ==============================================
    // Each appends the records of one piece of GNSS work, as the format in use
    // builds it for the board the receiver carries: the board's own commands
    // (relayed by the maker's old-protocol receivers) combined with the
    // receiver's own. No gate; nothing without a format, and no board command
    // for a board that takes none.

    // Initialises the board's outputs.
    void Get_Gnss_Inite(std::vector<_STR_CMD>& out);
    // Starts the board as an RTK base or rover with the settings of
    // Set_Gnss_BsCfg / Set_Gnss_RvCfg.
    void Get_Gnss_StartBase(std::vector<_STR_CMD>& out);
    void Get_Gnss_StartRover(std::vector<_STR_CMD>& out);
    // Elevation mask in degrees.
    void Set_Gnss_ElevDgre(unsigned degrees, std::vector<_STR_CMD>& out);
    // Output rates of the position, the raw observations and the ephemerides.
    void Set_Gnss_PosFrq(std::vector<_STR_CMD>& out, GNSS_FRQ rate);
    void Send_Gnss_Obs(std::vector<_STR_CMD>& out, GNSS_FRQ rate);
    void Send_Gnss_Ephemeris(std::vector<_STR_CMD>& out, GNSS_FRQ rate);
    // The ephemeris of one satellite.
    void Send_Gnss_EphemSat(std::vector<_STR_CMD>& out, unsigned satellite);
    // The board's NMEA sentences (NMEA_SENTENCE_BIT mask) at one rate; the
    // int is not used.
    void Set_Gnss_Nmea(std::vector<_STR_CMD>& out, unsigned long sentences, GNSS_FRQ rate, int unused);
    // Locks a satellite out of the solution, or releases it.
    void Set_Gnss_SatUse(std::vector<_STR_CMD>& out, unsigned satellite, bool use, unsigned release);
    // The board's query whose answer carries its elevation mask.
    void Get_Gnss_ElevMask(std::vector<_STR_CMD>& out);
    // Stops the board's output.
    void Send_Gnss_UnlogData(std::vector<_STR_CMD>& out);
    // The elevation mask the board reported last (degrees); 0 without a board.
    unsigned GetInfo_Gnss_ElevMask() const;
    // The receiver's position rate: "SW" on the maker's old-protocol
    // receivers, the rate of the position item (1040) on its new-protocol
    // receivers; nothing on any other receiver.
    void Get_Cmd_Position_Frq(std::vector<_STR_CMD>& out, GNSS_FRQ rate);
    // The receiver's NMEA output: the board's sentences of the list, then the
    // receiver's selection of them with `selector` (the program passes its
    // output port: 1 cable, 2 Bluetooth, 3 both); the second form also sends
    // each sentence's rate and the flag `on`. The first form serves the
    // maker's old-protocol receivers only; the second also sends the
    // selection with its rates in "$$" frames to its new-protocol receivers
    // (their board gets no command of its own).
    void Set_Orvel_NMEA(std::vector<_STR_CMD>& out, const std::vector<_set_nmea>& sentences, int selector);
    void Set_Orvel_NMEA(std::vector<_STR_CMD>& out, const std::vector<_set_nmea>& sentences, int selector, bool on);

public:
    // ==== Solution, status and record getters ==============================
    // Each copies the last decoded value out of the format or its board's
    // report parser; none sends anything. A getter whose receiver it does not
    // apply to leaves its output untouched (or returns its failure value).

    // The current solution, from every format: position, status and age,
    // the precisions and, with a board, the satellite and time words.
    void Get_Gnss_Pos(POS_INFO* pos) const;
    // Local date and time of the solution; only with a board.
    void Get_Gnss_Time(Time_Str* time) const;
    // Satellites of list `system` (1 GPS, 2 GLONASS, 3 BeiDou, 4 and 5 the
    // further lists): the count in `*count` and that many entries in `out`
    // (room for 32). Any other system, or no board: count 0.
    void Get_Gnss_SatInfo(int system, unsigned* count, SATLLITE_STR* out) const;
    // Satellites listed and of them in use (system 0 only; with a board). The
    // parser's listed count is first raised to the count in use when below it.
    void Get_Gnss_SatUse(int system, SAT_USE* use);
    // Number of satellite systems with listed satellites; only with a board.
    void Get_Gnss_SatTypeNum(int& systems) const;
    void Get_Gnss_Dops(Dops* dops) const;
    void Get_Gnss_Precision(Precisions* precisions) const;
    // The last GGA sentence (`text` must hold 1024 bytes) and its length.
    void Get_Gnss_Gpgga(unsigned char* text, unsigned* length) const;
    // Speed over ground (knots) and course (radians) of the last RMC.
    void Get_Gnss_Gprmc(double& speed, double& course) const;
    // Base position (ECEF, metres) as the board reported it.
    void Get_Gnss_Baseinfo(BASEINFO& base) const;
    // The board's used-signal flags of the solution; 0 without a board.
    uint32_t GetInfo_Gnss_Solutions() const;
    // Hours added to the receiver's UTC time: 0 to 24 are taken, any other
    // value gives 8. Nothing without a board; Get_TimeZone is 0 then.
    void Set_TimeZone(int hours);
    int Get_TimeZone() const;
    // The device information of the last "SI" reply (old protocol only).
    void GetInfo_DevcInfo(DEVICE_STR& info) const;
    // Battery grade: old protocol 0..10 from the "SD" reply; new protocol 12
    // on external power, else 0..10 from its battery levels; -1 for receivers
    // of other makers and while no battery record can be had.
    int Get_Battery_Grd() const;

    // Satellite system (1 GPS, 4 BeiDou) and broadcast ephemeris of the
    // satellite whose ephemeris the board decoded last; nothing for other
    // satellite numbers.
    void Get_Gnss_Ephemeris(unsigned* system, em_eph_t* eph) const;
    // Observations of the last epoch (count first; the entries past the
    // count are zero; the second word is not written).
    void Get_Gnss_Obs_t(em_obs_t* obs) const;
    // The last correction frame handed to the board's transmit holder.
    void Get_Gnss_Trsinfo(TRSMT_INFO& info) const;
    // The board's pass-through characters, its pass-through command and its
    // NMEA-parsing switch, from every format.
    void Get_PassCom_Char(PASSCOMCHAR& chars) const;
    void Get_Cmd_PassCom(std::vector<_STR_CMD>& out, int port);
    void Set_GNSS_ParseNmea(bool on);
    // Old-protocol records: radio sensitivity, FEC, call sign and channel
    // spacing from the module's replies; the static point of the "FB" reply.
    void Get_Radio_Sensitivity(Rdo_Sensitv& sensitivity) const;
    void Get_Radio_FEC(bool& on) const;
    void Get_Radio_Callsign(Radio_Callsign& callsign) const;
    void Get_Radio_ChannelSpace(Channel_Space& spacing) const;
    void Get_Static_Point(Static_Point& point) const;
    // The two words of the static-survey time record ("FH" reply), in order.
    void Get_Static_Time(unsigned& first, unsigned& second) const;
    // The eBubble record of the "FF" reply (old protocol).
    void Get_eBubble_info(eBubble_info& info) const;

public:
    // ==== Old-protocol radio, static recording, PPK points and eBubble ======
    // The internal UHF radio is set through module packets that the receiver
    // relays to it; which settings exist depends on its module type (1..8),
    // known from the device information and the module's version reply. Each
    // command appends nothing when the receiver or its module type does not
    // take it.

    // Transmit power (module types 6-8) and air baud rate (types 1-7): 1 when
    // a record was appended, else 0.
    int Set_Radio_Power(std::vector<_STR_CMD>& out, Radio_Power power);
    int Get_Radio_Power(std::vector<_STR_CMD>& out);
    int Set_Radio_Baudrate(std::vector<_STR_CMD>& out, Radio_Baudrate baud);
    int Get_Cmd_Radio_Baudrate(std::vector<_STR_CMD>& out);
    // Frequency query: 0 before the device information, 1 before the module
    // version (nothing appended in both), 2 when appended, -1 for a module
    // type without one or a receiver of another kind.
    int Get_Radio_Frq(std::vector<_STR_CMD>& out);
    // Frequency in MHz, snapped to the module's channel grid and kept within
    // its band.
    void Set_Radio_Frq(std::vector<_STR_CMD>& out, double mhz);
    // Radio protocol (any module type).
    void Set_Radio_Mdl(std::vector<_STR_CMD>& out, Rdo_Mdl mode);
    // Module type 8 only.
    void Set_Radio_Sensitivity(std::vector<_STR_CMD>& out, Rdo_Sensitv sensitivity);
    void Get_Cmd_Radio_Sensitivity(std::vector<_STR_CMD>& out);
    void Set_Radio_FEC(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_Radio_FEC(std::vector<_STR_CMD>& out);
    // A call sign of 15 or more characters is not sent.
    void Set_Radio_Callsign(std::vector<_STR_CMD>& out, Radio_Callsign callsign);
    void Get_Cmd_Radio_Callsign(std::vector<_STR_CMD>& out);
    // Also keeps the spacing (12.5 or 20 kHz) the frequency coding uses.
    void Set_Radio_ChannelSpace(std::vector<_STR_CMD>& out, Channel_Space spacing);
    void Get_Cmd_Radio_ChannelSpace(std::vector<_STR_CMD>& out);

    // The radio record as the module's replies left it: power (0 when it does
    // not apply), baud code (-1), frequency in MHz (-1.0), the first byte of
    // the last frequency reply (-1).
    Radio_Power Get_Radio_Power() const;
    Radio_Baudrate Get_Radio_Baudrate() const;
    double Get_Radio_Frq() const;
    Rdo_Mdl Get_Transmit_Mdl() const;
    // The module's band and what it offers: 0 before the device information,
    // 1 before the module version (record untouched), -1 for a module type
    // outside 1..8 (or a receiver without the radio), 2 with the record
    // filled. Get_Radio_Info writes its offer words once both replies came,
    // whatever the module type.
    int Get_Radio_Range(Radio_Range& range) const;
    int Get_Radio_Info(Radio_Info& info) const;

    // Static recording: the point record (a null point appends nothing; at
    // most 35 name bytes are sent), its query, begin or end.
    void Set_Static_Point(std::vector<_STR_CMD>& out, Static_Point* point);
    void Get_Cmd_Static_Point(std::vector<_STR_CMD>& out);
    void Set_Static_Begin(std::vector<_STR_CMD>& out, bool begin);
    // Begin (with the record interval) or end, with the receiver's record
    // settings around it.
    void Set_Static_Begin(std::vector<_STR_CMD>& out, bool begin, unsigned short interval);
    // eBubble output rate (1 10 Hz, 3 1 Hz, any other 5 Hz) and calibration.
    void Set_eBubble_frq(std::vector<_STR_CMD>& out, GNSS_FRQ rate);
    void Set_eBubble_calibration(std::vector<_STR_CMD>& out, bool on, int value);
    // PPK points in the receiver's record file, in "FY" frames of at most 55
    // bytes each. A null point appends nothing.
    void Get_Cmd_StartPPKpt(std::vector<_STR_CMD>& out, StartPointInfo* point);
    void Get_Cmd_EndPPKpt(EndPointInfo* point, std::vector<_STR_CMD>& out);
    void Get_Cmd_AntPPKpt(AntPointInfo* point, std::vector<_STR_CMD>& out);

public:
    // ---- The maker's new protocol: com direct ----------------------------
    // Switches the new-protocol receiver's port between its own working mode
    // and pass-through to its GNSS board (parameter 264 with the value, as a
    // setting); nothing for any other receiver.
    void Get_Cmd_Com_Direct(std::vector<_STR_CMD>& out, OV_COM_DIRECT_ENUM mode);

public:
    // ==== The maker's new protocol: command set ==============================
    // Each appends the link frames of one command (an operation item and its
    // parameter items) when the receiver is the maker's new-protocol receiver
    // with its board, and nothing otherwise. A member with a pointer sets the
    // parameter when the pointer is given and queries it when it is null; a
    // bool member switches between two parameters; a _Query member asks.

    // Modem.
    void Get_Cmd_Modem_Dial(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_Modem_Power(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_Modem_Auto_Dial(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_Modem_Auto_Power_On(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_Modem_Dial_Param(std::vector<_STR_CMD>& out, const OV_MODEM_DIAL_PARA_STRUCT* value);
    void Get_Cmd_Modem_Dial_Status_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_Modem_Power_Status_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_Modem_Signal_Intensity_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_Modem_Band_Mode(std::vector<_STR_CMD>& out, const unsigned short* value);

    // GNSS. The data rates: the rate of item 1027; one item's rate; several
    // items' rates in one command. A data id outside 1027..1050 is not a
    // rate item: a list holding one is not sent at all.
    void Get_Cmd_Gnss_Data_Freq(std::vector<_STR_CMD>& out, OV_DATA_FRQ_ENUM rate);
    void Get_Cmd_Gnss_Data_Freq(std::vector<_STR_CMD>& out, const DataFreq& rate);
    void Get_Cmd_Gnss_Data_Freq(std::vector<_STR_CMD>& out, const std::vector<DataFreq>& rates);
    void Get_Cmd_Gnss_IO_ID(std::vector<_STR_CMD>& out, OV_GNSS_IO_ID_ENUM id);
    void Get_Cmd_Gnss_ElevMask(std::vector<_STR_CMD>& out, const unsigned char* degrees);
    void Get_Cmd_Gnss_Pdop_Mask(std::vector<_STR_CMD>& out, const unsigned char* pdop);
    void Get_Cmd_Gnss_Diff_Type(std::vector<_STR_CMD>& out, const unsigned short* type);
    void Get_Cmd_Gnss_Base_Position(std::vector<_STR_CMD>& out, const OV_GNSS_BASE_SET_STRUCT* base);
    void Get_Cmd_Gnss_Sat_Enable(std::vector<_STR_CMD>& out, const OV_GNSS_SATELLITE_ENABLE_STRUCT* enable);

    // System.
    void Get_Cmd_System_Admin(std::vector<_STR_CMD>& out, unsigned short command);
    void Get_Cmd_System_Power_Off(std::vector<_STR_CMD>& out);
    void Get_Cmd_System_Power_Status_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_System_Reboot(std::vector<_STR_CMD>& out);
    void Get_Cmd_System_Hardware_Info_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_System_Firmware_Info_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_System_GSensor_Valid(std::vector<_STR_CMD>& out, OV_GSENSOR_VALID_PERIOD_STRUCT period);

    // Network link: the receiver's own connection to a correction server.
    // Auto-open on the maker's old-protocol receivers sets or asks their
    // modem's login mode instead.
    void Get_Cmd_NetLink_Auto_Open(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_NetLink_Status_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_NetLink_Source_List_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_NetLink_Address(std::vector<_STR_CMD>& out, const OV_IP_ADDRESS_STRUCT* address);
    void Get_Cmd_NetLink_Server_Type(std::vector<_STR_CMD>& out, const unsigned short* type);
    void Get_Cmd_NetLink_Data_Source(std::vector<_STR_CMD>& out, const OV_CORS_DATA_SOURCE_STRUCT* source);
    void Get_Cmd_NetLink_Account(std::vector<_STR_CMD>& out, const OV_ACCOUNT_STRUCT* account);
    void Get_Cmd_NetLink_Connect(std::vector<_STR_CMD>& out, bool on);

    // Data link.
    void Get_Cmd_DataLink_Mode(std::vector<_STR_CMD>& out, const unsigned short* mode);
    void Get_Cmd_DataLink_Differential_Data(std::vector<_STR_CMD>& out, const OV_BLOCK_DATA_STRUCT* data);

    // Radio.
    void Get_Cmd_Radio_Frequency(std::vector<_STR_CMD>& out, const float* mhz);
    void Get_Cmd_Radio_Power(std::vector<_STR_CMD>& out, const unsigned* power);
    void Get_Cmd_Radio_Stepper(std::vector<_STR_CMD>& out, const unsigned* stepper);
    void Get_Cmd_Radio_Air_Baud(std::vector<_STR_CMD>& out, const unsigned* baud);
    void Get_Cmd_Radio_Protocol(std::vector<_STR_CMD>& out, const unsigned short* protocol);
    void Get_Cmd_Radio_Infolist_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_Radio_Power_On(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_Radio_Auto_Power_On(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_Radio_Module_Type_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_Radio_Power_Status_Query(std::vector<_STR_CMD>& out);

    // Wi-Fi.
    void Get_Cmd_WIFI_Param_AP(std::vector<_STR_CMD>& out, const OV_WIFI_PARA_AP_STRUCT* ap);
    void Get_Cmd_WIFI_Mode(std::vector<_STR_CMD>& out, const unsigned short* mode);
    void Get_Cmd_WIFI_Auto_Open(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_WIFI_Open(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_WIFI_Power_Status_Query(std::vector<_STR_CMD>& out);

    // File recording.
    void Get_Cmd_File_Record_Open(std::vector<_STR_CMD>& out, bool on);
    void Get_Cmd_File_Record_Auto_Open(std::vector<_STR_CMD>& out, const unsigned char* value);
    void Get_Cmd_File_Record_Status_Query(std::vector<_STR_CMD>& out);
    void Get_Cmd_File_Record_Param(std::vector<_STR_CMD>& out, const OV_FILE_RECORD_CONFIG_STRUCT* config);
    void Get_Cmd_File_Record_PPK(std::vector<_STR_CMD>& out, const OV_BLOCK_DATA_STRUCT* block);

public:
    // ==== The maker's new protocol: getters ==================================
    // Each copies what the new-protocol receiver's last reply item of its
    // parameter left (zero before any). On any other receiver (or before the
    // board is known) a getter with a result returns the value named, and an
    // out-parameter is left as it was.

    // The status of the last setting reply and the command id of the last
    // message an item was taken from.
    void Get_Cmd_Setting_Response(OV_RESPONSE_STATUS_ENUM& status, unsigned& commandId) const;
    unsigned char Get_Modem_Auto_Dial() const;      // 0
    unsigned char Get_Modem_Auto_Power_On() const;  // 0
    // Each text at most 20 characters, NUL bytes after it.
    void Get_Modem_Dial_Param(OV_MODEM_DIAL_PARA_STRUCT& param) const;
    void Get_Modem_Dial_Status(OV_MODEM_DIAL_STATUS_STRUCT& status) const;
    void Get_Modem_Power_Status(OV_MODEM_POWER_STATUS_ENUM& status) const;
    void Get_Modem_Signal_Intensity(OV_MODEM_SIGNAL_INTENSITY_STRUCT& signal) const;
    void Get_Modem_Band_Mode(OV_MODEM_BAND_MODE_ENUM& mode) const;
    // The board's elevation mask, any receiver with a board; 0 without one.
    int Get_Gnss_ElevMask() const;
    int Get_Gnss_Pdop_Mask() const;  // -1
    // The board's last sentence text and its length, any receiver with a
    // board (null without one; the length is then untouched). The pointer
    // stays valid while this object lives.
    const unsigned char* Get_Gnss_Data_Buff(unsigned& length) const;
    void Get_Gnss_Diff_Type(OV_GNSS_DIFF_TYPE_ENUM& type) const;
    void Get_Gnss_Base_Position(OV_GNSS_BASE_SET_STRUCT& base) const;
    void Get_Gnss_Sat_Enable(OV_GNSS_SATELLITE_ENABLE_STRUCT& enable) const;
    void Get_System_Power_Status(OV_SYSTEM_POWER_STATUS_STRUCT& status) const;
    void Get_System_Hardware_Info(OV_SYSTEM_HARDWARE_INFO_STRUCT& info) const;
    void Get_System_Firmware_Info(OV_SYSTEM_FIRMWARE_VERSION_STRUCT& info) const;
    // The new protocol's auto-open; on the maker's old-protocol receivers the
    // low byte of the modem's login mode; 0 for other receivers.
    unsigned char Get_NetLink_Auto_Open() const;
    void Get_NetLink_Status(OV_NETLINK_STATUS_STRUCT& status) const;
    // The source-list text (not terminated) and its length; the pointer stays
    // valid while this object lives. Length 0 (text untouched) on other
    // receivers.
    void Get_NetLink_Source_List(const unsigned char*& text, unsigned& length) const;
    void Get_NetLink_Address(OV_IP_ADDRESS_STRUCT& address) const;
    void Get_NetLink_Server_Type(OV_NETLINK_SERVER_TYPE_ENUM& type) const;
    void Get_NetLink_Data_Source(OV_CORS_DATA_SOURCE_STRUCT& source) const;
    void Get_NetLink_Account(OV_ACCOUNT_STRUCT& account) const;
    void Get_DataLink_Mode(OV_DATALINK_MODE_ENUM& mode) const;
    float Get_Radio_Frequency() const;         // 0
    unsigned Get_Radio_Power_V2() const;       // 0
    unsigned Get_Radio_Stepper() const;        // 0
    unsigned Get_Radio_Air_Baud() const;       // 4800
    void Get_Radio_Protocol(OV_RADIO_PROTOCOL_ENUM& protocol) const;
    void Get_Radio_Infolist(OV_RADIO_INFOLIST_STRUCT& info) const;
    unsigned char Get_Radio_Auto_Power_On() const;  // 0
    void Get_Radio_Module_Type(OV_RADIO_MODULE_TYPE_ENUM& type) const;
    void Get_Radio_Power_Status(OV_RADIO_POWER_STATUS_ENUM& status) const;
    void Get_WIFI_Param_AP(OV_WIFI_PARA_AP_STRUCT& ap) const;
    void Get_WIFI_Mode(OV_WIFI_MODE_ENUM& mode) const;
    unsigned char Get_WIFI_Auto_Open() const;  // 0
    void Get_WIFI_Power_Status(OV_WIFI_POWER_STATUS_ENUM& status) const;
    unsigned char Get_File_Record_Auto_Open() const;  // 0
    void Get_File_Record_Status(OV_FILE_RECORD_STATUS_ENUM& status) const;
    void Get_File_Record_Param(OV_FILE_RECORD_CONFIG_STRUCT& config) const;
    // The port baud code the receiver reported (new protocol).
    void Get_Com_Baudrate(OV_COM_BAUD_ENUM& baud) const;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
