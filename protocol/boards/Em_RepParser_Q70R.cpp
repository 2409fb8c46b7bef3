#include "protocol/boards/Em_RepParser_Q70R.h"

#include "platform/Endian.h"
#include "protocol/Em_GpsTime.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

using platform::ReadLE16;
using platform::ReadLE32;
using platform::ReadLEDouble;
using platform::ReadLEFloat;
using platform::WriteLE16;
using platform::WriteLE32;
using platform::WriteLEDouble;
namespace R = RtkRecords;

constexpr double kRadToDeg = 57.29577951308232;

// Header fields of the NovAtel framing.
constexpr unsigned kHeaderLengthAt = 3;
constexpr unsigned kMessageTypeAt = 6;
constexpr unsigned kBodyLengthAt = 8;
constexpr unsigned kWeekAt = 14;
constexpr unsigned kMillisecondsAt = 16;

// Body sizes the decoders read.
constexpr unsigned kRawEphemRead = 12 + 3 * 30;
constexpr unsigned kDopRead = 24;
constexpr unsigned kSatHead = 6;
constexpr unsigned kSatEntry = 12;
constexpr unsigned kMaxSatsInView = 24;
constexpr unsigned kObsHead = 16;
constexpr unsigned kObsEntry = 22;
constexpr unsigned kLog913Read = 28;

// Observation scales.
constexpr double kL1PseudorangeUnit = 0.125 * 0.1902936727984;  // eighths of an L1 wavelength
constexpr double kL2DifferenceUnit = 0.0237867090998;
constexpr double kPhaseCorrectionUnit = 0.00390625;
constexpr double kL1CyclesPerMetre = 5.255035468569757;
constexpr double kL2CyclesPerMetre = 4.094832832651982;

// A value truncated into a 32-bit word; 0 when it is no number or outside
// the word (a board's float may be anything).
uint32_t TruncToWord(double v) {
    if (!(v >= 0.0 && v < 4294967296.0)) return 0;
    return static_cast<uint32_t>(v);
}

// The same for the milliseconds of a week, held within a signed word.
uint32_t TruncMilliseconds(double seconds) {
    const double ms = seconds * 1000.0;
    if (!(ms >= 0.0 && ms < 2147483648.0)) return 0;
    return static_cast<uint32_t>(ms);
}

void PutSat(SatList& list, int32_t number, int32_t elevation, uint16_t azimuth, float snr1, float snr2,
            uint32_t used) {
    if (list.count >= SatList::kCapacity) return;
    SATLLITE_STR s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.elevation = elevation;
    s.azimuth = azimuth;
    s.snr[0] = snr1;
    s.snr[1] = snr2;
    s.used = used;
    list.sats[list.count++] = s;
}

}  // namespace

// ---- CRtkReport ----------------------------------------------------------

platform::HRESULT CRtkReport::QueryInterface(const platform::Guid& iid, void** out) {
    if (!out) return platform::kE_POINTER;
    if (iid == kIID_RtkReport || iid == platform::kIID_IUnknown) {
        *out = static_cast<platform::IReport*>(this);
        AddRef();
        return platform::kS_OK;
    }
    *out = nullptr;
    return platform::kE_NOINTERFACE;
}

uint32_t CRtkReport::AddRef() { return refs_.fetch_add(1) + 1; }

uint32_t CRtkReport::Release() {
    const uint32_t left = refs_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
}

platform::HRESULT CRtkReport::ReportSolution(const void*, const void* solution) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (context_ && callback_ && solution) callback_(context_, solution);
    return platform::kS_OK;
}

void CRtkReport::Attach(void* context, Callback callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    context_ = context;
    callback_ = callback;
}

void CRtkReport::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    context_ = nullptr;
    callback_ = nullptr;
}

// ---- engine bridge ---------------------------------------------------------

Em_RepParser_Q70R::~Em_RepParser_Q70R() { StopRtkEngine(); }

unsigned Em_RepParser_Q70R::StartRtkEngine() {
    int32_t work = 0;
    if (engine_) {
        engine_->Restart(0, 3);
        return 0;
    }
    void* created = nullptr;
    if (platform::CoCreateInstance(kCLSID_VirtRcv, nullptr, platform::kCLSCTX_INPROC_SERVER, kIID_VirtRcv,
                                   &created) != platform::kS_OK ||
        !created) {
        platform::CoUninitialize();
        return 0;
    }
    engine_ = static_cast<platform::IRtkEngine*>(created);

    uint8_t info[8] = {};
    int32_t count = 0;
    engine_->GetInfo(info, int32_t(sizeof info), &count);
    if (count < 1) {
        StopRtkEngine();
        return 0;
    }

    CRtkReport* sink = new (std::nothrow) CRtkReport;
    if (sink) {
        sink->AddRef();  // the creator's own reference, dropped at StopRtkEngine
        sink->Attach(this, &Em_RepParser_Q70R::OnRtkReport);
        sink_ = sink;
        void* report = nullptr;
        if (sink->QueryInterface(kIID_RtkReport, &report) == platform::kS_OK) {
            engine_->SetReport(static_cast<platform::IReport*>(report), &work);
            static_cast<platform::IReport*>(report)->Release();
        }
    }

    for (uint32_t role : {0u, 1u}) {
        uint8_t station[R::kStationSize] = {};
        WriteLE32(station + R::kStationRoleAt, role);
        const char* name = role == 0 ? "Base" : "Rover";
        std::memcpy(station + R::kStationNameAt, name, strnlen(name, R::kStationNameMax));
        engine_->AddStation(station, &work);
    }

    uint8_t options[R::kOptionsSize] = {};
    WriteLE32(options + 4, 5);
    WriteLE32(options + 8, 1);
    WriteLE32(options + 16, 1000);
    WriteLE32(options + 36, 10);
    WriteLE32(options + 44, 1);
    WriteLE32(options + 52, 0);
    WriteLE32(options + 64, 0);
    WriteLE32(options + 68, 1);
    engine_->SetOptions(options, &work);

    engine_->Start();
    return 1;
}

void Em_RepParser_Q70R::StopRtkEngine() {
    // No report reaches this parser once it begins to stop the engine.
    if (sink_) sink_->Detach();
    if (engine_) {
        engine_->Stop(0);
        engine_->Release();
        engine_ = nullptr;
    }
    if (sink_) {
        sink_->Release();
        sink_ = nullptr;
    }
}

void Em_RepParser_Q70R::OnRtkReport(void* context, const void* report) {
    if (context && report) static_cast<Em_RepParser_Q70R*>(context)->PostSolution(static_cast<const uint8_t*>(report));
}

void Em_RepParser_Q70R::PostSolution(const uint8_t* report) {
    if (!report) return;
    std::lock_guard<std::mutex> lock(mailboxMutex_);
    std::memcpy(mailbox_, report, sizeof mailbox_);
    mailboxFull_ = true;
}

bool Em_RepParser_Q70R::ApplyPendingSolution() {
    uint8_t report[R::kReportSize];
    {
        std::lock_guard<std::mutex> lock(mailboxMutex_);
        if (!mailboxFull_) return false;
        std::memcpy(report, mailbox_, sizeof report);
        mailboxFull_ = false;
    }
    ApplySolution(report);
    return true;
}

// Writes one engine solution into the store as if the board had reported it.
void Em_RepParser_Q70R::ApplySolution(const uint8_t* report) {
    ChangedMask = 0;
    std::memcpy(engineSolution, report + R::kReportSolutionAt, sizeof engineSolution);
    const uint8_t* s = engineSolution;

    // The store keeps radians, which is what the engine reports.
    position.latitude = ReadLEDouble(s + R::kSolLatitudeAt);
    position.longitude = ReadLEDouble(s + R::kSolLongitudeAt);
    position.height = ReadLEDouble(s + R::kSolHeightAt) - double(ReadLEFloat(positionBody + 32));

    const auto deviation = [](double variance) { return float(std::sqrt(std::max(0.0, variance))); };
    platform::WriteLEFloat(positionBody + 40, deviation(ReadLEDouble(s + R::kSolVarLatAt)));
    platform::WriteLEFloat(positionBody + 44, deviation(ReadLEDouble(s + R::kSolVarLonAt)));
    platform::WriteLEFloat(positionBody + 48, deviation(ReadLEDouble(s + R::kSolVarHgtAt)));
    WriteLE32(lastHeader + kMillisecondsAt, TruncMilliseconds(ReadLEDouble(s + R::kSolSecondsAt)));
    errors.rms = ReadLEDouble(report + R::kReportRmsAt);

    switch (ReadLE32(s + R::kSolTypeAt)) {
    case 0: break;
    case 1:
        WriteLE32(positionBody + 4, 16);
        position.status = 4;
        break;
    case 2: WriteLE32(positionBody + 4, 16); break;
    case 3:
        WriteLE32(positionBody + 4, 4);
        position.status = 6;
        break;
    case 4:
        WriteLE32(positionBody + 4, 50);
        position.status = 11;
        break;
    case 5: WriteLE32(positionBody + 4, 50); break;
    default:
        WriteLE32(positionBody + 4, 0);
        position.status = 0;
        break;
    }
    ChangedMask = kSolutionBits;
}

// ---- log decoders ----------------------------------------------------------

unsigned Em_RepParser_Q70R::Decode_BinFrame(const uint8_t* data, int id, unsigned length) {
    if (!data || id == 0 || length == 0) return 0;
    if (length < kHeaderSize) return 0;
    ChangedMask = 0;
    // The body as the header announces it, within the bytes given.
    const unsigned headerLength = data[kHeaderLengthAt];
    if (headerLength < kHeaderSize || headerLength > length) return 1;
    const uint8_t* body = data + headerLength;
    const unsigned n = std::min<unsigned>(ReadLE16(data + kBodyLengthAt), length - headerLength);
    int32_t work = 0;

    switch (id) {
    case Q70R_VERSION:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        std::memset(versionComponent, 0, sizeof versionComponent);
        if (n > 4) std::memcpy(versionComponent, body + 4, std::min<unsigned>(n - 4, sizeof versionComponent));
        break;
    case Q70R_RAWEPHEM:
        DecodeRawEphem(body, n);
        break;
    case Q70R_BESTPOS:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodePosition(lastHeader, body, n);
        break;
    case Q70R_RANGE:
    case Q70R_SATVIS:
        break;  // accepted; the engine works from the board's own observation log
    case Q70R_PSRDOP:
        DecodeDops(body, n);
        break;
    case Q70R_REFSTATION:
        std::memset(refStationLog, 0, sizeof refStationLog);
        std::memcpy(refStationLog, data, std::min<unsigned>(length, sizeof refStationLog));
        ChangedMask |= ChangeBits::BasePosition;
        break;
    case Q70R_SATMSG:
        DecodeSatellites(body, n);
        break;
    case Q70R_OBSERVATIONS:
        if (!DecodeObservations(data, body, n)) break;
        {
            // The store's GPS list from the satellites measured.
            SatList& gps = satLists[SATLIST_GPS];
            const uint32_t count = std::min<uint32_t>(ReadLE32(obsRecord + R::kObsCountAt), R::kObsMaxSats);
            uint32_t k = 0;
            for (uint32_t i = 0; i < count && k < SatList::kCapacity; ++i) {
                const uint8_t* e = obsRecord + R::kObsEntriesAt + i * R::kObsEntrySize;
                if (e[0] == 0) continue;
                SATLLITE_STR& s = gps.sats[k++];
                std::memset(&s, 0, sizeof s);
                s.number = e[0];
                s.elevation = e[1];
                s.azimuth = ReadLE16(e + 2);
                s.snr[0] = float(e[4]);
                s.snr[1] = float(e[5]);
            }
            gps.count = k;
            const double seconds = ReadLEDouble(obsRecord + R::kObsSecondsAt);
            WriteLE16(lastHeader + kWeekAt, uint16_t(ReadLE32(obsRecord + R::kObsWeekAt)));
            WriteLE32(lastHeader + kMillisecondsAt, TruncMilliseconds(seconds));
            WriteLE32(obsRecord + R::kObsFlagAt, 1);
            if (engine_) engine_->PutObservations(obsRecord, &work);
        }
        break;
    case Q70R_LOG_913:
        DecodeLog913(body, n);
        break;
    default:
        break;
    }
    return 1;
}

// Log 41: the three raw subframes of one satellite. The telemetry and
// handover words are dropped; subframes 1 to 3 are taken in their order.
void Em_RepParser_Q70R::DecodeRawEphem(const uint8_t* b, unsigned n) {
    if (n < kRawEphemRead) return;
    const uint32_t sat = ReadLE32(b);
    if (sat < 1 || sat > 62) return;
    em_eph_t e;
    std::memset(&e, 0, sizeof e);
    for (unsigned k = 0; k < 3; ++k) {
        uint8_t sf[30] = {};
        std::memcpy(sf + 6, b + 12 + k * 30 + 6, 24);
        switch (k) {
        case 0: Decode_GpsSubframe1(sf, &e); break;
        case 1: Decode_GpsSubframe2(sf, &e); break;
        default: Decode_GpsSubframe3(sf, &e); break;
        }
    }
    uint8_t* r = ephRecord;
    std::memset(r, 0, R::kEphSize);
    WriteLE32(r + R::kEphSatAt, sat);
    WriteLE32(r + R::kEphValidAt, (e.A < 1000.0 || e.A > 8000.0) ? 0u : 1u);
    WriteLE32(r + R::kEphWeekAt, uint32_t(e.week));
    WriteLE32(r + R::kEphIodeAt, uint32_t(e.iode));
    WriteLE32(r + R::kEphIodcAt, uint32_t(e.iodc));
    WriteLE32(r + R::kEphSvhAt, uint32_t(e.svh));
    WriteLE32(r + R::kEphSvaAt, uint32_t(e.sva));
    WriteLE32(r + R::kEphCodeAt, uint32_t(e.code));
    int32_t week = 0;
    const double tocSeconds = GpsTime_ToWeekSec(e.toc, &week);
    const double values[] = {e.toes, tocSeconds, e.A,    e.e,   e.i0,  e.OMG0, e.omg, e.M0,     e.deln, e.OMGd, e.idot,
                             e.crc,  e.crs,      e.cuc,  e.cus, e.cic, e.cis,  e.f0,  e.f1,     e.f2,   e.tgd[0], e.fit};
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i)
        WriteLEDouble(r + R::kEphDoublesAt + 8 * i, values[i]);
    int32_t work = 0;
    if (engine_) engine_->PutEphemeris(ephRecord, &work);
}

// Log 42: the board's own position solution.
void Em_RepParser_Q70R::DecodePosition(const uint8_t* header, const uint8_t* body, unsigned n) {
    if (header[kMessageTypeAt] < 0x80) {
        if (n < kBestPosBodyRead) return;
        std::memcpy(positionBody, body, kPositionBodySize);
        positionKept = true;
        position.status = 0;
        ChangedMask = 0;
    } else if (!positionKept) {
        return;  // a response, and no solution kept to report
    }
    const uint32_t week = ReadLE16(header + kWeekAt);
    const uint32_t seconds = ReadLE32(header + kMillisecondsAt) / 1000u;
    StoreBestPosLog(week, seconds, positionBody);
}

// Log 174: dilutions and the elevation cutoff (radians on this board).
void Em_RepParser_Q70R::DecodeDops(const uint8_t* b, unsigned n) {
    if (n < kDopRead) return;
    const double pdop = ReadLEFloat(b + 4);
    const double hdop = ReadLEFloat(b + 8);
    dops.gdop = ReadLEFloat(b);
    dops.pdop = pdop;
    dops.hdop = hdop;
    // A PDOP below the HDOP (rounding on the board) leaves no vertical part.
    dops.vdop = std::sqrt(std::max(0.0, pdop * pdop - hdop * hdop));
    dops.tdop = ReadLEFloat(b + 16);
    elevMask = TruncToWord(double(ReadLEFloat(b + 20)) * kRadToDeg);
    ChangedMask |= ChangeBits::Dops | ChangeBits::ElevMask;
}

// Log 911: satellites in view, GPS and BeiDou.
void Em_RepParser_Q70R::DecodeSatellites(const uint8_t* b, unsigned n) {
    if (n < 1) return;
    const unsigned count = b[0];
    if (count > kMaxSatsInView) return;
    SatList& gps = satLists[SATLIST_GPS];
    SatList& bds = satLists[SATLIST_BEIDOU];
    gps.Clear();
    bds.Clear();
    satLists[SATLIST_GLONASS].count = 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned at = kSatHead + i * kSatEntry;
        if (at + kSatEntry > n) break;  // the rest is not in the log
        const uint8_t* e = b + at;
        const int id = e[0];
        const uint16_t azimuth = ReadLE16(e + 1);
        const int32_t elevation = e[3];
        const uint32_t used = e[4];
        const float snr1 = e[5];
        const float snr2 = e[9];
        if (id >= 1 && id <= 32)
            PutSat(gps, id, elevation, azimuth, snr1, snr2, used);
        else if (id >= 141 && id <= 170)
            PutSat(bds, id - 140, elevation, azimuth, snr1, snr2, used);
    }
    if (gps.count) ChangedMask |= ChangeBits::GpsList;
    if (bds.count) ChangedMask |= ChangeBits::BeidouList;
}

// Log 912: one epoch of L1/L2 observations into the engine's record. False
// when the log holds no usable epoch.
bool Em_RepParser_Q70R::DecodeObservations(const uint8_t* header, const uint8_t* b, unsigned n) {
    uint8_t* r = obsRecord;
    std::memset(r, 0, R::kObsSize);
    WriteLE32(r + R::kObsWeekAt, ReadLE16(header + kWeekAt));
    WriteLEDouble(r + R::kObsSecondsAt, ReadLE32(header + kMillisecondsAt) * 0.001);
    if (n < kObsHead) return false;
    const unsigned count = b[0];
    if (count > R::kObsMaxSats) return false;  // the count stays 0
    std::memcpy(r + R::kObsHeadBytesAt, b + 1, 5);
    WriteLEDouble(r + R::kObsScaledAt, int32_t(ReadLE32(b + 6)) * 1e-7);
    WriteLE32(r + R::kObsWordAt, ReadLE32(b + 12));

    uint32_t stored = 0;
    unsigned at = kObsHead;
    for (unsigned i = 0; i < count && at < n; ++i) {
        const uint8_t* e = b + at;
        if (e[0] == 0 || e[0] >= 63) {
            at += 1;  // an empty channel: one byte
            continue;
        }
        if (at + kObsEntry > n) break;  // cut short
        at += kObsEntry;
        if (!e[4]) continue;  // no L1 measurement
        if (stored >= R::kObsMaxSats) continue;
        const double p1 = int32_t(ReadLE32(e + 6)) * kL1PseudorangeUnit;
        const int16_t c1 = int16_t(ReadLE16(e + 10));
        const double l1 = c1 ? p1 * kL1CyclesPerMetre + c1 * kPhaseCorrectionUnit : 0.0;
        double p2 = 0.0, l2 = 0.0;
        uint8_t snr2 = 0, status2 = 0;
        if (e[14]) {
            p2 = p1 + int16_t(ReadLE16(e + 16)) * kL2DifferenceUnit;
            const int16_t c2 = int16_t(ReadLE16(e + 18));
            l2 = c2 ? p1 * kL2CyclesPerMetre + c2 * kPhaseCorrectionUnit : 0.0;
            snr2 = e[15];
            status2 = e[21];
        }
        uint8_t* o = r + R::kObsEntriesAt + stored * R::kObsEntrySize;
        o[0] = e[0];
        o[1] = e[1];
        WriteLE16(o + 2, ReadLE16(e + 2));
        o[4] = e[5];
        o[5] = snr2;
        o[6] = e[13];
        o[7] = status2;
        WriteLEDouble(o + R::kObsEntryP1At, -p1);
        WriteLEDouble(o + R::kObsEntryL1At, -l1);
        WriteLEDouble(o + R::kObsEntryP2At, -p2);
        WriteLEDouble(o + R::kObsEntryL2At, -l2);
        ++stored;
    }
    WriteLE32(r + R::kObsCountAt, stored);
    return true;
}

// Log 913: its first word and the 24 bytes after it, for the engine.
void Em_RepParser_Q70R::DecodeLog913(const uint8_t* b, unsigned n) {
    if (n < kLog913Read) return;
    std::memcpy(log913Record + R::kLog913WordAt, b, 4);
    std::memcpy(log913Record + R::kLog913BytesAt, b + 4, 24);
    int32_t work = 0;
    if (engine_) engine_->PutLog913(log913Record, &work);
}

}  // namespace FJParse
}  // namespace Fjarnis2011
