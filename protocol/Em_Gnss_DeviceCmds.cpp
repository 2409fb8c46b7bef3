// Device-level commands of the maker's receivers: device information, raw
// output, battery, closing the receiver, port rate, mode switch, the one-byte
// settings and the firmware-update blocks. The old protocol sends "$$" frames;
// the exports that the new-protocol board also answers send a new-protocol
// command there instead.

#include "platform/Endian.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_GnssCommandGates.h"
#include "protocol/newproto/Em_OvParams.h"
#include "protocol/oldproto/Em_OldCommands.h"

#include <algorithm>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

using namespace command_gates;

namespace {

namespace P = OvParam;

// One-byte setting codes of the "SJ" frame.
constexpr uint8_t kSetOutput = 0x28;
constexpr uint8_t kSetRecordType = 0x2A;
constexpr uint8_t kSetRecordTime = 0x2B;
constexpr uint8_t kSetRecordInterval = 0x31;
constexpr uint8_t kSetRecordMask = 0x32;
constexpr uint8_t kSetTransmitPort = 0x3E;
constexpr uint8_t kSetTransmitFormat = 0x3F;
constexpr uint8_t kSetStartType = 0x60;
constexpr uint8_t kSetAutoBaseDistance = 0x61;

// A firmware-update block: three zero bytes, the block index (bits 8-15, then
// bits 0-7) and 128 data bytes.
constexpr unsigned kUpdateBlockData = 128;
constexpr unsigned kUpdateBlockPayload = 5 + kUpdateBlockData;

void SendOneByteSetting(const Em_Gnss& gnss, std::vector<_STR_CMD>& out, uint8_t code, unsigned value) {
    const Em_IFormat* format = OldFormat(gnss);
    if (!format) return;
    const uint8_t payload[2] = {code, uint8_t(value)};
    AppendLetterCommand(format->comStatus, out, "SJ", payload, sizeof payload, 200);
}

}  // namespace

void Em_Gnss::Get_DeviceInfo(std::vector<_STR_CMD>& out) {
    if (const Em_IFormat* format = MakerFormat(*this)) AppendTextCommand(format->comStatus, out, "SI", 200);
}

void Em_Gnss::Get_200Data(std::vector<_STR_CMD>& out, bool on) {
    if (const Em_IFormat* format = OldFormat(*this))
        AppendTextCommand(format->comStatus, out, on ? "RG,B200" : "RG,B0", 100);
}

void Em_Gnss::Get_Battery(std::vector<_STR_CMD>& out) {
    if (const Em_IFormat* format = OldFormat(*this)) {
        AppendTextCommand(format->comStatus, out, "SD", 200);
        return;
    }
    const uint16_t op = OvOp::SystemQuery;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::SystemPowerStatus, nullptr}}, 0);
}

void Em_Gnss::Get_CloseReceiver(std::vector<_STR_CMD>& out) {
    if (const Em_IFormat* format = OldFormat(*this)) {
        AppendTextCommand(format->comStatus, out, "SG,B0", 200);
        return;
    }
    const uint16_t op = OvOp::SystemSet;
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::SystemPowerOff, nullptr}}, P::SystemPowerOff);
}

void Em_Gnss::Get_Cmd_Com_Baudrate(std::vector<_STR_CMD>& out, const OV_COM_BAUD_ENUM* baud,
                                   OV_COM_PORT_ENUM port) {
    if (const Em_IFormat* format = OldFormat(*this)) {
        // The old protocol has no rate query; its command sets the port in use.
        if (baud) AppendTextCommand(format->comStatus, out, BaudRateCommand(*baud), 200);
        return;
    }
    const uint16_t op = baud ? OvOp::ComSet : OvOp::ComQuery;
    const uint16_t portCode = uint16_t(port);
    const uint16_t rate = baud ? uint16_t(*baud) : 0;
    PackNewCommand(*this, out,
                   {{P::Operation, &op}, {P::ComPort, &portCode}, {P::ComBaud, baud ? &rate : nullptr}},
                   P::ComBaud);
}

void Em_Gnss::Get_OvMdl(std::vector<_STR_CMD>& out, unsigned mode) {
    if (const Em_IFormat* format = OldFormat(*this)) {
        AppendTextCommand(format->comStatus, out, mode == 1 ? "ST,B1,B254" : "ST,B0", 100);
        return;
    }
    const uint16_t op = OvOp::ComSet;
    const uint16_t value = uint16_t(mode);
    PackNewCommand(*this, out, {{P::Operation, &op}, {P::ComDirect, &value}}, P::ComDirect);
}

void Em_Gnss::Send_Gprs_DiffInfo(std::vector<_STR_CMD>& out) {
    if (const Em_IFormat* format = OldFormat(*this)) AppendTextCommand(format->comStatus, out, "RX", 200);
}

void Em_Gnss::Send_DevcInfo_Update_Str(std::vector<_STR_CMD>& out) {
    const Em_IFormat* format = OldFormat(*this);
    if (!format) return;
    const uint8_t payload[2] = {0x01, 0x06};
    AppendLetterCommand(format->comStatus, out, "SS", payload, sizeof payload, 100);
}

void Em_Gnss::Send_DevcInfo_Update_Crs(std::vector<_STR_CMD>& out, unsigned index, const unsigned char* block,
                                       unsigned length) {
    const Em_IFormat* format = OldFormat(*this);
    if (!format || (block == nullptr && length > 0)) return;
    uint8_t payload[kUpdateBlockPayload] = {};
    payload[3] = uint8_t(index >> 8);
    payload[4] = uint8_t(index);
    // A short last block is padded with zeros; nothing past `length` is read.
    const unsigned n = std::min(length, kUpdateBlockData);
    if (n > 0) std::memcpy(payload + 5, block, n);
    AppendLetterCommand(format->comStatus, out, "SX", payload, sizeof payload, 100);
}

void Em_Gnss::Set_DevcInfo_OutPut(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetOutput, value);
}
void Em_Gnss::Set_DevcInfo_RrdTp(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetRecordType, value);
}
void Em_Gnss::Set_DevcInfo_RrdTime(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetRecordTime, value);
}
void Em_Gnss::Set_DevcInfo_RrdFrq(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetRecordInterval, value);
}
void Em_Gnss::Set_DevcInfo_Mask(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetRecordMask, value);
}
void Em_Gnss::Set_DevcInfo_TrsmtPort(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetTransmitPort, value);
}
void Em_Gnss::Set_DevcInfo_TrsmtFmat(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetTransmitFormat, value);
}
void Em_Gnss::Set_DevcInfo_StrtTp(std::vector<_STR_CMD>& out, unsigned value) {
    SendOneByteSetting(*this, out, kSetStartType, value);
}

void Em_Gnss::Set_DevcInfo_AutoBaseDist(std::vector<_STR_CMD>& out, unsigned short distance) {
    // Every receiver of the maker takes this one, whatever its board.
    const Em_IFormat* format = MakerFormat(*this);
    if (!format) return;
    uint8_t payload[3] = {kSetAutoBaseDistance};
    platform::WriteLE16(payload + 1, distance);
    AppendLetterCommand(format->comStatus, out, "SJ", payload, sizeof payload, 200);
}

void Em_Gnss::Get_FirmWare_Db(uint32_t key, FIRMWARE_DEBUG& record) {
    Em_Format_OrvelNav* format = OldNavFormat(*this);
    if (!format || key != Em_Format_OrvelNav::kFirmwareDebugKey) return;
    // Handed out once: the next call gives an empty record until another
    // debug reply comes.
    const auto it = format->firmwareDebug.find(key);
    record = it != format->firmwareDebug.end() ? it->second : FIRMWARE_DEBUG{};
    format->firmwareDebug.erase(key);
}

void Em_Gnss::Get_Gprs_DiffInfo(unsigned char* out, int* n) const {
    const auto* format = dynamic_cast<const Em_Format_OrvelNav*>(Format());
    if (!format || out == nullptr || n == nullptr) return;
    const uint32_t length = std::min<uint32_t>(format->rawReplyLength, Em_Format_OrvelNav::kRawReplySize);
    std::memcpy(out, format->rawReply, length);
    *n = int(length);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
