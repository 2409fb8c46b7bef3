#pragma once

#include "tests/sim/SimBoard.h"
#include "tests/sim/SimFrames.h"
#include "tests/sim/SimModemLink.h"
#include "tests/sim/SimNewProto.h"
#include "tests/sim/SimRadioStatic.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What the simulated receiver knows and how it answers, without any port:
// bytes in (with the line speed they arrived at), bytes out. SimReceiver runs
// it on a pseudo-terminal; tests may also drive it directly.
namespace sim {

// How the receiver answers commands it understood.
enum class Behaviour {
    Answer,   // replies as a receiver does
    Silent,   // hears and records, but sends nothing at all
    Garbage,  // every reply and every periodic output replaced by noise of the same length
};

// What the line carries when its speed differs from the receiver's.
enum class MismatchReply {
    Garbage,  // noise of the length received, and noise instead of periodic output
    Silence,  // nothing
};

// Normal: the receiver's own command set. PassThrough: everything but an
// "ST" mode switch (or, on the new protocol, the com-direct item) is meant
// for the GNSS board inside and is not answered.
enum class WorkMode { Normal, PassThrough };

// Which protocol the receiver speaks, fixed at start-up. Old: the "$$"
// command frames. New: the new binary protocol's link frames and messages;
// such a receiver still answers the old device-information request "SI"
// (with a model code of no old board) and the old mode switch.
enum class Protocol { Old, New };

// The 128-byte device-information record that "SI" replies carry. Texts are
// cut to their places and padded with zero bytes.
struct DeviceInfo {
    std::string model = "8427";                 // bytes 0-3; "8427" is a NovAtel OEM board (type 2)
    std::string serialNumber = "601234";        // bytes 5-10
    std::string productionDate = "2011-06-15";  // bytes 12-21
    std::string firmware = "V8.1";              // bytes 52-55
    std::string partNumber = "FJ80427-01";      // bytes 112-121
    uint8_t outputMode = 0;       // byte 40: 0 normal, 1 raw data, 2 GPGGA
    uint8_t recordType = 1;       // byte 42: 0 manual, 1 auto, 2 disabled
    uint8_t recordPeriod = 24;    // byte 43: hours
    uint8_t positionRate = 1;     // byte 44: 5, 2 or 1 Hz
    uint8_t recordInterval = 5;   // byte 49: seconds
    uint8_t recordElevMask = 10;  // byte 50: degrees
    uint8_t rtkElevMask = 13;     // byte 56: degrees
    uint8_t memorySize = 1;       // byte 58: 1 is 4 GB
    uint8_t radioModule = 0;      // byte 59: 3 and 4 name radio modules 4 and 5, else 3
    uint8_t transmitPort = 2;     // byte 62
    uint8_t transmitFormat = 3;   // byte 63: RTCM3
    uint8_t startType = 0;        // byte 96
    uint16_t autoBaseDist = 0;    // bytes 97-98, low byte first
    uint8_t otaBaudSet = 1;       // byte 124
    uint8_t radioModuleExt = 0;   // byte 126: 3, 4, 5 name radio modules 7, 6, 8

    std::array<uint8_t, 128> Record() const;
};

// The internal modem's parameters as its parameter replies (module ids 89
// and 115) carry them.
struct ModemParams {
    std::array<uint8_t, 4> address{{192, 168, 1, 10}};  // server address (older layout)
    std::string host = "caster.example.net";             // server address text (newer layout), at most 31
    uint16_t port = 2101;
    char protocol = 'T';  // 'U' relay protocol, 'T' NTRIP client, 'V', 'S' plain TCP
    uint8_t online = 1;
    std::string baseId = "0001";          // at most 31
    std::string user = "surveyor";        // at most 55
    std::string password = "secret";      // at most 55
    std::string apn = "cmnet";            // at most 31
    std::string dialNumber = "*99***1#";  // at most 15

    // Module data of the parameter reply (from packet byte 7 on) in the older
    // (id 89) and the newer (id 115) layout.
    std::vector<uint8_t> OlderLayout() const;
    std::vector<uint8_t> NewerLayout() const;
};

struct SimSettings {
    uint32_t baud = 9600;  // the receiver's port speed; the line must match it
    Behaviour behaviour = Behaviour::Answer;
    MismatchReply onBaudMismatch = MismatchReply::Garbage;
    DeviceInfo deviceInfo;
    size_t deviceInfoChunk = 128;                      // payload bytes per "SI" reply frame
    std::vector<uint8_t> battery{0x00, 0x4B, 0x00, 0x00};  // "SD" reply payload: letter 'K', level 6
    std::string modemVersion = "2.90";                 // four characters, "major.minor"
    ModemParams modem;
    std::vector<uint8_t> periodicPayload;              // board output sent while periodic data is on
    uint32_t periodicIntervalMs = 1000;
    SimRadio radio;                                    // the internal radio's settings
    SimStaticPoint staticPoint;                        // the static survey's point
    SimModemLink modemLink;                            // the modem's link state, login and source table
    // The GNSS board: its elevation cutoff (degrees), set by a relayed
    // "ecutoff", answers a relayed "log psrdopb" with a PSRDOP log in an
    // "RG" frame; a satellite record,
    // when set, follows every periodic output in "RH" frames.
    float elevationCutoff = 10.0f;
    std::vector<uint8_t> satelliteRecord;

    Protocol protocol = Protocol::Old;
    uint8_t linkStream = 1;  // stream id of the link frames it sends
    // New protocol: each parameter's value in its wire form (big-endian), by
    // id. A setting stores the value it carries; a query is answered with the
    // stored value of every item asked for that has one.
    std::map<uint16_t, std::vector<uint8_t>> newParams;
    // New protocol: false for a receiver that answers the old
    // device-information request but goes silent on the new protocol: it
    // hears and records link messages, and neither obeys nor answers them.
    bool answersLinkMessages = true;
    // New protocol: items whose queries go unanswered, as by an older
    // firmware that does not know them or when the reply is lost; the other
    // items of the same query are answered, and a setting is still kept.
    std::set<uint16_t> unansweredItems;
    // Old protocol: module queries that go unanswered, as when their reply
    // is lost (a setting goes by an id of its own and is still kept).
    std::set<uint8_t> unansweredModules;

    SimSettings();
};

// A receiver of the new protocol: model code "Q50A" in its device
// information, and values for the power status (772: mains indicator 1,
// battery levels 72.0 and 68.0, grade 7), hardware (774) and firmware (775)
// information, the modem's signal (5132), the network link's source list
// (4358), server address (4355), server type (4356), auto-open (4361), mount
// point (4362) and account (4363), and the eBubble record (1041).
SimSettings NewProtocolSettings();
// The new-protocol receiver's caster held by its host name (address 0, the
// by-name flag 1, the name in the item's 50 bytes) and port.
void SetNetLinkHost(SimSettings& s, const std::string& host, uint16_t port);

// One command frame as the receiver received it.
struct ReceivedCommand {
    std::string letters;  // the two command letters
    uint8_t head = 0;     // class + 16 x mode
    std::vector<uint8_t> payload;
    int moduleId = -1;    // module request id of a "VS" frame whose packet checks out, else -1
    std::vector<uint8_t> moduleData;
    uint32_t lineBaud = 0;  // line speed when it arrived
    uint32_t tick = 0;      // platform tick count when it arrived

    // A message of the new protocol (letters, head and payload stay empty).
    bool linkMessage = false;
    uint32_t commandId = 0;
    uint16_t operation = 0;
    std::vector<NewItem> items;  // after the operation item

    bool Is(std::string_view l, std::initializer_list<uint8_t> p) const;
    const NewItem* Item(uint16_t id) const;
    std::string Describe() const;  // "RG 18 C8", or "NEW 264 op 2: 0108=0002"
};

struct SimStatus {
    WorkMode mode = WorkMode::Normal;
    bool periodicOn = false;
    bool poweredOff = false;
    uint32_t lineBaud = 0;          // line speed when bytes last arrived; 0 before
    uint64_t garbageBytes = 0;      // bytes received outside any frame (normal mode)
    uint64_t badFrames = 0;         // '$' '$' starts that failed their checks
    uint64_t mismatchedBytes = 0;   // bytes received while the line speed was wrong
    uint64_t repliesSent = 0;       // answers and periodic outputs (also as noise)
    uint64_t skippedMessageBytes = 0;  // new protocol: joined bytes that began no message
    std::vector<uint8_t> passThroughBytes;  // bytes meant for the board in pass-through mode
    std::vector<std::string> boardLines;    // board command lines relayed in "RZ" frames
    // The maker's own board (model "8552") takes its command lines straight
    // from the line, but only between the receiver's "IM" frame with payload
    // 1 (opening) and the one with payload 2 (closing); those lines, in order.
    std::vector<std::string> ownBoardLines;
    bool ownBoardOpen = false;
};

// A GPGGA sentence with its checksum, the default periodic board output.
std::vector<uint8_t> DefaultBoardOutput();

class ReceiverModel {
public:
    explicit ReceiverModel(SimSettings settings = {});

    SimSettings& Settings() { return settings_; }
    const SimSettings& Settings() const { return settings_; }

    // Bytes that arrived while the line ran at lineBaud; returns what the
    // receiver sends back.
    std::vector<uint8_t> Receive(const uint8_t* data, size_t n, uint32_t lineBaud);
    // One periodic output at lineBaud (empty when periodic data is off).
    std::vector<uint8_t> PeriodicOutput(uint32_t lineBaud);
    bool WantsPeriodic() const;

    // Switches a powered-off receiver back on, in normal mode.
    void PowerOn();

    const std::vector<ReceivedCommand>& Commands() const { return commands_; }
    void ClearCommands() { commands_.clear(); }
    const SimStatus& Status() const { return status_; }

private:
    std::vector<uint8_t> Handle(const Frame& frame, ReceivedCommand& record);
    std::vector<uint8_t> ReceiveMixed(uint32_t lineBaud);
    std::vector<uint8_t> HandleMessage(const NewMessage& message);
    std::vector<uint8_t> SendMessage(uint32_t commandId, uint16_t operation, const std::vector<NewItem>& items);
    void Record(ReceivedCommand record, std::vector<uint8_t> reply, std::vector<uint8_t>& out);
    std::vector<uint8_t> HandleModule(const ModuleRequest& req, uint8_t head);
    std::vector<uint8_t> HandleBoardRelay(const Frame& frame);
    std::vector<uint8_t> Shape(std::vector<uint8_t> reply);

    SimSettings settings_;
    FrameCutter cutter_;
    MixedCutter mixed_;       // the new-protocol receiver's line
    MessageReader messages_;
    uint8_t linkSequence_ = 0;
    GarbageSource noise_;
    BoardRelay relay_;
    BoardRelay ownBoard_;  // bytes between the "IM" brackets
    std::vector<ReceivedCommand> commands_;
    SimStatus status_;
};

}  // namespace sim
