#pragma once

// The report parser of the maker's own board (MAINBD_OEM_TYPE 3) and its
// bridge to the outside RTK engine. The board's binary logs come in the
// NovAtel framing; besides the position, dilution and satellite logs the
// parser turns the raw ephemerides (41), observations (912) and log 913 into
// the engine's records and hands them over. The engine's solutions come back
// through a `CRtkReport` sink on the engine's own thread: they wait in a
// locked mailbox and are written into the store on the parsing thread, by
// ApplyPendingSolution at the board's next frame, so they never race the
// decoders.

#include "platform/RtkEngine.h"
#include "protocol/boards/Em_IRepParser.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {

// Message ids of the board's logs.
enum Q70R_LOG_ID : int32_t {
    Q70R_VERSION = 37,
    Q70R_RAWEPHEM = 41,
    Q70R_BESTPOS = 42,
    Q70R_RANGE = 43,
    Q70R_SATVIS = 48,
    Q70R_PSRDOP = 174,
    Q70R_REFSTATION = 175,
    Q70R_SATMSG = 911,
    Q70R_OBSERVATIONS = 912,
    Q70R_LOG_913 = 913,
};

// The fixed identifiers of the engine and of its report interface.
inline constexpr platform::Guid kCLSID_VirtRcv = {
    0x8675A3F6, 0x341E, 0x4024, {0x8B, 0xAD, 0xFE, 0x3B, 0x1A, 0xDE, 0x1C, 0xF1}};
inline constexpr platform::Guid kIID_VirtRcv = {
    0xF24AC57E, 0x15B0, 0x45EF, {0x87, 0x0F, 0x68, 0x91, 0x2D, 0xBD, 0xF0, 0xE7}};
inline constexpr platform::Guid kIID_RtkReport = {
    0x5974F6D9, 0x4C8B, 0x4B54, {0xBB, 0x46, 0xD0, 0x12, 0x3F, 0x17, 0x07, 0x00}};

// Layouts of the records handed to the engine (little-endian byte images).
namespace RtkRecords {
// Station record (slot 5).
inline constexpr unsigned kStationSize = 72;
inline constexpr unsigned kStationRoleAt = 4;   // u32: 0 base, 1 rover
inline constexpr unsigned kStationNameAt = 8;   // up to 32 characters, NUL-padded
inline constexpr unsigned kStationNameMax = 32;
// Options record (slot 6).
inline constexpr unsigned kOptionsSize = 72;
// Ephemeris record (slot 9).
inline constexpr unsigned kEphSize = 220;
inline constexpr unsigned kEphSatAt = 0;      // u32
inline constexpr unsigned kEphValidAt = 4;    // u32: 1 valid, 0 not
inline constexpr unsigned kEphWeekAt = 8;     // i32
inline constexpr unsigned kEphIodeAt = 12;    // i32
inline constexpr unsigned kEphIodcAt = 16;    // i32
inline constexpr unsigned kEphSvhAt = 20;     // i32
inline constexpr unsigned kEphSvaAt = 24;     // i32
inline constexpr unsigned kEphCodeAt = 28;    // i32
// Doubles from here, in this order: toe and toc (seconds of week), square
// root of the semi-major axis, e, i0, OMEGA0, omega, M0, delta n, OMEGA dot,
// IDOT, crc, crs, cuc, cus, cic, cis, af0, af1, af2, TGD, fit flag.
inline constexpr unsigned kEphDoublesAt = 32;
inline constexpr unsigned kEphToeAt = 32;
inline constexpr unsigned kEphSqrtAAt = 48;
inline constexpr unsigned kEphEAt = 56;
inline constexpr unsigned kEphF0At = 168;
inline constexpr unsigned kEphTgdAt = 192;
// Observation record (slot 3).
inline constexpr unsigned kObsMaxSats = 28;
inline constexpr unsigned kObsWeekAt = 0;      // u32
inline constexpr unsigned kObsSecondsAt = 4;   // double
inline constexpr unsigned kObsCountAt = 12;    // u32: satellites with measurements
inline constexpr unsigned kObsFlagAt = 16;     // u32: 1 once the epoch is complete
inline constexpr unsigned kObsHeadBytesAt = 20;  // body bytes 1 to 5
inline constexpr unsigned kObsScaledAt = 28;   // double: body i32 at 6 x 1e-7
inline constexpr unsigned kObsWordAt = 36;     // u32: body bytes 12 to 15
inline constexpr unsigned kObsEntriesAt = 40;
inline constexpr unsigned kObsEntrySize = 40;
// Entry: u8 satellite, u8 elevation, u16 azimuth, u8 L1 and L2 signal-to-
// noise, u8 L1 and L2 status, then doubles L1 pseudorange, L1 phase, L2
// pseudorange, L2 phase (all four negated; metres and cycles).
inline constexpr unsigned kObsEntryP1At = 8;
inline constexpr unsigned kObsEntryL1At = 16;
inline constexpr unsigned kObsEntryP2At = 24;
inline constexpr unsigned kObsEntryL2At = 32;
inline constexpr unsigned kObsSize = kObsEntriesAt + kObsMaxSats * kObsEntrySize;
// Log-913 record (slot 4).
inline constexpr unsigned kLog913Size = 388;
inline constexpr unsigned kLog913BytesAt = 48;  // 24 bytes of the body after its first word
inline constexpr unsigned kLog913WordAt = 384;  // the body's first word
// The engine's solution report (IReport slot 9) and the part of it kept.
inline constexpr unsigned kReportSize = 384;
inline constexpr unsigned kReportRmsAt = 80;        // double
inline constexpr unsigned kReportSolutionAt = 88;
inline constexpr unsigned kSolutionSize = 296;
// In the kept solution:
inline constexpr unsigned kSolTypeAt = 8;        // u32
inline constexpr unsigned kSolVarLatAt = 40;     // double
inline constexpr unsigned kSolVarLonAt = 56;     // double
inline constexpr unsigned kSolVarHgtAt = 80;     // double
inline constexpr unsigned kSolSecondsAt = 192;   // double, seconds of week
inline constexpr unsigned kSolLatitudeAt = 216;  // double, radians
inline constexpr unsigned kSolLongitudeAt = 224; // double, radians
inline constexpr unsigned kSolHeightAt = 248;    // double, metres (ellipsoidal)
}  // namespace RtkRecords

// The report sink handed to the engine. Its reference count starts at 0; the
// creator holds one reference of its own while the engine runs and drops it
// when it stops the engine, so an engine that queries and releases can never
// free a sink that is still in use. Detach cuts the link to the parser: a
// report that arrives later is dropped.
class CRtkReport : public platform::IReport {
public:
    using Callback = void (*)(void* context, const void* report);

    CRtkReport() = default;
    virtual ~CRtkReport() = default;  // slot 12
    CRtkReport(const CRtkReport&) = delete;
    CRtkReport& operator=(const CRtkReport&) = delete;

    // Answers IUnknown and the report interface (adding a reference);
    // E_NOINTERFACE with a null out pointer for any other id.
    platform::HRESULT QueryInterface(const platform::Guid& iid, void** out) override;
    uint32_t AddRef() override;
    // At 0 the sink deletes itself and returns 0.
    uint32_t Release() override;

    platform::HRESULT Report3(const void*) override { return 0; }
    platform::HRESULT Report4(const void*) override { return 0; }
    platform::HRESULT Report5(const void*) override { return 0; }
    platform::HRESULT Report6(const void*, const void*) override { return 0; }
    platform::HRESULT Report7(const void*) override { return 0; }
    platform::HRESULT Report8(const void*, const void*) override { return 0; }
    // Passes the solution to the callback while a context is set.
    platform::HRESULT ReportSolution(const void* a, const void* solution) override;
    platform::HRESULT Report10(const void*) override { return 0; }
    platform::HRESULT Report11(const void*) override { return 0; }

    void Attach(void* context, Callback callback);
    void Detach();
    uint32_t RefCount() const { return refs_.load(); }

private:
    std::mutex mutex_;  // guards the context against a report in flight
    void* context_ = nullptr;
    Callback callback_ = nullptr;
    std::atomic<uint32_t> refs_{0};
};

class Em_RepParser_Q70R : public Em_IRepParser {
public:
    static constexpr unsigned kHeaderSize = 28;
    static constexpr unsigned kPositionBodySize = 72;
    static constexpr unsigned kVersionSize = 108;
    static constexpr unsigned kRefStationSize = 41;
    // Change bits of an engine solution.
    static constexpr uint32_t kSolutionBits = 0xB0000000u;

    Em_RepParser_Q70R() = default;
    // Stops the engine first.
    ~Em_RepParser_Q70R() override;

    // 0 for no data, id 0 or length 0 (or less than a header); else clears
    // ChangedMask, decodes the log by its id (each decoder reads only what
    // the log's body holds) and returns 1.
    unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) override;

    // Creates and starts the engine: 1 when one was created and started, 0
    // when it already ran (then it is only restarted) or cannot be had.
    unsigned StartRtkEngine();
    void StopRtkEngine();
    platform::IRtkEngine* Engine() const { return engine_; }

    // The sink's callback (the context is the parser): posts the report.
    static void OnRtkReport(void* context, const void* report);
    // Copies a solution report (kReportSize bytes) into the mailbox; a newer
    // one replaces one not yet applied. Any thread.
    void PostSolution(const uint8_t* report);
    // Parsing thread: applies a posted solution to the store. True when one
    // was applied (ChangedMask is then kSolutionBits).
    bool ApplyPendingSolution();

    // ---- stores ----
    uint8_t lastHeader[kHeaderSize] = {};
    uint8_t positionBody[kPositionBodySize] = {};
    bool positionKept = false;
    uint8_t versionComponent[kVersionSize] = {};
    uint8_t refStationLog[kRefStationSize] = {};
    uint8_t engineSolution[RtkRecords::kSolutionSize] = {};
    uint8_t ephRecord[RtkRecords::kEphSize] = {};
    uint8_t obsRecord[RtkRecords::kObsSize] = {};
    uint8_t log913Record[RtkRecords::kLog913Size] = {};

private:
    void DecodeRawEphem(const uint8_t* body, unsigned n);
    void DecodePosition(const uint8_t* header, const uint8_t* body, unsigned n);
    void DecodeDops(const uint8_t* body, unsigned n);
    void DecodeSatellites(const uint8_t* body, unsigned n);
    bool DecodeObservations(const uint8_t* header, const uint8_t* body, unsigned n);
    void DecodeLog913(const uint8_t* body, unsigned n);
    void ApplySolution(const uint8_t* report);

    platform::IRtkEngine* engine_ = nullptr;
    CRtkReport* sink_ = nullptr;  // the creator's own reference while the engine runs

    std::mutex mailboxMutex_;
    bool mailboxFull_ = false;
    uint8_t mailbox_[RtkRecords::kReportSize] = {};
};

}  // namespace FJParse
}  // namespace Fjarnis2011
