#include "protocol/boards/Em_CmdPaker_BD.h"

#include "platform/Endian.h"
#include "platform/Numbers.h"

#include <cstring>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;

// Record types of an application file.
constexpr uint8_t kGeneralControls = 1;
constexpr uint8_t kSerialPort = 2;
constexpr uint8_t kReferenceStation = 3;
constexpr uint8_t kOutputMessage = 7;
constexpr uint8_t kStationSelect16 = 0x10;
constexpr uint8_t kStationSelect8 = 0x19;

// Output message kinds.
constexpr uint8_t kRawOutput = 4;
constexpr uint8_t kGsofOutput = 10;
constexpr uint8_t kNmeaZda = 8;
constexpr uint8_t kAllMessages = 0xFF;

constexpr uint8_t kDefaultPdopMask = 95;
constexpr uint8_t kAnyStation = 0xFF;
// The board's port that corrections come in on and go out of at a base.
constexpr uint8_t kBaseSerialPort = 1;
constexpr uint32_t kBaseBaud = 38400;
// The correction type code that selects the 16-bit station selection and the
// extra set-up packets of start rover.
constexpr uint32_t kRoverType16 = 4;

struct NmeaCode {
    uint32_t bit;
    uint8_t code;
};

// The order in which a selection's sentences are switched on.
constexpr NmeaCode kNmeaCodes[] = {
    {NMEA_BIT_GPGGA, 6},  {NMEA_BIT_GPGLL, 44}, {NMEA_BIT_GPGRS, 45}, {NMEA_BIT_GPGSA, 38},
    {NMEA_BIT_GPGST, 13}, {NMEA_BIT_GPGSV, 18}, {NMEA_BIT_GPRMC, 40}, {NMEA_BIT_GPVTG, 12},
    {NMEA_BIT_GPZDA, 8},  {NMEA_BIT_PTNL_PJK, 14}, {NMEA_BIT_PTNL_PJT, 15},
};

// The GSOF records initialise outputs and the position rate ask for: position
// time, ECEF position, ECEF delta, dilutions, latitude/longitude/height, sigma.
constexpr uint8_t kSolutionRecords[] = {1, 3, 6, 9, 2, 12};
constexpr uint8_t kAllSatellitesRecord = 34;

// An application file being built: the 7-byte header, then records, never
// more than one packet holds.
class AppFile {
public:
    explicit AppFile(bool defaults) {
        const uint8_t header[7] = {0, 0, 0, 3, 6, 1, uint8_t(defaults ? 1 : 0)};
        Add(header, sizeof header);
    }
    // Appends the record whole, or nothing (false) when it would not fit.
    bool Add(const uint8_t* bytes, unsigned n) {
        if (n > sizeof bytes_ - size_) return false;
        std::memcpy(bytes_ + size_, bytes, n);
        size_ += n;
        return true;
    }
    bool Add(std::initializer_list<uint8_t> bytes) {
        uint8_t tmp[Em_CmdPaker_BD::kMaxPayload];
        unsigned n = 0;
        for (uint8_t b : bytes) {
            if (n == sizeof tmp) return false;
            tmp[n++] = b;
        }
        return Add(tmp, n);
    }
    void Send(CmdList& out, uint32_t delay) const { MakeDcolPacket(out, DCOL_APPFILE, bytes_, size_, delay); }
    unsigned Size() const { return size_; }

private:
    uint8_t bytes_[Em_CmdPaker_BD::kMaxPayload] = {};
    unsigned size_ = 0;
};

uint8_t NmeaCodeOf(uint32_t bits) {
    for (const NmeaCode& c : kNmeaCodes)
        if (bits & c.bit) return c.code;
    return 0;
}

void SendPacket(CmdList& out, uint8_t type, std::initializer_list<uint8_t> payload, uint32_t delay) {
    uint8_t bytes[16];
    unsigned n = 0;
    for (uint8_t b : payload)
        if (n < sizeof bytes) bytes[n++] = b;
    MakeDcolPacket(out, type, bytes, n, delay);
}

// A text field of a settings record, read with the field's bound.
std::string_view FieldText(const char* field, size_t size) { return std::string_view(field, strnlen(field, size)); }

}  // namespace

bool MakeDcolPacket(CmdList& out, uint8_t type, const uint8_t* payload, unsigned length, uint32_t delay) {
    if (length > Em_CmdPaker_BD::kMaxPayload || (length > 0 && !payload)) return false;
    _STR_CMD cmd;
    std::memset(&cmd, 0, sizeof cmd);
    cmd.delay = delay;
    uint8_t* p = cmd.data;
    p[0] = kStx;
    p[1] = 0;
    p[2] = type;
    p[3] = uint8_t(length);
    if (length > 0) std::memcpy(p + 4, payload, length);
    uint8_t sum = 0;
    for (unsigned k = 1; k < length + 4; ++k) sum = uint8_t(sum + p[k]);
    p[length + 4] = sum;
    p[length + 5] = kEtx;
    cmd.length = length + 6;
    out.push_back(cmd);
    return true;
}

uint8_t Em_CmdPaker_BD::BaudCode(uint32_t baud) {
    switch (baud) {
    case 2400: return 1;
    case 4800: return 2;
    case 9600: return 3;
    case 19200: return 4;
    case 38400: return 5;
    case 57600: return 6;
    case 115200: return 7;
    case 300: return 8;
    case 600: return 9;
    case 1200: return 10;
    default: return 0;
    }
}

namespace {

uint8_t RawFlag(uint32_t bdVariant) { return bdVariant == 0 ? 1 : 0; }

void AddRawRecord(AppFile& f, uint8_t port, uint32_t bdVariant) {
    f.Add({kOutputMessage, 8, kRawOutput, port, 5, 0, 7, RawFlag(bdVariant), 0, 0});
}

void AddGsofRecords(AppFile& f, uint8_t port, uint8_t frq) {
    for (uint8_t s : kSolutionRecords) f.Add({kOutputMessage, 8, kGsofOutput, port, frq, 0, s, 0, 0, 0});
}

}  // namespace

void Em_CmdPaker_BD::Cmd_Inite(CmdList& out, int) {
    const uint8_t port = uint8_t(outputPortIndex);
    AppFile f(true);
    AddRawRecord(f, port, bdVariant);
    AddGsofRecords(f, port, GNSS_FRQ_1HZ);
    f.Add({kOutputMessage, 8, kGsofOutput, port, GNSS_FRQ_5S, 0, kAllSatellitesRecord, 0, 0, 0});
    // The time sentence always leaves on the board's port 1.
    f.Add({kOutputMessage, 4, kNmeaZda, 1, GNSS_FRQ_1HZ, 0});
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_PosFrq(CmdList& out, GNSS_FRQ frq) {
    const uint8_t port = uint8_t(outputPortIndex);
    AppFile f(false);
    AddRawRecord(f, port, bdVariant);
    AddGsofRecords(f, port, uint8_t(frq));
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_Obs(CmdList& out, GNSS_FRQ) {
    AppFile f(false);
    AddRawRecord(f, uint8_t(outputPortIndex), bdVariant);
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_Ephemeris(CmdList& out, GNSS_FRQ) {
    for (unsigned s = 1; s <= 32; ++s) Cmd_EphemSat(out, s);
}

void Em_CmdPaker_BD::Cmd_EphemSat(CmdList& out, unsigned satellite) {
    if (satellite < 1 || satellite > 32) return;
    SendPacket(out, DCOL_EPHEMERIS_REQ, {1, uint8_t(satellite), 0}, kDelay);
}

void Em_CmdPaker_BD::Cmd_ElevMask_Set(CmdList& out, int mask, unsigned) {
    AppFile f(false);
    f.Add({kGeneralControls, 8, uint8_t(mask), 1, kDefaultPdopMask, 0, 0, 0, 0, 0});
    f.Send(out, kSettleDelay);
}

void Em_CmdPaker_BD::Cmd_SatUse(CmdList&, unsigned, bool, unsigned) {}

void Em_CmdPaker_BD::Cmd_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int) {
    const uint8_t port = uint8_t(outputPortIndex);
    AppFile f(false);
    for (const NmeaCode& c : kNmeaCodes)
        if (sentenceMask & c.bit) f.Add({kOutputMessage, 4, c.code, port, uint8_t(frq), 0});
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_Nmea_Ex(CmdList& out, const std::vector<_set_nmea>& list) {
    const uint8_t port = uint8_t(outputPortIndex);
    AppFile f(true);
    for (const _set_nmea& element : list) {
        const uint8_t code = NmeaCodeOf(element.sentence);
        if (code == 0) continue;
        // The packet's length byte holds 255: the list is cut there.
        if (!f.Add({kOutputMessage, 4, code, port, uint8_t(element.rate), 0})) break;
    }
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_ElevMask(CmdList& out) { MakeDcolPacket(out, DCOL_OPTIONS_REQ, nullptr, 0, kDelay); }

void Em_CmdPaker_BD::Cmd_UnlogData(CmdList& out) {
    AppFile f(false);
    f.Add({kOutputMessage, 4, kAllMessages, uint8_t(outputPortIndex), 0, 0});
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_StartBase(CmdList& out) {
    baseConfig.outputPort = kBaseSerialPort;
    baseConfig.baudRate = kBaseBaud;
    const Base_Config& b = baseConfig;
    const int16_t stationId = int16_t(uint16_t(b.stationId));

    AppFile f(true);
    f.Add({kGeneralControls, 8, b.elevMask, 1, b.pdopMask, 0, 0, 0, 0, 0});
    f.Add({kSerialPort, 4, kBaseSerialPort, BaudCode(b.baudRate), 0, 0});

    uint8_t station[2 + 37] = {kReferenceStation, 37, 0, 0};
    const std::string_view name = FieldText(b.stationName, sizeof b.stationName);
    for (size_t i = 0; i < 8; ++i) station[4 + i] = i < name.size() ? uint8_t(name[i]) : uint8_t(' ');
    uint8_t* q = station + 12;
    for (double v : {b.latitude, b.longitude, b.height}) {
        uint64_t u;
        std::memcpy(&u, &v, sizeof u);
        platform::WriteBE32(q, uint32_t(u >> 32));
        platform::WriteBE32(q + 4, uint32_t(u));
        q += 8;
    }
    platform::WriteBE16(q, uint16_t(stationId & 0x3FF));
    q[2] = uint8_t(stationId & 31);
    f.Add(station, sizeof station);

    const uint8_t port = uint8_t(b.outputPort);
    f.Add({kOutputMessage, 8, kRawOutput, port, 5, 0, 7, RawFlag(bdVariant), 0, 0});
    uint8_t kind = 2, subKind = 0;
    switch (b.correctionType) {
    case 3: kind = 2; subKind = 2; break;
    case 7: kind = 3; subKind = 33; break;
    case 8: kind = 3; subKind = 1; break;
    case 9: kind = 3; subKind = 9; break;
    case 10: kind = 3; subKind = 17; break;
    case 12: kind = 2; subKind = 3; break;
    default: break;
    }
    f.Add({kOutputMessage, 5, kind, port, 3, 0, subKind});
    f.Send(out, kDelay);
}

void Em_CmdPaker_BD::Cmd_StartRover(CmdList& out) {
    Cmd_ElevMask(out);
    roverConfig.inputPort = 1;
    const Rover_Config& r = roverConfig;
    const uint8_t k = uint8_t(r.inputPort);
    const bool type16 = r.correctionType == kRoverType16;

    const std::string_view text = FieldText(r.stationId, sizeof r.stationId);
    const bool any = text == "ANY";
    long long id = any ? 0 : platform::LeadingInt(text);

    AppFile f(false);
    f.Add({kGeneralControls, 8, r.elevMask, 1, r.pdopMask, 0, 0, 0, 0, 0});
    if (type16) {
        const uint8_t lo = any ? kAnyStation : uint8_t(id);
        const uint8_t hi = any ? kAnyStation : uint8_t(id >> 8);
        f.Add({kStationSelect16, 6, 0, 3, 13, 0x40, lo, hi});
    } else {
        f.Add({kStationSelect8, 3, any ? kAnyStation : uint8_t(id), 0, 0});
    }
    f.Send(out, kDelay);

    SendPacket(out, 0x84, {0x84, uint8_t(k + 0x81)}, kShortDelay);
    SendPacket(out, 0x59, {0, uint8_t(k + 1), 0}, kShortDelay);
    if (type16) {
        SendPacket(out, 0x4E, {1, 5, 0, 10, 4, 0, 0x61}, kShortDelay);
        SendPacket(out, 0x4E, {2, 0, 2, 0, 0, 0, 0, 0, 0}, kShortDelay);
    }
    const uint8_t m = type16 ? 5 : 23;
    SendPacket(out, 0x49, {uint8_t(k + 1), 1, m, 0, 1, 0}, kShortDelay);
    if (type16) {
        SendPacket(out, 0x24, {uint8_t(k + 1), 1, m, 0, 1, 0}, kShortDelay);
    } else {
        SendPacket(out, 0xA3, {0, 0, 0}, kShortDelay);
        for (uint8_t x : {0x78, 0x7A, 0x7C, 0x7E, 0x83, 0x86}) SendPacket(out, 0xA3, {4, x, 0}, kShortDelay);
    }
    if (bdVariant == 1) SendPacket(out, 0x53, {0x0E, 0, 0}, kShortDelay);
    // The board takes a while to apply the set-up before outputs are asked for.
    out.back().delay = kSettleDelay;
    Cmd_Inite(out, 0);
}

void Em_CmdPaker_BD::Cmd_Reset(CmdList& out) {
    SendPacket(out, DCOL_RESET, {0xFF, 0x03, 'R', 'E', 'S', 'E', 'T'}, kDelay);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
