#include "protocol/oldproto/Em_OldCommands.h"

#include "protocol/Em_Base64.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "protocol/oldproto/Em_DollarPacker.h"

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

}  // namespace FJParse
}  // namespace Fjarnis2011
