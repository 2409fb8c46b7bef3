// Commands and getters of the old-protocol receivers' internal UHF radio,
// static recording, PPK points and the eBubble. The radio commands are module
// packets that the receiver relays to the radio; which of them a receiver
// takes depends on its radio's module type. The static, PPK and eBubble
// commands are "$$" frames for the receiver itself.
//
// On a new-protocol receiver the radio goes through that protocol's own
// radio commands; the eBubble rate and calibration and the PPK points have
// new-protocol forms here, the other exports append nothing there.

#include "platform/Endian.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

// Module-tunnel ids of the radio.
constexpr int kRadioMode = 96;
constexpr int kRadioFrqQueryWide = 98;     // module types 1 and 2
constexpr int kRadioFrqQueryChannel = 110; // module types 3 to 8
constexpr int kRadioPowerSet = 117;
constexpr int kRadioPowerQuery = 118;
constexpr int kRadioBaudSet = 120;
constexpr int kRadioBaudQuery = 121;
constexpr int kRadioSensitivitySet = 128;
constexpr int kRadioSensitivityQuery = 129;
constexpr int kRadioFecSet = 130;
constexpr int kRadioFecQuery = 131;
constexpr int kRadioSpacingSet = 136;
constexpr int kRadioSpacingQuery = 137;
constexpr int kRadioCallsignSet = 144;
constexpr int kRadioCallsignQuery = 145;
constexpr uint32_t kRadioDelay = 200;
constexpr uint32_t kRadioFrqDelay = 100;

// The module type whose radio has sensitivity, FEC, call sign and spacing.
constexpr int kFullRadio = 8;

// PPK point packets go out in "FY" frames of at most this many bytes.
constexpr unsigned kPointPiece = kDollarChunk;

bool TypeIn(const RadioRecord& radio, int first, int last) {
    return radio.moduleType >= first && radio.moduleType <= last;
}

// The old-protocol format behind a receiver of the maker: only that format
// keeps a radio record. The int-valued radio exports open with the maker's
// code alone, so a format of another kind must give their failure value
// rather than a record it does not have.
Em_Format_OrvelNav* RadioFormat(const Em_Gnss& gnss) { return dynamic_cast<Em_Format_OrvelNav*>(MakerFormat(gnss)); }

bool SendRadioPacket(const Em_Format_OrvelNav* format, std::vector<_STR_CMD>& out, int id,
                     const uint8_t* data = nullptr, unsigned m = 0, uint32_t delay = kRadioDelay) {
    return AppendModulePacket(format->comStatus, out, id, data, m, delay);
}

bool SendRadioByte(const Em_Format_OrvelNav* format, std::vector<_STR_CMD>& out, int id, unsigned value) {
    const uint8_t byte = uint8_t(value);
    return SendRadioPacket(format, out, id, &byte, 1);
}

// A packet for the full radio (module type 8) on an old-protocol receiver.
Em_Format_OrvelNav* FullRadio(const Em_Gnss& gnss) {
    Em_Format_OrvelNav* format = OldNavFormat(gnss);
    return format && format->Radio().moduleType == kFullRadio ? format : nullptr;
}

// Band and channel step of each module type, 1 first. Type 7 is offered with
// a 25 kHz step, though its frequencies are rounded to 12.5 kHz.
constexpr Radio_Range kRadioRanges[8] = {
    {467.0, 455.0, 50.0}, {430.0, 410.0, 50.0}, {470.0, 450.0, 12.5}, {430.0, 410.0, 12.5},
    {450.0, 430.0, 12.5}, {470.0, 450.0, 12.5}, {463.0, 455.0, 25.0}, {473.0, 403.0, 12.5},
};

// The results that Get_Radio_Range and Get_Radio_Info share: 0 before the
// device information, 1 before the module version, -1 for an unknown module
// type, 2 when the range is known.
int RadioRangeState(const Em_Format_OrvelNav& format) {
    if (!format.DeviceInfoSeen()) return 0;
    if (!format.ModuleVersionSeen()) return 1;
    return TypeIn(format.Radio(), 1, 8) ? 2 : -1;
}

// Survey-to codes of the "FA" frame.
uint8_t SurveyToCode(int32_t surveyTo) {
    switch (surveyTo) {
    case 2: return 2;  // phase centre
    case 4: return 3;  // slant
    default: return 1; // vertical, and anything unknown
    }
}

// One PPK point packet in "FY" frames: whole when below 56 bytes, else in
// 55-byte pieces and the rest.
void SendPointPacket(Em_Gnss& gnss, std::vector<_STR_CMD>& out, const void* point, int kind) {
    if (point == nullptr) return;
    const Em_IFormat* format = OldFormat(gnss);
    if (!format) {
        // The new protocol writes the same packet into the receiver's record
        // file as one data block.
        if (!NewProtocolBoard(gnss)) return;
        uint8_t packet[kPointRecordBlockSize] = {};
        const int n = PackPointRecord(point, packet, kind);
        if (n <= 0) return;
        const OV_BLOCK_DATA_STRUCT block{uint32_t(n), packet};
        gnss.Get_Cmd_File_Record_PPK(out, &block);
        return;
    }
    uint8_t packet[kPointRecordBlockSize] = {};
    const int n = PackPointRecord(point, packet, kind);
    if (n <= 0) return;
    const unsigned length = unsigned(n);
    if (length <= kPointPiece) {
        AppendLetterCommand(format->comStatus, out, "FY", packet, length, 10);
        return;
    }
    for (unsigned at = 0; at < length; at += kPointPiece)
        AppendLetterCommand(format->comStatus, out, "FY", packet + at, std::min(kPointPiece, length - at), 10);
}

}  // namespace

// ---- radio commands --------------------------------------------------------

int Em_Gnss::Set_Radio_Power(std::vector<_STR_CMD>& out, Radio_Power power) {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    if (!format || !TypeIn(format->Radio(), 6, 8)) return 0;
    return SendRadioByte(format, out, kRadioPowerSet, unsigned(power)) ? 1 : 0;
}

int Em_Gnss::Get_Radio_Power(std::vector<_STR_CMD>& out) {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    if (!format || !TypeIn(format->Radio(), 6, 8)) return 0;
    return SendRadioPacket(format, out, kRadioPowerQuery) ? 1 : 0;
}

int Em_Gnss::Set_Radio_Baudrate(std::vector<_STR_CMD>& out, Radio_Baudrate baud) {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    if (!format || !TypeIn(format->Radio(), 1, 7)) return 0;
    return SendRadioByte(format, out, kRadioBaudSet, unsigned(baud)) ? 1 : 0;
}

int Em_Gnss::Get_Cmd_Radio_Baudrate(std::vector<_STR_CMD>& out) {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    if (!format || !TypeIn(format->Radio(), 1, 7)) return 0;
    return SendRadioPacket(format, out, kRadioBaudQuery) ? 1 : 0;
}

int Em_Gnss::Get_Radio_Frq(std::vector<_STR_CMD>& out) {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    if (!format) return -1;
    // The module type is known only once both replies have come.
    if (!format->DeviceInfoSeen()) return 0;
    if (!format->ModuleVersionSeen()) return 1;
    const RadioRecord& radio = format->Radio();
    int id;
    if (TypeIn(radio, 1, 2))
        id = kRadioFrqQueryWide;
    else if (TypeIn(radio, 3, 8))
        id = kRadioFrqQueryChannel;
    else
        return -1;
    return SendRadioPacket(format, out, id) ? 2 : -1;
}

void Em_Gnss::Set_Radio_Frq(std::vector<_STR_CMD>& out, double mhz) {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return;
    char letter = 0;
    uint8_t code[2] = {};
    unsigned count = 0;
    if (!EncodeRadioFrequency(format->Radio(), &letter, code, &count, mhz)) return;
    // The coding's letter is the packet id: 'a' (97) or 'm' (109).
    SendRadioPacket(format, out, uint8_t(letter), code, count, kRadioFrqDelay);
}

void Em_Gnss::Set_Radio_Mdl(std::vector<_STR_CMD>& out, Rdo_Mdl mode) {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) SendRadioByte(format, out, kRadioMode, unsigned(mode));
}

void Em_Gnss::Set_Radio_Sensitivity(std::vector<_STR_CMD>& out, Rdo_Sensitv sensitivity) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this))
        SendRadioByte(format, out, kRadioSensitivitySet, unsigned(sensitivity));
}

void Em_Gnss::Get_Cmd_Radio_Sensitivity(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this)) SendRadioPacket(format, out, kRadioSensitivityQuery);
}

void Em_Gnss::Set_Radio_FEC(std::vector<_STR_CMD>& out, bool on) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this)) SendRadioByte(format, out, kRadioFecSet, on ? 1 : 0);
}

void Em_Gnss::Get_Cmd_Radio_FEC(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this)) SendRadioPacket(format, out, kRadioFecQuery);
}

void Em_Gnss::Set_Radio_Callsign(std::vector<_STR_CMD>& out, Radio_Callsign callsign) {
    const Em_Format_OrvelNav* format = FullRadio(*this);
    if (!format) return;
    // The module takes at most 14 characters; a longer count is refused
    // whole rather than cut into another call sign.
    const unsigned length = uint8_t(callsign.message[Radio_Callsign::kLengthByte]);
    if (length > Radio_Callsign::kMaxText) return;
    uint8_t payload[2 + Radio_Callsign::kMaxText] = {};
    payload[0] = callsign.state != 0 ? 1 : 0;
    payload[1] = uint8_t(callsign.interval);
    std::memcpy(payload + 2, callsign.message, length);
    SendRadioPacket(format, out, kRadioCallsignSet, payload, length + 2);
}

void Em_Gnss::Get_Cmd_Radio_Callsign(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this)) SendRadioPacket(format, out, kRadioCallsignQuery);
}

void Em_Gnss::Set_Radio_ChannelSpace(std::vector<_STR_CMD>& out, Channel_Space spacing) {
    Em_Format_OrvelNav* format = FullRadio(*this);
    if (!format) return;
    // Code 1 is 20 kHz; 0, 2 and unknown codes keep 12.5 kHz, and an unknown
    // code is sent as 0.
    const uint8_t code = spacing == CHANNEL_SPACE_20K ? 1 : spacing == CHANNEL_SPACE_25K ? 2 : 0;
    format->Radio().spacing = code == 1 ? 20.0 : 12.5;
    SendRadioByte(format, out, kRadioSpacingSet, code);
}

void Em_Gnss::Get_Cmd_Radio_ChannelSpace(std::vector<_STR_CMD>& out) {
    if (const Em_Format_OrvelNav* format = FullRadio(*this)) SendRadioPacket(format, out, kRadioSpacingQuery);
}

// ---- radio getters ---------------------------------------------------------

Radio_Power Em_Gnss::Get_Radio_Power() const {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    return format ? Radio_Power(format->Radio().power) : RADIO_POWER_NONE;
}

Radio_Baudrate Em_Gnss::Get_Radio_Baudrate() const {
    const Em_Format_OrvelNav* format = RadioFormat(*this);
    return format ? Radio_Baudrate(format->Radio().baudCode) : Radio_Baudrate(-1);
}

double Em_Gnss::Get_Radio_Frq() const {
    if (const Em_Format_OrvelNav* format = OldNavFormat(*this)) return format->Radio().frequency;
    // The new-protocol board keeps the frequency as a single-precision value.
    if (const Em_RepParser_Q50* parser = NewParser(*this))
        return double(std::bit_cast<float>(parser->records.radioFrequencyBits));
    return -1.0;
}

Rdo_Mdl Em_Gnss::Get_Transmit_Mdl() const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    return format ? Rdo_Mdl(format->Radio().channelWord) : Rdo_Mdl(-1);
}

int Em_Gnss::Get_Radio_Range(Radio_Range& range) const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return -1;
    const int state = RadioRangeState(*format);
    if (state == 2) range = kRadioRanges[format->Radio().moduleType - 1];
    return state;
}

int Em_Gnss::Get_Radio_Info(Radio_Info& info) const {
    const Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format) return -1;
    const int state = RadioRangeState(*format);
    if (state == 0 || state == 1) return state;
    const int type = format->Radio().moduleType;
    if (state == 2) {
        const Radio_Range& range = kRadioRanges[type - 1];
        info.upperMHz = range.upperMHz;
        info.lowerMHz = range.lowerMHz;
        info.channelStepKHz = range.channelStepKHz;
        info.moduleCode = uint32_t(type);
        info.reserved1 = type >= 6 ? 1 : 0;
    }
    // What the module offers is known for every type once both replies came.
    const bool newer = type == 6 || type == 7;
    info.protocolBits = type == 6 ? 0x70000000u : type == 7 ? 0x10000000u : type == 8 ? 0xE1000000u : 0x72000000u;
    info.reserved2 = (type >= 6 && type <= 8) ? 0x03000000u : 0x01000000u;
    info.featureBits = newer ? 0x0B000000u : type == 8 ? 0x0BD10000u : 0x03220000u;
    info.powerBits = newer ? 15u : type == 8 ? 7u : 0u;
    return state;
}

// ---- static recording ------------------------------------------------------

void Em_Gnss::Set_Static_Point(std::vector<_STR_CMD>& out, Static_Point* point) {
    const Em_IFormat* format = OldFormat(*this);
    if (!format || point == nullptr) return;
    // The stated name length is held to the name field.
    const unsigned n = std::min<unsigned>(point->nameLength, sizeof point->name);
    uint8_t payload[1 + sizeof point->name + 6] = {};
    payload[0] = uint8_t(n);
    std::memcpy(payload + 1, point->name, n);
    platform::WriteLEFloat(payload + 1 + n, point->antennaHeight);
    payload[5 + n] = uint8_t(point->antennaType);
    payload[6 + n] = SurveyToCode(point->surveyTo);
    AppendLetterCommand(format->comStatus, out, "FA", payload, n + 7, 10);
}

void Em_Gnss::Get_Cmd_Static_Point(std::vector<_STR_CMD>& out) {
    if (const Em_IFormat* format = OldFormat(*this)) AppendTextCommand(format->comStatus, out, "FB", 10);
}

void Em_Gnss::Set_Static_Begin(std::vector<_STR_CMD>& out, bool begin) {
    if (const Em_IFormat* format = OldFormat(*this))
        AppendTextCommand(format->comStatus, out, begin ? "FD,B0" : "FD,B1", 100);
}

void Em_Gnss::Set_Static_Begin(std::vector<_STR_CMD>& out, bool begin, unsigned short interval) {
    const Em_IFormat* format = MakerFormat(*this);
    if (!format) return;
    const int link = format->comStatus;
    AppendTextCommand(link, out, begin ? "SJ,B42,B0" : "SJ,B42,B1", 100);
    if (begin) {
        char text[24];
        std::snprintf(text, sizeof text, "SJ,B92,B%d", interval & 0xFF);
        AppendTextCommand(link, out, text, 100);
        std::snprintf(text, sizeof text, "SJ,B93,B%d", interval >> 8);
        AppendTextCommand(link, out, text, 100);
    }
    AppendTextCommand(link, out, begin ? "FD,B0" : "FD,B1", 100);
    AppendTextCommand(link, out, begin ? "FH,B1" : "FH,B0", 100);
}

// ---- eBubble ---------------------------------------------------------------

void Em_Gnss::Set_eBubble_frq(std::vector<_STR_CMD>& out, GNSS_FRQ rate) {
    const Em_IFormat* format = OldFormat(*this);
    if (!format) {
        // The new protocol sets the rate of its eBubble item.
        Get_Cmd_Gnss_Data_Freq(out, DataFreq{OvParam::GnssBubble, GnssFrq_ToDataFrq(rate)});
        return;
    }
    const char* text = rate == GNSS_FRQ_10HZ ? "FF,B10" : rate == GNSS_FRQ_1HZ ? "FF,B1" : "FF,B5";
    AppendTextCommand(format->comStatus, out, text, 100);
}

void Em_Gnss::Set_eBubble_calibration(std::vector<_STR_CMD>& out, bool on, int value) {
    const Em_IFormat* format = OldFormat(*this);
    if (!format) {
        // The new protocol calibrates through the G-sensor's validity.
        Get_Cmd_System_GSensor_Valid(out, OV_GSENSOR_VALID_PERIOD_STRUCT{uint8_t(on ? 1 : 0), uint16_t(value)});
        return;
    }
    const uint8_t payload[3] = {uint8_t(on ? 1 : 0), uint8_t(value), uint8_t(value >> 8)};
    AppendLetterCommand(format->comStatus, out, "FG", payload, sizeof payload, 10);
}

// ---- PPK points ------------------------------------------------------------

void Em_Gnss::Get_Cmd_StartPPKpt(std::vector<_STR_CMD>& out, StartPointInfo* point) {
    SendPointPacket(*this, out, point, 6);
}

void Em_Gnss::Get_Cmd_EndPPKpt(EndPointInfo* point, std::vector<_STR_CMD>& out) {
    SendPointPacket(*this, out, point, 7);
}

void Em_Gnss::Get_Cmd_AntPPKpt(AntPointInfo* point, std::vector<_STR_CMD>& out) {
    SendPointPacket(*this, out, point, 12);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
