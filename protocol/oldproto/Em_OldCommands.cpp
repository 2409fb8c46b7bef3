#include "protocol/oldproto/Em_OldCommands.h"

#include "protocol/Em_Base64.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "platform/Endian.h"
#include "platform/Numbers.h"

#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

_STR_CMD EmptyRecord(uint32_t delay) {
    _STR_CMD cmd{};
    cmd.delay = delay;
    return cmd;
}

}  // namespace

void AppendTextCommand(int comStatus, std::vector<_STR_CMD>& out, const char* text, uint32_t delay, int cls) {
    _STR_CMD cmd = EmptyRecord(delay);
    const int mode = DollarPackerMode(comStatus);
    unsigned length = 0;
    if (mode != 0 && PackTextCommand(text, cmd.data, &length, mode, cls)) cmd.length = length;
    out.push_back(cmd);
}

bool AppendLetterCommand(int comStatus, std::vector<_STR_CMD>& out, const char letters[2], const uint8_t* payload,
                         unsigned n, uint32_t delay) {
    if (letters == nullptr || n > kDollarPayloadMax || (n > 0 && payload == nullptr)) return false;
    _STR_CMD cmd = EmptyRecord(delay);
    if (n > 0) std::memcpy(cmd.data, payload, n);
    cmd.length = n;
    PackLetterFrame(comStatus, cmd, letters);  // empties the record when there is no mode
    out.push_back(cmd);
    return true;
}

bool AppendModulePacket(int comStatus, std::vector<_STR_CMD>& out, int id, const uint8_t* data, unsigned m,
                        uint32_t delay) {
    if (m > kDollarTextPayloadMax - 6 || (m > 0 && data == nullptr)) return false;
    _STR_CMD cmd = EmptyRecord(delay);
    unsigned length = 0;
    if (PackModuleTunnel(comStatus, id, cmd.data, &length, int(m), data)) cmd.length = length;
    out.push_back(cmd);
    return true;
}

const char* BaudRateCommand(int32_t baudCode) {
    switch (baudCode) {
    case OV_COM_BAUD_19200:
        return "SB,B238";
    case OV_COM_BAUD_38400:
        return "SB,B247";
    case OV_COM_BAUD_57600:
        return "SB,B250";
    case OV_COM_BAUD_115200:
        return "SB,B253";
    default:
        return "SB,B220";  // 9600, and every rate the receiver has no command for
    }
}

unsigned FieldLength(const char* field, unsigned size) { return unsigned(strnlen(field, size)); }

std::string BuildNtripRequest(const cors_info& cors) {
    const std::string mount(cors.mountPoint, FieldLength(cors.mountPoint, sizeof cors.mountPoint));
    const std::string user(cors.userName, FieldLength(cors.userName, sizeof cors.userName));
    const std::string password(cors.password, FieldLength(cors.password, sizeof cors.password));

    std::string request = "GET /" + mount;
    request +=
        " HTTP/1.0\r\nUser-Agent: NTRIP GNSSInternetRadio/1.4.5\r\nConnection: Keep-Alive\r\nAccept: "
        "*/*\r\nAuthorization: Basic";
    // Without both parts there is nothing to authorise: the line ends at
    // "Basic" and the blank line follows at once.
    if (!user.empty() && !password.empty()) {
        const std::string credentials = user + ":" + password;
        request += ' ';
        request += Em_Base64::base64_encode(reinterpret_cast<const unsigned char*>(credentials.data()),
                                            unsigned(credentials.size()));
    }
    request += "\r\n\r\n";
    return request;
}

unsigned AppendNtripLogin(int comStatus, std::vector<_STR_CMD>& out, const cors_info& cors) {
    const std::string request = BuildNtripRequest(cors);
    // The longest request (a full mount point and the Base64 of a full user
    // name and password, 237 bytes) stays well inside one record.
    std::vector<_STR_CMD> text(1, EmptyRecord(100));
    if (request.size() > sizeof text[0].data) return 0;
    std::memcpy(text[0].data, request.data(), request.size());
    text[0].length = uint32_t(request.size());
    return SplitToVlFrames(comStatus, out, text);
}

unsigned BuildCorsAutoPayload(const cors_info& cors, unsigned mode, uint8_t* out) {
    const unsigned mountLength = FieldLength(cors.mountPoint, sizeof cors.mountPoint);
    const unsigned userLength = FieldLength(cors.userName, sizeof cors.userName);
    const unsigned passwordLength = FieldLength(cors.password, sizeof cors.password);
    if (out == nullptr || mountLength + userLength + passwordLength >= kCorsAutoTextLimit) return 0;
    unsigned p = 0;
    auto put = [&](const char* text, unsigned n) {
        std::memcpy(out + p, text, n);
        p += n;
        out[p++] = 0;
    };
    put(cors.mountPoint, mountLength);
    out[p++] = mode == 1 ? 'M' : mode == 2 ? 'm' : '-';
    out[p++] = 0;
    put(cors.userName, userLength);
    put(cors.password, passwordLength);
    return p;
}

bool AppendPositionRate(int comStatus, std::vector<_STR_CMD>& out, int32_t rate, int64_t value) {
    constexpr uint32_t kDelay = 200;
    if (rate != 0) {
        const char* text = rate == 2 ? "SW,B0,B5" : rate == 11 ? "SW,B0,B2" : "SW,B0,B1";
        AppendTextCommand(comStatus, out, text, kDelay);
        return true;
    }
    if (value < 0) return false;
    // The B token carries the low byte of the value.
    AppendTextCommand(comStatus, out, ("SW,B1,B" + platform::FormatInt(value & 0xFF)).c_str(), kDelay);
    return true;
}

namespace {

struct NmeaMaskRow {
    uint32_t input;
    uint16_t output;
};

// The receiver's order of the sentence bits and the output bit of each.
constexpr NmeaMaskRow kNmeaMaskRows[] = {
    {0x1, 0x1},       {0x40, 0x2},     {0x10, 0x4},     {0x20, 0x8},      {0x100, 0x10},
    {0x2, 0x20},      {0x200, 0x40},   {0x400, 0x80},   {0x800, 0x100},   {0x1000, 0x200},
    {0x2000, 0x400},  {0x4000, 0x800}, {0x8000, 0x1000}, {0x10000, 0x100}, {0x20000, 0x200},
};

// Places of a sentence's rate in the form with rates.
enum RatePlace : uint8_t { kA0, kA1, kA2, kA3, kB0, kB1, kB2, kB3, kC, kDLow, kDHigh };

struct NmeaRateRow {
    uint32_t input;
    uint16_t output;
    int boardType;  // 0: every board
    RatePlace place;
};

constexpr NmeaRateRow kNmeaRateRows[] = {
    {0x1, 0x1, 0, kA0},          {0x40, 0x2, 0, kA1},         {0x10, 0x4, 0, kA2},
    {0x20, 0x8, 0, kA3},         {0x100, 0x10, 0, kB0},       {0x2, 0x20, 0, kB1},
    {0x200, 0x40, 0, kB2},       {0x400, 0x80, 0, kB3},       {0x2000, 0x400, 0, kC},
    {0x800, 0x100, 2, kDLow},    {0x1000, 0x200, 2, kDHigh},  {0x4000, 0x800, 1, kDLow},
    {0x8000, 0x1000, 1, kDHigh}, {0x10000, 0x100, 4, kDLow},  {0x20000, 0x200, 4, kDHigh},
};

}  // namespace

uint16_t OrvelNmeaMask(const std::vector<_set_nmea>& list) {
    uint16_t mask = 0;
    for (const _set_nmea& element : list) {
        for (const NmeaMaskRow& row : kNmeaMaskRows) {
            if (element.sentence & row.input) {
                mask |= row.output;
                break;
            }
        }
    }
    return mask;
}

OrvelNmeaSelection OrvelNmeaWithRates(const std::vector<_set_nmea>& list, int boardType) {
    OrvelNmeaSelection s;
    for (const _set_nmea& element : list) {
        for (const NmeaRateRow& row : kNmeaRateRows) {
            if (!(element.sentence & row.input)) continue;
            if (row.boardType == 0 || row.boardType == boardType) {
                s.mask |= row.output;
                const uint8_t value = uint8_t(element.rate);
                switch (row.place) {
                case kC: s.valueC = value; break;
                case kDLow: s.valueDLow = value; break;
                case kDHigh: s.valueDHigh = value; break;
                default:
                    if (row.place <= kA3)
                        s.groupA[row.place - kA0] = value;
                    else
                        s.groupB[row.place - kB0] = value;
                    break;
                }
            }
            break;  // the first sentence bit decides
        }
    }
    return s;
}

void AppendNmeaOutput(int comStatus, std::vector<_STR_CMD>& out, uint16_t mask, int rate) {
    const std::string text = "RF,M" + platform::FormatInt(mask) + ",B" + platform::FormatInt(rate);
    AppendTextCommand(comStatus, out, text.c_str(), 100);
}

void AppendNmeaRates(int comStatus, std::vector<_STR_CMD>& out, const OrvelNmeaSelection& s, int rate, bool on) {
    const uint16_t d = uint16_t(s.valueDHigh << 8 | s.valueDLow);
    const std::string text = "RD,B" + platform::FormatInt(on ? 1 : 0) + ",M" + platform::FormatInt(s.mask) + ",B" +
                             platform::FormatInt(rate) + ",L" + platform::FormatInt(platform::ReadLE32(s.groupA)) +
                             ",L" + platform::FormatInt(platform::ReadLE32(s.groupB)) + ",B" +
                             platform::FormatInt(s.valueC) + ",M" + platform::FormatInt(d);
    AppendTextCommand(comStatus, out, text.c_str(), 100);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
