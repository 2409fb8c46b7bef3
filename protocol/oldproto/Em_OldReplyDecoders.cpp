#include "protocol/oldproto/Em_OldReplyDecoders.h"

#include "platform/Endian.h"
#include "platform/Numbers.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

void Announce(Em_Format_OrvelNav& f, uint32_t bits) {
    f.messageClass = MSG_TYPE_ORVEL;
    f.changeMask |= bits;
}

// Copies at most `size` - 1 bytes of a text into a fixed field and ends it
// with a zero byte; the rest of the field is zero.
void CopyText(char* field, size_t size, const uint8_t* text, size_t length) {
    std::memset(field, 0, size);
    std::memcpy(field, text, std::min(length, size - 1));
}

// ---- device information ---------------------------------------------------

struct ModelGroup {
    const char* codes[5];
    int boardType;
    uint32_t variant;  // 0: unchanged
};

// Model codes of the device-information record, group by group: the first
// group with a code anywhere in the record's first ten bytes decides.
constexpr ModelGroup kModelGroups[] = {
    {{"Q70A", "8542", "8593", "8417", "Q71A"}, MAINBD_TRIMBLE_BD, 1},
    {{"8631", "8447", nullptr, nullptr, nullptr}, MAINBD_TRIMBLE_BD, 2},
    {{"8552", nullptr, nullptr, nullptr, nullptr}, MAINBD_ORVEL_OLD, 0},
    {{"8427", "Q70E", "Q71E", "8572", nullptr}, MAINBD_NOVATEL_OEM, 2},
    {{"8546", "Q22K", nullptr, nullptr, nullptr}, MAINBD_HEMISPHERE, 0},
};

// ---- module replies -------------------------------------------------------

namespace ModuleId {
constexpr int ModemParams = 89;
constexpr int Version = 95;
constexpr int Frequency = 98;
constexpr int Status = 99;
constexpr int Signal = 101;
constexpr int DialProtocol = 103;
constexpr int Error = 104;
constexpr int LoginMode = 106;
constexpr int NtripLogin = 108;
constexpr int Frequency2 = 110;
constexpr int Disconnect = 113;
constexpr int ModemParamsB = 115;
constexpr int SourceTable = 116;
constexpr int Power = 118;
constexpr int Baud = 121;
constexpr int Sensitivity = 129;
constexpr int Fec = 131;
constexpr int Spacing = 137;
constexpr int Callsign = 145;
}  // namespace ModuleId

// 0x40, id, 255 - id, data length m (4 bytes), m data bytes, XOR, two more.
constexpr unsigned kModuleHead = 7;
constexpr unsigned kModuleOverhead = 10;
constexpr uint8_t kModuleSync = 0x40;

// A collected module packet: c bytes from p.
struct Packet {
    const uint8_t* p;
    unsigned c;
    // Data byte k (packet offset 7 + k) is there.
    bool Has(unsigned k) const { return kModuleHead + k < c; }
    uint8_t Data(unsigned k) const { return p[kModuleHead + k]; }
};

// Text of `length` bytes at packet offset `at`, cut at `end`.
std::string TextAt(const uint8_t* p, unsigned end, unsigned at, unsigned length) {
    if (at >= end) return std::string();
    return std::string(reinterpret_cast<const char*>(p + at), std::min(length, end - at));
}

// The j bytes from `at`: the part before the first zero byte, and the part
// after it. Nothing changes when there is no zero byte among them.
void SplitTexts(ModemRecord& m, const uint8_t* p, unsigned end, unsigned at, unsigned j) {
    if (at > end) return;
    j = std::min(j, end - at);
    const uint8_t* first = p + at;
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(first, 0, j));
    if (!zero) return;
    const unsigned q = unsigned(zero - first);
    m.text3.assign(reinterpret_cast<const char*>(first), q);
    m.text2.assign(reinterpret_cast<const char*>(first + q + 1), j - q - 1);
}

// Layout A (module ids 89/115 with newLayout 0): address, port, protocol and
// the texts at fixed packet offsets; the packet's data must reach the last
// fixed field (offset 104).
bool DecodeModemLayoutA(ModemRecord& m, const uint8_t* p, unsigned end) {
    if (end < 105) return false;
    std::memcpy(m.address, p + 7, 4);
    m.port = p[11] * 256 + p[12];
    m.protocol = ModemProtocolFromLetter(p[13]);
    m.text5 = TextAt(p, end, 24, p[23]);
    m.text4 = TextAt(p, end, 40, p[39]);
    if (p[71] == 0 || p[71] == 1) m.onlineFlag = p[71];
    m.text1 = TextAt(p, end, 73, p[72]);
    SplitTexts(m, p, end, 105, p[104]);
    return true;
}

// Layout B (newLayout 1): the host text in place of the address, the other
// fields further on; the data must reach offset 132.
bool DecodeModemLayoutB(ModemRecord& m, const uint8_t* p, unsigned end) {
    if (end < 133) return false;
    std::memset(m.apnText, 0, sizeof m.apnText);
    const unsigned apn = std::min<unsigned>({p[7], ModemRecord::kApnTextSize, end - 8});
    std::memcpy(m.apnText, p + 8, apn);
    m.apnLength = uint8_t(apn);
    m.port = p[39] * 256 + p[40];
    m.protocol = ModemProtocolFromLetter(p[41]);
    m.text5 = TextAt(p, end, 52, p[51]);
    m.text4 = TextAt(p, end, 68, p[67]);
    if (p[99] == 0 || p[99] == 1) m.onlineFlag = p[99];
    m.text1 = TextAt(p, end, 101, p[100]);
    SplitTexts(m, p, end, 133, p[132]);
    return true;
}

// Modem parameters: the packet must name itself (byte 2 = 255 - id) and its
// XOR over the m + 8 bytes must come to 0 or 0x40; the caller has checked
// that m + 10 bytes are collected.
bool DecodeModemParams(Em_Format_OrvelNav& f, const Packet& k, int id, uint32_t m) {
    if (k.p[2] != uint8_t(255 - id)) return false;
    uint8_t x = 0;
    for (uint32_t i = 0; i < m + 8; ++i) x ^= k.p[i];
    if (x != 0 && x != 0x40) return false;
    const unsigned end = kModuleHead + m;
    return f.modem.newLayout ? DecodeModemLayoutB(f.modem, k.p, end) : DecodeModemLayoutA(f.modem, k.p, end);
}

bool DecodeModuleVersion(Em_Format_OrvelNav& f, const Packet& k) {
    if (!k.Has(3)) return false;
    const std::string_view text(reinterpret_cast<const char*>(k.p + kModuleHead), 4);
    ModemRecord& m = f.modem;
    m.version = platform::LeadingDouble(text);
    m.versionMajor = int(platform::LeadingInt(text));
    m.versionMinor = int(platform::LeadingInt(text.substr(2, 2)));
    f.moduleVersionSeen = 1;
    if (m.versionMajor > 2 && m.versionMinor > 54) {
        // These modules number their radio types anew.
        if (f.radio.moduleType == 1) f.radio.moduleType = 3;
        else if (f.radio.moduleType == 2) f.radio.moduleType = 4;
        SetRadioRanges(f.radio);
    }
    m.newLayout = UsesNewParameterLayout(m.versionMajor, m.versionMinor) ? 1 : 0;
    return true;
}

// "+CSQ: nn": the two characters six after the '+'.
bool DecodeSignal(ModemRecord& m, const Packet& k) {
    static constexpr char kTag[] = "+CSQ:";
    const std::string_view all(reinterpret_cast<const char*>(k.p), k.c);
    const size_t at = all.find(kTag);
    if (at == std::string_view::npos || at + 6 >= all.size()) return false;
    const std::string_view digits = all.substr(at + 6, 2);
    if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
    const int value = int(platform::LeadingInt(digits));
    m.signalRaw = value;
    m.signalLevel = SignalLevelFromCsq(value);
    return true;
}

// Mount point, a mode byte, one byte skipped, user name, password, each text
// ended by a zero byte; a text without its zero byte ends the decoding.
void DecodeNtripLogin(ModemRecord& m, const Packet& k) {
    m.cors = cors_info{};
    unsigned at = kModuleHead;
    auto text = [&](char* field, size_t size) {
        if (at >= k.c) return false;
        const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(k.p + at, 0, k.c - at));
        if (!zero) return false;
        const unsigned length = unsigned(zero - (k.p + at));
        CopyText(field, size, k.p + at, length);
        at += length + 1;
        return true;
    };
    if (!text(m.cors.mountPoint, sizeof m.cors.mountPoint)) return;
    if (at >= k.c) return;
    const uint8_t mode = k.p[at] & 0xE0;
    m.corsAuto = mode == 0x40 ? 1 : mode == 0x60 ? 2 : 0;
    at += 2;
    if (!text(m.cors.userName, sizeof m.cors.userName)) return;
    text(m.cors.password, sizeof m.cors.password);
}

bool DecodeCallsign(RadioRecord& r, const Packet& k) {
    if (k.c < 4) return false;
    const uint8_t length = uint8_t(k.p[3] - 2);
    if (length >= 15 || !k.Has(1u + length)) return false;
    r.callsignLength = length;
    r.callsignOn = k.Data(0) == 1 ? 1 : 0;
    r.callsignValue = k.Data(1);
    std::memset(r.callsignText, 0, sizeof r.callsignText);
    std::memcpy(r.callsignText, k.p + kModuleHead + 2, length);
    return true;
}

// Decodes a collected packet by its id; the change bit of what was stored, 0
// when nothing was.
uint32_t DecodeModulePacket(Em_Format_OrvelNav& f, const Packet& k, int id, uint32_t m) {
    ModemRecord& modem = f.modem;
    RadioRecord& radio = f.radio;
    switch (id) {
    case ModuleId::ModemParams:
    case ModuleId::ModemParamsB:
        return DecodeModemParams(f, k, id, m) ? OldReplyBits::ModemInfo : 0;
    case ModuleId::Version:
        return DecodeModuleVersion(f, k) ? OldReplyBits::ModemVersion : 0;
    case ModuleId::Frequency:
    case ModuleId::Frequency2:
        if (!k.Has(0)) return 0;
        radio.channelWord = k.Data(0);
        // One code byte in a 12-byte packet, two in a 13-byte one.
        if (k.c == 12) DecodeRadioFrequency1(radio, k.p + kModuleHead + 1);
        else if (k.c == 13) DecodeRadioFrequency2(radio, k.p + kModuleHead + 1);
        return OldReplyBits::RadioFrequency;
    case ModuleId::Status:
        if (!k.Has(0)) return 0;
        modem.status = k.Data(0);
        return OldReplyBits::ModemStatus;
    case ModuleId::Signal:
        return DecodeSignal(modem, k) ? OldReplyBits::Signal : 0;
    case ModuleId::DialProtocol:
        if (!k.Has(0)) return 0;
        modem.statusByte4 = k.Data(0);
        return OldReplyBits::DialProtocol;
    case ModuleId::Error:
        if (!k.Has(1)) return 0;
        modem.error = k.Data(1);
        return OldReplyBits::ModemError;
    case ModuleId::LoginMode:
        if (!k.Has(0)) return 0;
        modem.loginMode = k.Data(0);
        return OldReplyBits::LoginMode;
    case ModuleId::NtripLogin:
        DecodeNtripLogin(modem, k);
        return OldReplyBits::NtripLogin;
    case ModuleId::SourceTable: {
        const unsigned n = k.c >= 8 ? std::min<unsigned>(k.c - 8, ModemRecord::kSourceTableSize) : 0;
        std::memcpy(modem.sourceTable, k.p + kModuleHead, n);
        modem.sourceTableLength = n;
        return OldReplyBits::SourceTable;
    }
    case ModuleId::Power:
        if (!k.Has(0)) return 0;
        radio.power = k.Data(0) >= 1 && k.Data(0) <= 5 ? k.Data(0) : 0;
        return OldReplyBits::RadioPower;
    case ModuleId::Baud:
        if (!k.Has(0)) return 0;
        radio.baudCode = k.Data(0) <= 2 ? k.Data(0) : -1;
        return OldReplyBits::RadioBaud;
    case ModuleId::Sensitivity:
        if (!k.Has(0)) return 0;
        radio.sensitivity = k.Data(0) <= 2 ? k.Data(0) : 0;
        return OldReplyBits::Sensitivity;
    case ModuleId::Fec:
        if (!k.Has(0)) return 0;
        radio.fec = k.Data(0) == 1 ? 1 : 0;
        return OldReplyBits::Fec;
    case ModuleId::Spacing:
        if (!k.Has(0)) return 0;
        radio.spacing = k.Data(0) == 1 ? 20.0 : 12.5;
        radio.spacingCode = k.Data(0) == 1 ? 1 : k.Data(0) == 2 ? 2 : 0;
        return OldReplyBits::ChannelSpacing;
    case ModuleId::Callsign:
        return DecodeCallsign(radio, k) ? OldReplyBits::Callsign : 0;
    case ModuleId::Disconnect:
    default:
        return 0;
    }
}

}  // namespace

// ---- public helpers ---------------------------------------------------------

int BoardTypeFromModel(const uint8_t* first10, uint32_t* variant) {
    const std::string_view head(reinterpret_cast<const char*>(first10), 10);
    for (const ModelGroup& g : kModelGroups) {
        for (const char* code : g.codes) {
            if (code && head.find(code) != std::string_view::npos) {
                if (variant) *variant = g.variant;
                return g.boardType;
            }
        }
    }
    if (variant) *variant = 0;
    return 0;
}

int SignalLevelFromCsq(int csq) {
    if (csq < 10) return 0;
    if (csq <= 13) return 1;
    if (csq <= 16) return 2;
    if (csq <= 20) return 3;
    if (csq <= 24) return 4;
    if (csq <= 28) return 5;
    if (csq <= 31) return 6;
    return 0;
}

bool UsesNewParameterLayout(int major, int minor) {
    return (major == 2 && minor >= 88 && minor <= 97) || (major >= 3 && major <= 5 && minor >= 59 && minor <= 68) ||
           (major == 4 && minor >= 69);
}

// ---- decoders ---------------------------------------------------------------

void DecodeBoardOutput(Em_Format_OrvelNav& f) {
    EmIMainBoard* board = f.MainBoard();
    if (!board) return;
    board->AppendReceived(f.Payload(), f.PayloadLength());
    if (board->Parse_NextFrame() == 0) return;
    f.messageClass = MSG_TYPE_GNSS;
    const Em_IRepParser* parser = board->RepParser();
    f.changeMask = parser ? parser->ChangedMask : 0;
}

void DecodeRawReply(Em_Format_OrvelNav& f) {
    const unsigned n = std::min<unsigned>(f.PayloadLength(), Em_Format_OrvelNav::kRawReplySize);
    std::memcpy(f.rawReply, f.Payload(), n);
    f.rawReplyLength = n;
    Announce(f, OldReplyBits::DiffInfo);
}

void DecodeClosing(Em_Format_OrvelNav& f) {
    static constexpr uint8_t kTail[] = {'!', 0x0D, 0x0A, 0x83, 0x0D, 0x0A};
    const uint8_t* p = f.Payload();
    if (f.PayloadLength() < 24) return;
    if (std::memcmp(p, "Close th", 8) != 0 || std::memcmp(p + 18, kTail, sizeof kTail) != 0) return;
    Announce(f, OldReplyBits::Closing);
}

void DecodeBattery(Em_Format_OrvelNav& f) {
    const uint8_t* p = f.Payload();
    const unsigned n = f.PayloadLength();
    if (n < 4) return;
    f.messageClass = MSG_TYPE_ORVEL;
    if (n == 5) {
        const uint8_t g = p[4];
        f.batteryGrade = g < 200 ? 1 : g < 210 ? 2 : g < 220 ? 3 : g < 230 ? 4 : g < 240 ? 5 : 6;
        f.changeMask |= OldReplyBits::BatteryGrade;
    }
    const uint8_t letter = p[3] != 0 ? p[1] : p[0] == 1 ? p[2] : p[1];
    // The level is worked out as an int and only then narrowed to a byte.
    const uint8_t v = letter >= 'A' ? uint8_t(int((letter - 'A') * 5.555555555555555)) : p[0];
    f.batteryLevel = unsigned(std::min(uint8_t(v + 5), uint8_t(100))) / 10;
    f.changeMask |= OldReplyBits::Battery;
}

void CollectDeviceInfo(Em_Format_OrvelNav& f) {
    ReplyBuffer& b = f.deviceInfoBuffer;
    if (!b.Append(f.Payload(), f.PayloadLength())) return;
    if (b.fill < Em_Format_OrvelNav::kDeviceInfoRecordSize) return;
    if (b.fill > Em_Format_OrvelNav::kDeviceInfoRecordSize) {
        // Longer than any record: not a device-information record.
        b.Clear();
        return;
    }
    uint8_t record[Em_Format_OrvelNav::kDeviceInfoRecordSize];
    std::memcpy(record, b.data, sizeof record);
    b.Clear();
    DecodeDeviceInfo(f, record);
}

void DecodeDeviceInfo(Em_Format_OrvelNav& f, const uint8_t* r) {
    f.deviceInfoSeen = 1;
    DEVICE_STR& d = f.deviceInfo;
    d = DEVICE_STR{};
    std::memcpy(d.serialNumber, r + 5, 6);
    std::memcpy(d.model, r + 0, 4);
    std::memcpy(d.productionDate, r + 12, 10);
    std::memcpy(d.reserved1, r + 32, 8);
    d.outputMode = r[40];
    d.recordType = r[42];
    d.recordPeriod = r[43];
    d.positionRate = r[44];
    d.reserved2 = r[48];
    d.recordInterval = r[49];
    d.recordElevMask = r[50];
    d.memorySize = r[58];
    std::memcpy(d.firmwareVersion, r + 52, 4);
    d.rtkElevMask = r[56];
    d.transmitPort = r[62];
    d.transmitFormat = r[63];
    std::memcpy(d.partNumber, r + 112, 10);
    d.startType = r[96];
    d.autoBaseDist = platform::ReadLE16(r + 97);
    d.otaBaudSet = r[124];

    RadioRecord& radio = f.radio;
    radio.moduleType = r[59] == 3 ? 4 : r[59] == 4 ? 5 : 3;
    SetRadioRanges(radio);
    if (r[126] >= 3 && r[126] <= 5) {
        radio.moduleType = r[126] == 3 ? 7 : r[126] == 4 ? 6 : 8;
        SetRadioRanges(radio);
    }

    // A model code of no old board leaves board type 0, the maker's
    // new-protocol board: that reply is announced too, so that the device
    // object can switch such a receiver over to the new protocol instead of
    // waiting for a device information that never comes.
    uint32_t variant = 0;
    const int boardType = BoardTypeFromModel(r, &variant);
    d.boardType = boardType;
    if (variant != 0) f.boardVariant = variant;
    f.textA.clear();
    f.textB.clear();
    Announce(f, OldReplyBits::DeviceInfo);
}

void DecodeSsRecord(Em_Format_OrvelNav& f) {
    const uint8_t* p = f.Payload();
    if (f.PayloadLength() < 22) return;
    SsRecord& s = f.ssRecord;
    std::memset(s.bytes, 0, sizeof s.bytes);
    std::memcpy(s.bytes, p, 4);
    std::memcpy(s.bytes + 20, p + 5, 6);
    std::memcpy(s.bytes + 40, p + 12, 10);
    Announce(f, OldReplyBits::SsRecord);
}

void DecodeStaticPoint(Em_Format_OrvelNav& f) {
    const uint8_t* p = f.Payload();
    const unsigned n = f.PayloadLength();
    if (n < 1) return;
    const unsigned k = p[0];
    if (n < k + 7) return;
    Static_Point& s = f.staticPoint;
    CopyText(s.name, sizeof s.name, p + 1, k);
    s.nameLength = uint8_t(std::min<unsigned>(k, sizeof s.name - 1));
    s.antennaHeight = platform::ReadLEFloat(p + 1 + k);
    s.antennaType = p[5 + k];
    const uint8_t code = p[6 + k];
    s.surveyTo = code == 1 ? 3 : code == 2 ? 2 : code == 3 ? 4 : -1;
    Announce(f, OldReplyBits::StaticPoint);
}

void DecodeBubble(Em_Format_OrvelNav& f) {
    const uint8_t* p = f.Payload();
    if (f.PayloadLength() < 12) return;
    const uint32_t w = platform::ReadLE32(p);
    eBubble_info& b = f.bubble;
    b.word[0] = p[3] >> 4;
    b.word[1] = w & 0x0FFFFFFFu;
    b.word[2] = platform::ReadLE32(p + 4);
    b.word[3] = platform::ReadLE32(p + 8);
    b.word[4] = 0;
    b.word[5] = 0;
    Announce(f, OldReplyBits::Bubble);
}

void DecodeFhReply(Em_Format_OrvelNav& f) {
    const uint8_t* p = f.Payload();
    if (f.PayloadLength() < 8) return;
    f.fhValue1 = platform::ReadLE32(p);
    f.fhValue2 = platform::ReadLE32(p + 4);
    Announce(f, OldReplyBits::Bubble);
}

void DecodeFirmwareDebug(Em_Format_OrvelNav& f) {
    FIRMWARE_DEBUG record = {};
    const unsigned n = std::min<unsigned>(f.PayloadLength(), sizeof record.data);
    std::memcpy(record.data, f.Payload(), n);
    record.length = n;
    f.firmwareDebug[Em_Format_OrvelNav::kFirmwareDebugKey] = record;
    Announce(f, OldReplyBits::FirmwareDebug);
}

void DecodeSourceTable(Em_Format_OrvelNav& f) {
    const unsigned n = f.PayloadLength();
    std::memcpy(f.modem.sourceTable, f.Payload(), n);
    f.modem.sourceTableLength = n;
    Announce(f, OldReplyBits::SourceTable);
}

void DecodeModuleReply(Em_Format_OrvelNav& f) {
    ReplyBuffer& b = f.replyBuffer;
    b.Append(f.Payload(), f.PayloadLength());
    if (b.fill < 2 || b.data[0] != kModuleSync) {
        b.Clear();
        return;
    }
    const int id = b.data[1];
    uint32_t m = 0;
    if (id == ModuleId::ModemParams || id == ModuleId::ModemParamsB) {
        // The parameter reply spans several frames: wait for all of it.
        if (b.fill < kModuleHead) return;
        m = platform::ReadLE32(b.data + 3);
        if (m > ReplyBuffer::kSize - kModuleOverhead) {
            b.Clear();  // could never be collected
            return;
        }
        if (b.fill < m + kModuleOverhead) return;
    }
    const Packet packet{b.data, b.fill};
    const uint32_t bit = DecodeModulePacket(f, packet, id, m);
    b.Clear();
    f.messageClass = MSG_TYPE_ORVEL;
    f.changeMask |= bit;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
