// libFuzzer target: the protocol object with the maker's old-protocol format,
// fed arbitrary bytes under every board type and both link kinds, with board
// switches, buffer clears and the format's own differential-data frames fed
// back in between, as the device object's threads would call it.
//
// Input: byte 0: the board type (bits 0-2) and the link kind (bit 3 set:
// Bluetooth); then a list of operations, each led by a control byte c:
//   c < 0xF0        feed the next c + 1 bytes (or what is left), then ParseData
//   0xF0            Data_Clear
//   0xF1 t          Reset_GnsMd(t % 8)
//   0xF2 n          pack the next n + 1 bytes as differential data; every record
//                   must read back as a "VD" frame holding them; feed them back
//   0xF3 a b L      feed one sound "$$" frame with the letters a b and the next
//                   L bytes as its payload, then ParseData
//   0xF4 id L       feed the module packet (id, the next L bytes) in "VI" frames
//                   of at most 55 bytes, then ParseData
//   0xF5 p[16]      run the radio, static, PPK and eBubble commands with
//                   arguments taken from the next 16 bytes (the point records
//                   filled from them, repeated): every record must be one
//                   sound "$$" frame; then read every radio getter
//   0xF6-0xFF       ParseData
//
// The Trimble BD, Hemisphere and the maker's own (type 3) boards are the
// library's own, fed the board output of "RG" replies as it comes (and the
// own board's binary logs straight from the line); the other families are
// stood in for by
// a board that checks that its 2048-byte buffer is never passed. After every
// operation the format's records, the satellite data's arrays and the board's
// satellite tables among them, must hold their bounds.

#include "platform/Endian.h"
#include "protocol/Em_Gnss.h"
#include "protocol/boards/EmIMainBoard.h"
#include "protocol/boards/Em_MainBd_Common.h"
#include "protocol/boards/Em_MainBd_Hemis.h"
#include "protocol/boards/Em_MainBd_OrvelR.h"
#include "protocol/boards/Em_MainBd_Trim_BD.h"
#include "protocol/oldproto/Em_DollarPacker.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace oldformat_fuzz {

using namespace Fjarnis2011::FJParse;

inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

class StandInBoard : public EmIMainBoard {
public:
    explicit StandInBoard(MAINBD_OEM_TYPE t) : EmIMainBoard(t) {
        SetParts(std::make_unique<Em_RepParser_Common>(), std::make_unique<Em_CmdPaker_Common>());
    }
    unsigned Parse_NextFrame() override {
        const MainBdRecvBuffer* b = RecvBuffer();
        Check(b->fill >= 0 && b->fill <= MainBdRecvBuffer::kSize);
        if (b->fill < 3) return 0;  // board output not all there yet: kept
        RepParser()->ChangedMask = uint32_t(b->fill);
        ClearRecvBuffer();
        return (++frames_ % 7) ? 1u : 0u;
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }

private:
    unsigned frames_ = 0;
};

inline std::unique_ptr<EmIMainBoard> Boards(MAINBD_OEM_TYPE t) {
    if (t == MAINBD_TRIMBLE_BD) return std::make_unique<Em_MainBd_Trim_BD>();
    if (t == MAINBD_HEMISPHERE) return std::make_unique<Em_MainBd_Hemis>();
    if (t == MAINBD_ORVEL_OLD) return std::make_unique<Em_MainBd_OrvelR>();
    return std::make_unique<StandInBoard>(t);
}

inline std::unique_ptr<Em_IFormat> Formats(GNSS_MANUFACTURER, bool, RingBuffer& ring) {
    return std::make_unique<Em_Format_OrvelNav>(ring, &Boards);
}

inline void OnData(int messageClass, unsigned bits, const void*) {
    Check(bits != 0);
    Check(messageClass == MSG_TYPE_GNSS || messageClass == MSG_TYPE_ORVEL);
}

// A fixed text field holds its terminator.
inline bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

inline void CheckRecords(const Em_Format_OrvelNav& f) {
    Check(f.frameLength <= Em_Format_OrvelNav::kFrameSize);
    Check(f.rawReplyLength <= Em_Format_OrvelNav::kRawReplySize);
    for (const ReplyBuffer* b : {&f.replyBuffer, &f.deviceInfoBuffer, &f.satelliteBuffer})
        Check(b->fill <= ReplyBuffer::kSize);
    Check(f.radio.callsignLength < 15);
    Check(f.modem.apnLength <= ModemRecord::kApnTextSize);
    Check(f.modem.sourceTableLength <= ModemRecord::kSourceTableSize);
    Check(f.staticPoint.nameLength < sizeof f.staticPoint.name && Terminated(f.staticPoint.name, sizeof f.staticPoint.name));
    Check(Terminated(f.modem.cors.mountPoint, sizeof f.modem.cors.mountPoint));
    Check(Terminated(f.modem.cors.userName, sizeof f.modem.cors.userName));
    Check(Terminated(f.modem.cors.password, sizeof f.modem.cors.password));
    Check(f.batteryLevel <= 10 && f.batteryGrade <= 6);
    Check(f.modem.signalLevel >= 0 && f.modem.signalLevel <= 6);
    for (const auto& [key, record] : f.firmwareDebug) Check(key == 256 && record.length <= sizeof record.data);
    const int32_t board = f.deviceInfo.boardType;
    Check(board >= 0 && board <= 4);
    Check(f.radio.moduleType >= 1 && f.radio.moduleType <= 8);
    // Satellite data: at most five chunks are collected before the last, and
    // no table holds more than it can, whether the satellite data or the
    // board's own decoding filled it.
    Check(f.satelliteBuffer.fill <= 6 * kDollarChunk);
    for (const OldSatArray& a : f.satellites) Check(a.count <= SatList::kCapacity);
    if (const EmIMainBoard* board = f.MainBoard())
        if (const Em_IRepParser* parser = board->RepParser())
            for (const SatList& list : parser->satLists) Check(list.count <= SatList::kCapacity);
    // The own board's observation record holds at most its 28 satellites.
    if (const EmIMainBoard* board = f.MainBoard())
        if (const auto* own = dynamic_cast<const Em_RepParser_Q70R*>(board->RepParser())) {
            Check(platform::ReadLE32(own->obsRecord + RtkRecords::kObsCountAt) <= RtkRecords::kObsMaxSats);
        }
}

inline std::vector<uint8_t> Frame(uint8_t a, uint8_t b, const uint8_t* payload, size_t n) {
    std::vector<uint8_t> f = {0x24, 0x24, a, b, 0x18, uint8_t(n)};
    f.insert(f.end(), payload, payload + n);
    uint8_t x = 0;
    for (size_t k = 2; k < f.size(); ++k) x ^= f[k];
    f.insert(f.end(), {x, 0x0D, 0x0A});
    return f;
}

// Every record a command appends is one whole "$$" frame within the record.
inline void CheckFrames(const std::vector<_STR_CMD>& out) {
    for (const _STR_CMD& cmd : out) {
        Check(cmd.length <= sizeof cmd.data);
        const DollarFrameCut cut = ReadDollarFrame(cmd.data, int(cmd.length));
        Check(cut.result == OldFrameResult::Decoded && unsigned(cut.length) == cmd.length);
    }
}

template <class T>
T FilledFrom(const uint8_t* p) {
    T record{};
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t k = 0; k < sizeof record; ++k) bytes[k] = p[k % 16];
    return record;
}

inline void RunCommands(Em_Gnss& g, const uint8_t* p) {
    std::vector<_STR_CMD> out;
    int32_t word = 0;
    std::memcpy(&word, p, 4);
    double mhz = 0;
    std::memcpy(&mhz, p + 4, 8);
    g.Set_Radio_Power(out, Radio_Power(word));
    g.Get_Radio_Power(out);
    g.Set_Radio_Baudrate(out, Radio_Baudrate(word));
    g.Get_Cmd_Radio_Baudrate(out);
    g.Get_Radio_Frq(out);
    g.Set_Radio_Frq(out, mhz);
    g.Set_Radio_Frq(out, 400.0 + p[12] * 0.3);
    g.Set_Radio_Mdl(out, Rdo_Mdl(word));
    g.Set_Radio_Sensitivity(out, Rdo_Sensitv(word));
    g.Get_Cmd_Radio_Sensitivity(out);
    g.Set_Radio_FEC(out, p[13] & 1);
    g.Get_Cmd_Radio_FEC(out);
    g.Set_Radio_Callsign(out, FilledFrom<Radio_Callsign>(p));
    g.Get_Cmd_Radio_Callsign(out);
    g.Set_Radio_ChannelSpace(out, Channel_Space(p[14] % 4));
    g.Get_Cmd_Radio_ChannelSpace(out);
    Static_Point point = FilledFrom<Static_Point>(p);
    g.Set_Static_Point(out, &point);
    g.Get_Cmd_Static_Point(out);
    g.Set_Static_Begin(out, p[13] & 2);
    g.Set_Static_Begin(out, p[13] & 4, uint16_t(word));
    g.Set_eBubble_frq(out, GNSS_FRQ(p[15]));
    g.Set_eBubble_calibration(out, p[13] & 8, word);
    StartPointInfo start = FilledFrom<StartPointInfo>(p);
    EndPointInfo end = FilledFrom<EndPointInfo>(p);
    AntPointInfo antenna = FilledFrom<AntPointInfo>(p);
    g.Get_Cmd_StartPPKpt(out, &start);
    g.Get_Cmd_EndPPKpt(&end, out);
    g.Get_Cmd_AntPPKpt(&antenna, out);
    CheckFrames(out);

    Radio_Range range{};
    Radio_Info info{};
    const int r = g.Get_Radio_Range(range);
    Check(r >= -1 && r <= 2);
    Check(g.Get_Radio_Info(info) == r);
    (void)g.Get_Radio_Power();
    (void)g.Get_Radio_Baudrate();
    (void)g.Get_Radio_Frq();
    (void)g.Get_Transmit_Mdl();
}

inline int RunOne(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Em_Gnss g(GNSS_MNFCTR_ORVEL, MAINBD_OEM_TYPE(data[0] & 7), &Formats);
    auto* format = dynamic_cast<Em_Format_OrvelNav*>(g.Format());
    Check(format != nullptr);
    g.Set_Com_Status((data[0] & 8) ? COM_STATUS_BLUETOOTH : COM_STATUS_SERIAL);
    const _CALLBACKS_RECEIVER cbs = {&OnData, nullptr};
    g.Reg_Callbacks(&cbs, nullptr);
    auto feed = [&](const uint8_t* p, size_t n) {
        g.RcvData(p, unsigned(n));
        g.ParseData();
    };
    size_t at = 1;
    while (at < size) {
        const uint8_t c = data[at++];
        if (c < 0xF0) {
            const size_t n = std::min<size_t>(size_t(c) + 1, size - at);
            feed(data + at, n);
            at += n;
        } else if (c == 0xF0) {
            g.Data_Clear();
        } else if (c == 0xF1 && at < size) {
            g.Reset_GnsMd(MAINBD_OEM_TYPE(data[at++] % 8));
        } else if (c == 0xF2 && at < size) {
            const size_t want = size_t(data[at++]) + 1;
            const size_t n = std::min<size_t>(want, size - at);
            std::vector<_STR_CMD> out;
            g.Send_DiffDataToGnss(out, data + at, unsigned(n));
            size_t from = 0;
            for (const _STR_CMD& cmd : out) {
                const DollarFrameCut cut = ReadDollarFrame(cmd.data, int(cmd.length));
                Check(cut.result == OldFrameResult::Decoded && unsigned(cut.length) == cmd.length);
                Check(cmd.data[2] == 'V' && cmd.data[3] == 'D');
                Check(std::memcmp(cmd.data + 6, data + at + from, cmd.data[5]) == 0);
                from += cmd.data[5];
                feed(cmd.data, cmd.length);
            }
            Check(from == n);
            at += n;
        } else if (c == 0xF3 && at + 3 <= size) {
            const uint8_t a = data[at], b = data[at + 1];
            const size_t n = std::min<size_t>(data[at + 2], size - at - 3);
            at += 3;
            const std::vector<uint8_t> f = Frame(a, b, data + at, n);
            at += n;
            feed(f.data(), f.size());
        } else if (c == 0xF4 && at + 2 <= size) {
            const uint8_t id = data[at];
            const size_t n = std::min<size_t>(data[at + 1], size - at - 2);
            at += 2;
            const uint32_t m = uint32_t(n);
            std::vector<uint8_t> packet = {0x40, id, uint8_t(255 - id), uint8_t(m), 0, 0, 0};
            packet.insert(packet.end(), data + at, data + at + n);
            uint8_t x = 0;
            for (uint8_t v : packet) x ^= v;
            packet.insert(packet.end(), {x, 0x0D, 0x0A});
            at += n;
            std::vector<uint8_t> frames;
            for (size_t k = 0; k < packet.size(); k += kDollarChunk) {
                const size_t piece = std::min<size_t>(kDollarChunk, packet.size() - k);
                const std::vector<uint8_t> f = Frame('V', 'I', packet.data() + k, piece);
                frames.insert(frames.end(), f.begin(), f.end());
            }
            feed(frames.data(), frames.size());
        } else if (c == 0xF5 && at + 16 <= size) {
            RunCommands(g, data + at);
            at += 16;
        } else {
            g.ParseData();
        }
        CheckRecords(*format);
    }
    g.ParseData();
    CheckRecords(*format);
    return 0;
}

}  // namespace oldformat_fuzz

#ifndef OLDFORMAT_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return oldformat_fuzz::RunOne(data, size); }
#endif
