#pragma once

// A main board for format and facade tests: it records every frame the format
// hands it and every command call, and announces change bits chosen by the
// test. It speaks no protocol of its own, so what it records is exactly what
// the format cut.

#include "protocol/Em_Format_Common.h"
#include "protocol/Em_IFormat.h"
#include "protocol/RingBuffer.h"
#include "protocol/boards/EmIMainBoard.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace board_test {

using namespace Fjarnis2011::FJParse;
using Bytes = std::vector<uint8_t>;

// What the recording boards of one test saw.
struct Recorder {
    std::vector<Bytes> frames;          // each frame handed over, in order
    std::vector<std::string> commands;  // builder calls, by name
    int boardsMade = 0;
    // Change bits announced for a frame; by default a non-zero value that
    // depends on the frame, so that sequences of callbacks can be compared.
    std::function<uint32_t(const Bytes&)> maskFor;
    // Frames the board declines (Parse_NextFrame returns 0).
    std::function<bool(const Bytes&)> rejects;
};

inline uint32_t FrameDigest(const Bytes& f) {
    uint32_t h = 2166136261u;
    for (uint8_t b : f) h = (h ^ b) * 16777619u;
    return h | 1u;
}

class RecordingBuilder : public Em_ICmdPaker {
public:
    explicit RecordingBuilder(Recorder* r) : r_(r) {}
    void Cmd_Inite(CmdList&, int extra) override { Log("Inite " + std::to_string(extra)); }
    void Cmd_PosFrq(CmdList&, GNSS_FRQ f) override { Log("PosFrq " + std::to_string(f)); }
    void Cmd_Obs(CmdList&, GNSS_FRQ f) override { Log("Obs " + std::to_string(f)); }
    void Cmd_Ephemeris(CmdList&, GNSS_FRQ f) override { Log("Ephemeris " + std::to_string(f)); }
    void Cmd_EphemSat(CmdList&, unsigned s) override { Log("EphemSat " + std::to_string(s)); }
    void Cmd_ElevMask_Set(CmdList&, int m, unsigned s) override {
        Log("ElevMask_Set " + std::to_string(m) + " " + std::to_string(s));
    }
    void Cmd_SatUse(CmdList&, unsigned s, bool u, unsigned r) override {
        Log("SatUse " + std::to_string(s) + " " + std::to_string(u) + " " + std::to_string(r));
    }
    void Cmd_Nmea(CmdList&, uint32_t m, GNSS_FRQ f, int e) override {
        Log("Nmea " + std::to_string(m) + " " + std::to_string(f) + " " + std::to_string(e));
    }
    void Cmd_ElevMask(CmdList&) override { Log("ElevMask"); }
    void Cmd_UnlogData(CmdList&) override { Log("UnlogData"); }
    void Cmd_StartBase(CmdList&) override { Log("StartBase"); }
    void Cmd_StartRover(CmdList&) override { Log("StartRover"); }
    void Cmd_Reset(CmdList&) override { Log("Reset"); }
    void Cmd_PassCom(CmdList&, int p) override { Log("PassCom " + std::to_string(p)); }

private:
    void Log(const std::string& s) { r_->commands.push_back(s); }
    Recorder* r_;
};

class RecordingParser : public Em_IRepParser {
public:
    unsigned Decode_BinFrame(const uint8_t* data, int, unsigned length) override { return data && length ? 1 : 0; }
};

class RecordingBoard : public EmIMainBoard {
public:
    RecordingBoard(MAINBD_OEM_TYPE t, Recorder* r) : EmIMainBoard(t), r_(r) {
        SetParts(std::make_unique<RecordingParser>(), std::make_unique<RecordingBuilder>(r));
        ++r->boardsMade;
    }
    // Takes the whole buffer as one frame.
    unsigned Parse_NextFrame() override {
        const MainBdRecvBuffer* b = RecvBuffer();
        Bytes frame(b->data, b->data + b->fill);
        r_->frames.push_back(frame);
        ClearRecvBuffer();
        if (r_->rejects && r_->rejects(frame)) return 0;
        RepParser()->ChangedMask = r_->maskFor ? r_->maskFor(frame) : FrameDigest(frame);
        return 1;
    }
    unsigned Parse_BinFrame(const uint8_t*, int, unsigned) override { return 1; }

private:
    Recorder* r_;
};

// A board factory that makes recording boards of every type.
inline BoardFactory RecordingBoards(Recorder* r) {
    return [r](MAINBD_OEM_TYPE t) -> std::unique_ptr<EmIMainBoard> { return std::make_unique<RecordingBoard>(t, r); };
}

}  // namespace board_test
