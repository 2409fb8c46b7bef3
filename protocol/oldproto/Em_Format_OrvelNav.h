#pragma once

// The frame format of the maker's receivers that speak the old "$$" protocol
// (maker 2 with a main board of a type other than 0). It cuts "$$" reply
// frames out of the receive buffer, checks them, names each by its two
// letters and hands it to its decoder, which fills the records below and sets
// the change bits of message class 2; binary frames of the GNSS board that the
// receiver forwards, and the board output carried in "RG" replies, go to the
// main board (message class 1). The old-protocol command builders read the
// same records (the link kind, whether the device information and the module
// version have been seen, the radio and modem records).

#include "protocol/Em_Format_Common.h"
#include "protocol/Em_Types.h"
#include "protocol/Em_IFormat.h"
#include "protocol/oldproto/Em_OldRecords.h"
#include "protocol/oldproto/Em_RadioFrequency.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

// Reply ids by their two letters (`messageId`). Any other pair gives
// letter1 x 256 + letter2.
namespace OldReplyId {
inline constexpr int RG = 128;    // board output
inline constexpr int RK = 129;
inline constexpr int RZ = 130;
inline constexpr int RX = 133;    // differential information
inline constexpr int RC = 134;
inline constexpr int RR = 135;
inline constexpr int RS = 136;
inline constexpr int ST = 137;    // closing notice
inline constexpr int VS = 138;
inline constexpr int VD = 139;
inline constexpr int VC = 140;
inline constexpr int VF = 141;
inline constexpr int VR = 142;
inline constexpr int VI = 143;    // module reply
inline constexpr int VL = 144;
inline constexpr int RH = 145;    // satellite data
inline constexpr int SD = 146;    // battery
inline constexpr int SI = 147;    // device information
inline constexpr int SC = 149;
inline constexpr int SX = 150;
inline constexpr int SS = 151;
inline constexpr int VY = 152;    // firmware debug
inline constexpr int FB = 153;    // static point
inline constexpr int FF = 154;    // eBubble
inline constexpr int FH = 155;
inline constexpr int VM = 1048;   // source table
}  // namespace OldReplyId

int OldReplyIdFromLetters(uint8_t first, uint8_t second);


// What one attempt at the bytes at the first unconsumed position came to.
enum class OldFrameResult {
    Empty,          // no byte buffered
    Incomplete,     // a frame not all there yet: nothing consumed
    Decoded,        // a "$$" frame was checked, consumed and dispatched
    BadChecksum,    // a '$' that opened no sound frame: one byte skipped
    BoardFrame,     // a forwarded binary board frame was handed to the board
    Garbage,        // a byte that opens no frame: skipped
};

// Checks the "$$" frame that starts at p[0] (a '$'), p[0..n) being the bytes
// buffered: '$' '$', two letters, head byte, payload length L, L payload bytes,
// XOR check, CR LF. Decoded with `length` = L + 9 when the XOR of everything
// from the first '$' through the check byte is 0; BadChecksum when it is not;
// Incomplete while fewer than L + 9 bytes are there. The second '$', the head
// byte and CR LF are not checked on their own.
struct DollarFrameCut {
    OldFrameResult result;
    int length;
};
DollarFrameCut ReadDollarFrame(const uint8_t* p, int n);

// The boards of the maker's old-protocol receivers: 1 Trimble BD, 2 NovAtel
// OEM, 3 the maker's own board, 4 Hemisphere; any other type gets a NovAtel
// board. The OEM families come from CreateCommonBoard; the maker's own board
// (3) is Em_MainBd_OrvelR, which no other format makes.
std::unique_ptr<EmIMainBoard> CreateOrvelNavBoard(MAINBD_OEM_TYPE t);

class Em_Format_OrvelNav : public Em_IFormat {
public:
    static constexpr unsigned kFrameSize = 2048;
    static constexpr unsigned kRawReplySize = 200;
    static constexpr unsigned kDeviceInfoRecordSize = 128;
    static constexpr unsigned kFirmwareDebugKey = 256;

    // `factory` makes the boards (CreateOrvelNavBoard when empty). No main
    // board until Reset_GnsMd.
    explicit Em_Format_OrvelNav(RingBuffer& ring, BoardFactory factory = {});
    ~Em_Format_OrvelNav() override;

    // Cuts and handles at most one frame: true when a frame or a garbage byte
    // was consumed (call again), false when no complete frame is buffered.
    bool ParseNextFrame() override;
    // Replaces the main board by the board of type t and applies its settings.
    // When no board can be made (the factory gives none) the current board is
    // kept and the result is false.
    bool Reset_GnsMd(MAINBD_OEM_TYPE t) override;
    // Correction bytes as "VD" frames of at most 55 bytes, delay 10 each.
    void Send_DiffDataToGnss(CmdList& out, const uint8_t* data, unsigned length) override;

    // ---- GNSS board work (Em_Format_OrvelNav_Board.cpp) ----
    // The receiver's own commands combined with the board's. The board's
    // records reach an OEM board (types 1, 2, 4) relayed in "RZ" frames of at
    // most 55 bytes; the maker's own board (type 3) takes them as they are
    // (its builder frames them itself), given the argument 2 where the OEM
    // boards get 0; a receiver without a board of these types gets no board
    // command, only the receiver's own commands of the operation.
    // Initialises the board's outputs.
    void Get_Gnss_Inite(CmdList& out, int extra) override;
    // Types 1 and 4: "RG,B0", "SJ,B96,B3" (100 ms each), the board's base
    // start. Type 2: "RK,B0", the board's base start, "SJ,B96,B3" and, while
    // no base configuration has been given, "ST,B1" (3000 ms each). Type 3:
    // the board's base start.
    void Get_Gnss_StartBase(CmdList& out, int extra) override;
    // Types 1 and 4: the board's rover start, then the elevation mask of the
    // rover settings. Type 2: the elevation mask of the rover settings (13
    // for 91 or more), then "RM" with that mask or-ed with the code of the
    // rover's correction type (2000 ms). Type 3: the board's rover start.
    void Get_Gnss_StartRover(CmdList& out, int extra) override;
    // The OEM boards' reset records, relayed; the maker's own board's records,
    // then "RK,B255" (3000 ms), which is all a receiver without a board
    // command gets.
    void Get_Gnss_Reset(CmdList& out, int extra) override;
    // "SJ" setting 0x38 with the low byte of the degrees (200 ms), the
    // board's elevation mask (selector as given; 1 for the maker's own
    // board), "SW,B1,B<degrees>" (200 ms).
    void Set_Gnss_ElevDgre(CmdList& out, int degrees, double unused, int selector) override;
    void Set_Gnss_PosFrq(CmdList& out, GNSS_FRQ frq) override;
    void Send_Gnss_Obs(CmdList& out, GNSS_FRQ frq) override;
    void Set_Gnss_Nmea(CmdList& out, uint32_t sentenceMask, GNSS_FRQ frq, int extra) override;
    // The board's query whose answer carries its elevation mask.
    void Get_Gnss_ElevMask(CmdList& out) override;
    void Send_Gnss_UnlogData(CmdList& out) override;
    // NMEA selection: the board's list command, then "RF" with the
    // receiver's mask and the rate (100 ms); the form with rates adds "RD"
    // with each sentence's rate (100 ms).
    void Set_Orvel_NMEA(CmdList& out, const std::vector<_set_nmea>& list, int rate);
    void Set_Orvel_NMEA(CmdList& out, const std::vector<_set_nmea>& list, int rate, bool on);

    // What the last call of ParseNextFrame came to.
    OldFrameResult LastResult() const { return lastResult_; }

    // Accessors the command builders read.
    int MakerCode() const { return makerCode; }
    int ComStatus() const { return comStatus; }
    bool DeviceInfoSeen() const { return deviceInfoSeen != 0; }
    bool ModuleVersionSeen() const { return moduleVersionSeen != 0; }
    RadioRecord& Radio() { return radio; }
    const RadioRecord& Radio() const { return radio; }
    ModemRecord& Modem() { return modem; }
    const ModemRecord& Modem() const { return modem; }
    const DEVICE_STR& DeviceInfo() const { return deviceInfo; }

    // The records. The decoders fill them; the builders and getters read them.
    std::string textA, textB;                          // emptied by a device-information reply
    std::map<unsigned, FIRMWARE_DEBUG> firmwareDebug;  // "VY", under kFirmwareDebugKey only
    uint32_t boardVariant = 0;                         // 1 or 2 from the model code; read by Reset_GnsMd
    uint8_t rawReply[kRawReplySize] = {};              // payload of the last "RX" reply
    uint32_t rawReplyLength = 0;
    uint8_t deviceInfoSeen = 0;                        // 1 after any device-information reply
    uint8_t moduleVersionSeen = 0;                     // 1 after the module-version reply
    OldSatArray satellites[4];                         // GPS, GLONASS, BeiDou, a fourth
    uint32_t satUpdateCount = 0;
    SsRecord ssRecord = {};                            // last "SS" reply
    DEVICE_STR deviceInfo = {};                        // last device information
    RadioRecord radio;                                 // internal radio module
    ModemRecord modem;                                 // internal modem
    // Replies that span several frames collect here, each kind in its own
    // buffer, so that one reply can never land inside another: module replies
    // ("VI"), the device-information record ("SI"), satellite data ("RH").
    ReplyBuffer replyBuffer;
    ReplyBuffer deviceInfoBuffer;
    ReplyBuffer satelliteBuffer;
    // The frame being decoded and its length.
    uint8_t frame[kFrameSize] = {};
    uint32_t frameLength = 0;
    uint32_t batteryGrade = 0;                         // 1..6, "SD" of five bytes
    uint32_t batteryLevel = 0;                         // 0..10
    Static_Point staticPoint = {};                     // last "FB" reply
    eBubble_info bubble = {};                          // last "FF" reply
    uint32_t fhValue1 = 0, fhValue2 = 0;               // last "FH" reply

    // The payload of the frame in `frame` and its length n.
    const uint8_t* Payload() const { return frame + 6; }
    unsigned PayloadLength() const { return frame[5]; }

private:
    void DispatchReply();
    // Runs the board over what was just appended to its receive buffer.
    bool RunBoard(EmIMainBoard& board);

    BoardFactory factory_;
    OldFrameResult lastResult_ = OldFrameResult::Empty;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
