#pragma once

// Protocol objects over the kinds of receiver the command exports tell apart:
// another maker's receiver, the maker's receiver with an old-protocol board,
// with the new-protocol board (type 0), with no main board yet, and a protocol
// object without any format. The boards are recording boards; the maker's
// old-protocol receivers run over the real old-protocol format, whose replies
// the tests feed as bytes. The new-protocol board sits in a bare maker format
// that carries only the head fields every format has.

#include "RecordingBoard.h"
#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_IFormat.h"
#include "protocol/RingBuffer.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"

#include <memory>
#include <string>

namespace oldcmd_test {

using namespace Fjarnis2011::FJParse;
using board_test::Recorder;
using board_test::RecordingBoard;

// The head of a maker format with recording boards of every type.
class BareMakerFormat : public Em_IFormat {
public:
    BareMakerFormat(RingBuffer& ring, Recorder* rec) : Em_IFormat(ring), rec_(rec) { makerCode = GNSS_MNFCTR_ORVEL; }
    bool ParseNextFrame() override { return false; }
    bool Reset_GnsMd(MAINBD_OEM_TYPE t) override {
        ReplaceMainBoard(std::make_unique<RecordingBoard>(t, rec_));
        return true;
    }
    void Send_DiffDataToGnss(CmdList&, const uint8_t*, unsigned) override {}

private:
    Recorder* rec_;
};

enum class Receiver {
    OtherMaker,  // another maker's receiver (common format, NMEA-only board)
    OldProtocol, // the maker's receiver with an old-protocol board (NovAtel)
    NewProtocol, // the maker's receiver with the new-protocol board
    NoBoard,     // the maker's receiver before its board is known
    NoFormat,    // a protocol object that could not make its format
};

inline std::string Name(Receiver r) {
    switch (r) {
    case Receiver::OtherMaker:
        return "other maker";
    case Receiver::OldProtocol:
        return "old protocol";
    case Receiver::NewProtocol:
        return "new protocol";
    case Receiver::NoBoard:
        return "no board";
    default:
        return "no format";
    }
}

constexpr Receiver kAllReceivers[] = {Receiver::OtherMaker, Receiver::OldProtocol, Receiver::NewProtocol,
                                      Receiver::NoBoard, Receiver::NoFormat};

// One protocol object of a kind, with what its boards recorded.
struct Rig {
    explicit Rig(Receiver kind, MAINBD_OEM_TYPE oldBoard = MAINBD_NOVATEL_OEM, Com_Status link = COM_STATUS_SERIAL) {
        Recorder* rec = &recorder;
        const bool noFormat = kind == Receiver::NoFormat;
        Em_Gnss::FormatFactory factory = [rec, noFormat](GNSS_MANUFACTURER m, bool newProtocol,
                                                         RingBuffer& ring) -> std::unique_ptr<Em_IFormat> {
            if (noFormat) return nullptr;
            if (m == GNSS_MNFCTR_OTHER)
                return std::make_unique<Em_Format_Common>(ring, board_test::RecordingBoards(rec));
            if (newProtocol) return std::make_unique<BareMakerFormat>(ring, rec);
            return std::make_unique<Em_Format_OrvelNav>(ring, board_test::RecordingBoards(rec));
        };
        switch (kind) {
        case Receiver::OtherMaker:
            gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, factory);
            break;
        case Receiver::OldProtocol:
            gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_ORVEL, oldBoard, factory);
            break;
        case Receiver::NewProtocol:
            gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW, factory);
            break;
        case Receiver::NoBoard:
            gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_ORVEL, oldBoard, factory);
            gnss->Reset_Mnfctr(GNSS_MNFCTR_ORVEL);  // a new format, no board until told
            break;
        case Receiver::NoFormat:
            gnss = std::make_unique<Em_Gnss>(GNSS_MNFCTR_ORVEL, oldBoard, factory);
            break;
        }
        gnss->Set_Com_Status(link);
    }

    // The old-protocol format, when that is what the receiver has.
    Em_Format_OrvelNav* Old() const { return dynamic_cast<Em_Format_OrvelNav*>(gnss->Format()); }

    // Received bytes, parsed as the device object's threads would.
    void Receive(const std::vector<uint8_t>& bytes) {
        gnss->RcvData(bytes.data(), unsigned(bytes.size()));
        gnss->ParseData();
    }

    Recorder recorder;
    std::unique_ptr<Em_Gnss> gnss;
};

}  // namespace oldcmd_test
