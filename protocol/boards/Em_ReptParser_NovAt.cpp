#include "protocol/boards/Em_ReptParser_NovAt.h"

#include "platform/Endian.h"
#include "protocol/Em_GpsTime.h"
#include "protocol/boards/NmeaFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

using platform::ReadLE16;
using platform::ReadLE32;
using platform::ReadLEDouble;
using platform::ReadLEFloat;

// Body sizes the decoders read.
constexpr unsigned kEphemerisRead = 204;   // up to af2
constexpr unsigned kRawEphemRead = 102;    // PRN, week, seconds, three subframes
constexpr unsigned kPsrDopRead = 24;       // up to the elevation cutoff
constexpr unsigned kRefStationRead = 28;   // up to z
constexpr unsigned kRangeRecord = 44;
constexpr unsigned kRangeCmpRecord = 24;
constexpr unsigned kSubframe = 30;

// Wavelengths of the two frequency indices, metres.
constexpr double kWavelength[2] = {0.1902936727984, 0.2442102134246};
constexpr double kAdrRolloverCycles = 8388608.0;
constexpr double kMaxLockTime = 65535.968;

// A signal-to-noise value as the one byte of an observation: truncated, and
// held within the byte (a value from outside may be anything).
uint8_t SnrByte(double v) {
    if (!(v >= 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(v);
}

// Seconds of week from a double of a log: truncated to whole seconds and
// reduced modulo a week; 0 for a value that is not a number or absurd.
double WholeSecondsOfWeek(double v) {
    if (!(v > -1e12 && v < 1e12)) return 0.0;
    return static_cast<double>(static_cast<int64_t>(v) % kSecondsPerWeek);
}

GpsTime HeaderEpoch(const uint8_t* header) {
    return GpsTime_FromWeekSec(ReadLE16(header + NovAtelLog::kWeekAt),
                               ReadLE32(header + NovAtelLog::kMillisecondsAt) * 0.001);
}

double Seconds(GpsTime a, GpsTime b) { return (static_cast<double>(a.time) - b.time) + (a.sec - b.sec); }

void CopyBounded(uint8_t* dst, size_t dstSize, const uint8_t* src, size_t n) {
    std::memset(dst, 0, dstSize);
    std::memcpy(dst, src, std::min(dstSize, n));
}


uint32_t ClampCount(int32_t n) {
    if (n < 0) return 0;
    return n > int32_t(SatList::kCapacity) ? SatList::kCapacity : uint32_t(n);
}

void AppendSat(SatList& list, int32_t number, int32_t elevation, int32_t azimuth, float snr) {
    if (list.count >= SatList::kCapacity) return;
    SATLLITE_STR s;
    std::memset(&s, 0, sizeof s);
    s.number = number;
    s.elevation = elevation;
    s.azimuth = static_cast<uint16_t>(azimuth);
    s.snr[0] = snr;
    list.sats[list.count++] = s;
}

}  // namespace

unsigned Em_ReptParser_NovAt::Decode_BinFrame(const uint8_t* data, int id, unsigned length) {
    if (!data || id == 0 || length == 0) return 0;
    if (length < NovAtelLog::kHeaderSize) return 0;
    ChangedMask = 0;

    // The body as the header announces it, within the bytes given.
    const unsigned headerLength = data[NovAtelLog::kHeaderLengthAt];
    if (headerLength < NovAtelLog::kHeaderSize || headerLength > length) return 1;
    const uint8_t* body = data + headerLength;
    const unsigned bodyLength = std::min<unsigned>(ReadLE16(data + NovAtelLog::kBodyLengthAt), length - headerLength);

    switch (id) {
    case NOVATEL_GPSEPHEM:
    case NOVATEL_EPHEM_1047:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodeEphemeris(body, bodyLength);
        break;
    case NOVATEL_RAWEPHEM:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodeRawEphem(body, bodyLength);
        break;
    case NOVATEL_VERSION:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodeVersion(body, bodyLength);
        break;
    case NOVATEL_BESTPOS:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodeBestPos(lastHeader, body, bodyLength);
        break;
    case NOVATEL_RANGE:
        DecodeRange(data, body, bodyLength);
        break;
    case NOVATEL_RANGECMP:
        DecodeRangeCmp(data, body, bodyLength);
        break;
    case NOVATEL_PSRDOP:
        std::memcpy(lastHeader, data, sizeof lastHeader);
        DecodePsrDop(body, bodyLength);
        break;
    case NOVATEL_REFSTATION:
        DecodeRefStation(data, length, body, bodyLength);
        break;
    case NOVATEL_SATVIS:
        // The board's own satellite view is not kept: the tables come from
        // the satellites-in-view sentences and the observations.
        break;
    case NOVATEL_BESTXYZ:
        CopyBounded(bestXyzLog, sizeof bestXyzLog, data, length);
        break;
    case NOVATEL_LOG_726:
        CopyBounded(log726, sizeof log726, data, length);
        break;
    default:
        break;
    }
    return 1;
}

// GPSEPHEM (and log 1047 of the same layout): one decoded GPS ephemeris.
void Em_ReptParser_NovAt::DecodeEphemeris(const uint8_t* b, unsigned n) {
    if (n < kEphemerisRead) return;
    const uint32_t prn = ReadLE32(b);
    // The table holds one entry per satellite number.
    if (prn < 1 || prn > uint32_t(kEphCapacity)) return;
    em_eph_t e;
    std::memset(&e, 0, sizeof e);
    e.sat = int32_t(prn);
    e.svh = int32_t(ReadLE32(b + 12));
    e.iode = int32_t(ReadLE32(b + 16));
    e.week = int32_t(ReadLE32(b + 24));
    const double toe = ReadLEDouble(b + 32);
    e.A = ReadLEDouble(b + 40);
    e.deln = ReadLEDouble(b + 48);
    e.M0 = ReadLEDouble(b + 56);
    e.e = ReadLEDouble(b + 64);
    e.omg = ReadLEDouble(b + 72);
    e.cuc = ReadLEDouble(b + 80);
    e.cus = ReadLEDouble(b + 88);
    e.crc = ReadLEDouble(b + 96);
    e.crs = ReadLEDouble(b + 104);
    e.cic = ReadLEDouble(b + 112);
    e.cis = ReadLEDouble(b + 120);
    e.i0 = ReadLEDouble(b + 128);
    e.idot = ReadLEDouble(b + 136);
    e.OMG0 = ReadLEDouble(b + 144);
    e.OMGd = ReadLEDouble(b + 152);
    e.iodc = int32_t(ReadLE32(b + 160));
    const double toc = ReadLEDouble(b + 164);
    e.tgd[0] = ReadLEDouble(b + 172);
    e.f0 = ReadLEDouble(b + 180);
    e.f1 = ReadLEDouble(b + 188);
    e.f2 = ReadLEDouble(b + 196);
    e.toe = GpsTime_FromWeekSec(e.week, WholeSecondsOfWeek(toe));
    e.toc = GpsTime_FromWeekSec(e.week, WholeSecondsOfWeek(toc));
    e.ttr = e.toe;
    e.toes = toe;

    em_eph_t& slot = eph[prn - 1];
    if (slot.iode == e.iode) return;  // the same issue is already stored
    slot = e;
    lastEphSat = e.sat;
    ChangedMask |= ChangeBits::Ephemeris;
}

// RAWEPHEM: the three raw subframes of one GPS satellite.
void Em_ReptParser_NovAt::DecodeRawEphem(const uint8_t* b, unsigned n) {
    if (n < kRawEphemRead) return;
    CopyBounded(rawEphemBody, sizeof rawEphemBody, b, n);
    const uint32_t prn = ReadLE32(b);
    if (prn < 1 || prn > 32) return;
    em_eph_t e;
    std::memset(&e, 0, sizeof e);
    bool got1 = false, got2 = false, got3 = false;
    for (unsigned k = 0; k < 3; ++k) {
        const uint8_t* sf = b + 12 + k * kSubframe;
        switch ((sf[5] >> 2) & 7) {
        case 1: got1 = Decode_GpsSubframe1(sf, &e) == 1; break;
        case 2: got2 = Decode_GpsSubframe2(sf, &e) == 2; break;
        case 3: got3 = Decode_GpsSubframe3(sf, &e) == 3; break;
        case 4: {
            double ion[8], utc[4];
            int32_t leaps = 0;
            Decode_GpsIonoUtc(sf, ion, utc, &leaps);  // not kept
            break;
        }
        default: break;
        }
    }
    // Only a whole, consistent ephemeris replaces the stored one.
    if (!got1 || !got2 || !got3) return;
    em_eph_t& slot = eph[prn - 1];
    if (slot.iode == e.iode) return;
    e.sat = int32_t(prn);
    slot = e;
    lastEphSat = e.sat;
    ChangedMask |= ChangeBits::Ephemeris;
}

// VERSION: the first component after the component count.
void Em_ReptParser_NovAt::DecodeVersion(const uint8_t* b, unsigned n) {
    if (n <= 4) return;
    CopyBounded(versionComponent, sizeof versionComponent, b + 4, n - 4);
}

// BESTPOS: position, precision, time and status of the best solution.
void Em_ReptParser_NovAt::DecodeBestPos(const uint8_t* header, const uint8_t* body, unsigned n) {
    if (header[NovAtelLog::kMessageTypeAt] < NovAtelLog::kResponseBit) {
        if (n < kBestPosBodyRead) return;
        std::memcpy(bestPosBody, body, kBestPosBodySize);
        bestPosKept = true;
        position.status = 0;
        ChangedMask = 0;
    } else if (!bestPosKept) {
        return;  // a response with no solution kept before: nothing to report
    }
    const uint32_t week = ReadLE16(header + NovAtelLog::kWeekAt);
    const uint32_t seconds = ReadLE32(header + NovAtelLog::kMillisecondsAt) / 1000u;
    StoreBestPosLog(week, seconds, bestPosBody);
    // This board's height takes the undulation it logs beside it; its
    // satellite counts come with the solution.
    const uint8_t* b = bestPosBody;
    position.height += ReadLEFloat(b + 32);
    const uint8_t tracked = b[64];
    const uint8_t inSolution = b[65];
    solution.satsTracked = tracked;
    solution.satsInSolution = inSolution;
    // The same two counts are this board's listed satellites and those of
    // them in use.
    satsListed = tracked;
    satsListedUsed = inSolution;
    ChangedMask |= ChangeBits::SatCount;
}

// RANGE: full observations; the two records of one satellite that follow one
// another are its two frequencies.
void Em_ReptParser_NovAt::DecodeRange(const uint8_t* header, const uint8_t* b, unsigned n) {
    std::memcpy(rangeHeader, header, sizeof rangeHeader);
    obsEpoch = HeaderEpoch(header);
    obsCount = 0;
    std::memset(obs, 0, sizeof obs);
    if (n >= 4) {
        const uint32_t count = std::min<uint32_t>(ReadLE32(b), (n - 4) / kRangeRecord);
        const auto fill = [&](em_obsd_t& o, int k, const uint8_t* r) {
            o.P[k] = ReadLEDouble(r + 4);
            o.L[k] = ReadLEDouble(r + 16);
            o.D[k] = ReadLEFloat(r + 28);
            o.SNR[k] = SnrByte(ReadLEFloat(r + 32));
        };
        for (uint32_t i = 0; i < count && obsCount < obsCapacity;) {
            const uint8_t* r = b + 4 + i * kRangeRecord;
            const uint16_t prn = ReadLE16(r);
            em_obsd_t& o = obs[obsCount++];
            o.time = obsEpoch;
            o.sat = static_cast<uint8_t>(prn & 0xFF);
            fill(o, 0, r);
            if (i + 1 < count && ReadLE16(r + kRangeRecord) == prn) {
                fill(o, 1, r + kRangeRecord);
                i += 2;
            } else {
                i += 1;
            }
        }
    }
    ChangedMask |= ChangeBits::Observations;
}

// RANGECMP: compressed observations, after the published record layout.
void Em_ReptParser_NovAt::DecodeRangeCmp(const uint8_t* header, const uint8_t* b, unsigned n) {
    obsCount = 0;
    std::memset(obs, 0, sizeof obs);
    std::memcpy(rangeCmpHeader, header, sizeof rangeCmpHeader);
    // The interval since the previous log is taken from this log's own epoch
    // for every record, the first one included.
    const GpsTime epoch = HeaderEpoch(header);
    const double dt = havePrevCmpEpoch ? Seconds(epoch, prevCmpEpoch) : 0.0;
    obsEpoch = epoch;

    const uint32_t count = n >= 4 ? std::min<uint32_t>(ReadLE32(b), (n - 4) / kRangeCmpRecord) : 0u;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = b + 4 + i * kRangeCmpRecord;
        const uint32_t status = ReadLE32(r);
        const bool phaseLock = status & (1u << 10);
        const bool parityKnown = status & (1u << 11);
        const bool codeLock = status & (1u << 12);
        const uint32_t system = (status >> 16) & 0x7u;
        const uint32_t signalType = (status >> 21) & 0x1Fu;
        const uint8_t halfCycle = (status >> 28) & 1u;

        const int prn = r[17];
        int sat = 0;
        if (system == 4) {
            if (prn >= 1) sat = prn + 160;  // BeiDou
        } else if (system == 0) {
            if (prn >= 1 && prn <= 32) sat = prn;  // GPS
        } else if (system == 1) {
            if (prn >= 38 && prn <= 61 && parityKnown) sat = prn;  // GLONASS slot + 37
        } else if (system == 2) {
            if (prn >= 120 && prn <= 138) sat = prn;  // SBAS
        }
        if (sat < 1 || sat > kMaxSatNumber) continue;

        int index;
        uint8_t code;
        switch (signalType) {
        case 0: index = 0; code = 1; break;
        case 4: index = 0; code = 2; break;
        case 5:
        case 9: index = 1; code = 19; break;
        case 17: index = 1; code = 14; break;
        default: continue;
        }

        uint32_t rawDoppler = ReadLE32(r + 4) & 0x0FFFFFFFu;
        const int32_t dopplerUnits =
            (rawDoppler & 0x08000000u) ? int32_t(rawDoppler) - 0x10000000 : int32_t(rawDoppler);
        double doppler = dopplerUnits / 256.0;
        double pseudorange = (ReadLE32(r + 7) >> 4) / 128.0 + r[11] * 2097152.0;
        const double adr = static_cast<int32_t>(ReadLE32(r + 12)) / 256.0;
        const double rolls = (pseudorange / kWavelength[index] + adr) / kAdrRolloverCycles;
        double phase = -adr + kAdrRolloverCycles * std::floor(rolls + (rolls <= 0 ? -0.5 : 0.5));
        const double lockTime = (ReadLE32(r + 18) & 0x1FFFFFu) / 32.0;
        const double snr = ((ReadLE16(r + 20) & 0x3E0u) >> 5) + 20.0;

        uint8_t lli = 0;
        if (havePrevCmpEpoch &&
            ((lockTime < kMaxLockTime && lockTime - lastLockTime[sat][index] + 0.05 <= dt) ||
             halfCycle != lastHalfCycle[sat][index]))
            lli = 1;
        if (!parityKnown) lli |= 2;
        lastLockTime[sat][index] = lockTime;
        lastHalfCycle[sat][index] = halfCycle;

        if (!codeLock) pseudorange = 0.0;
        if (!phaseLock) {
            phase = 0.0;
            doppler = 0.0;
        }

        em_obsd_t* o = nullptr;
        for (uint32_t k = 0; k < obsCount; ++k)
            if (obs[k].sat == sat) o = &obs[k];
        if (!o) {
            if (obsCount >= obsCapacity) continue;  // the list is full
            o = &obs[obsCount++];
            o->time = epoch;
            o->sat = static_cast<uint8_t>(sat);
        }
        o->L[index] = phase + (signalType == 17 ? 0.25 : 0.0);
        o->P[index] = pseudorange;
        o->D[index] = static_cast<float>(doppler);
        o->SNR[index] = (snr >= 0.0 && snr < 255.0) ? static_cast<uint8_t>(snr + 0.5) : 0;
        o->LLI[index] = lli;
        o->code[index] = code;
    }
    prevCmpEpoch = epoch;
    havePrevCmpEpoch = true;
    ChangedMask |= ChangeBits::Observations;
    MergeSatTables();
}

// A satellites-in-view cycle held back for this log: its table takes the
// signal-to-noise ratios of the observations and is published now.
void Em_ReptParser_NovAt::MergeSatTables() {
    struct Table {
        SatList& list;
        uint32_t hold;
        uint32_t& pending;
        uint32_t pendingBit;
        uint32_t changeBit;
    };
    Table tables[] = {
        {satLists[SATLIST_GPS], gpsHold, gpsPending, 8u, ChangeBits::GpsList},
        {satLists[SATLIST_GLONASS], gloHold, gloPending, 16u, ChangeBits::GlonassList},
        {satLists[SATLIST_BEIDOU], bdsHold, bdsPending, 32u, ChangeBits::BeidouList},
    };
    for (Table& t : tables) {
        if (!t.hold || !(t.pending & t.pendingBit)) continue;
        const uint32_t count = std::min(t.list.count, SatList::kCapacity);
        for (uint32_t i = 0; i < count; ++i) {
            SATLLITE_STR& s = t.list.sats[i];
            const int32_t number = s.number;
            for (uint32_t k = 0; k < obsCount; ++k) {
                if (number >= 1 && number <= 255 && obs[k].sat == number) {
                    s.snr[0] = obs[k].SNR[0];
                    s.snr[1] = obs[k].SNR[1];
                    break;
                }
            }
            const bool unused = s.elevation <= 13 || s.snr[0] <= 30.0f || s.azimuth == 0;
            s.used = unused ? 0u : 1u;
        }
        t.pending = 0;
        ChangedMask |= t.changeBit;
    }
}

// PSRDOP: dilutions and the elevation cutoff.
void Em_ReptParser_NovAt::DecodePsrDop(const uint8_t* b, unsigned n) {
    if (n < kPsrDopRead) return;
    CopyBounded(psrDopBody, sizeof psrDopBody, b, n);
    const float gdop = ReadLEFloat(b);
    const float pdop = ReadLEFloat(b + 4);
    const float hdop = ReadLEFloat(b + 8);
    const float tdop = ReadLEFloat(b + 16);
    const float cutoff = ReadLEFloat(b + 20);
    const float square = pdop * pdop - hdop * hdop;
    dops.pdop = pdop;
    dops.hdop = hdop;
    dops.vdop = square > 0.0f ? std::sqrt(square) : 0.0f;
    dops.tdop = tdop;
    dops.gdop = gdop;
    elevMask = !(cutoff >= 0.0f) ? 0u : (cutoff >= 4294967040.0f ? 0xFFFFFFFFu : static_cast<uint32_t>(cutoff));
    ChangedMask |= ChangeBits::Dops | ChangeBits::ElevMask;
}

// REFSTATION: the base station's position.
void Em_ReptParser_NovAt::DecodeRefStation(const uint8_t* frame, unsigned frameLength, const uint8_t* b,
                                           unsigned n) {
    CopyBounded(refStationLog, sizeof refStationLog, frame, frameLength);
    if (n < kRefStationRead) return;
    baseInfo.x = ReadLEDouble(b + 4);
    baseInfo.y = ReadLEDouble(b + 12);
    baseInfo.z = ReadLEDouble(b + 20);
    ChangedMask |= ChangeBits::BasePosition;
}

void Em_ReptParser_NovAt::Decode_GPGSV(std::string_view text, int) {
    const NmeaFields f(text);
    if (f.Commas() < 7) return;
    int32_t messages = 0, message = 0;
    f.Int(1, messages);
    f.Int(2, message);
    SatList& gps = satLists[SATLIST_GPS];
    SatList& sbas = satLists[SATLIST_FOURTH];
    if (message == 1) {
        gpsTableStarted_ = false;
        sbasTableStarted_ = false;
    }
    const int blocks = (f.Commas() - 3) / 4;
    for (int k = 0; k < blocks; ++k) {
        const int at = 4 + 4 * k;
        int32_t prn = 0, elevation = 0, azimuth = 0;
        double snr = 0.0;
        f.Int(at, prn);
        f.Int(at + 1, elevation);
        f.Int(at + 2, azimuth);
        f.Double(at + 3, snr);
        if (prn >= 1 && prn <= 32) {
            if (!gpsTableStarted_) {
                gps.Clear();
                gpsTableStarted_ = true;
            }
            AppendSat(gps, prn, elevation, azimuth, float(snr));
        } else if (prn >= 33 && prn <= 64) {
            if (!sbasTableStarted_) {
                sbas.Clear();
                sbasTableStarted_ = true;
            }
            AppendSat(sbas, prn + 87, elevation, azimuth, float(snr));
        }
    }
    if (message >= 1 && message >= messages) {
        // A system that had no satellite in this whole cycle has none now.
        if (!gpsTableStarted_) gps.Clear();
        if (!sbasTableStarted_) sbas.Clear();
        gpsTableStarted_ = true;
        sbasTableStarted_ = true;
        if (gpsHold == 0) {
            if (gps.count >= 1 && gps.count <= SatList::kCapacity) ChangedMask |= ChangeBits::GpsList;
            if (sbas.count >= 1 && sbas.count <= SatList::kCapacity) ChangedMask |= ChangeBits::SbasList;
        } else {
            gpsPending |= 8u;
        }
    }
}

void Em_ReptParser_NovAt::Decode_BDGSV(std::string_view text) {
    if (text.empty()) return;
    const NmeaFields f(text);
    int32_t messages, message, inView;
    if (!GsvHeader(f, messages, message, inView)) return;
    SatList& list = satLists[SATLIST_BEIDOU];
    if (message == 1) list.Clear();
    list.count = ClampCount(inView);
    if (message <= messages) FillGsvBlocks(list, f, message, messages);
    if (message >= messages) {
        // BeiDou PRNs 1..63 are kept as 161..223; an entry already moved is
        // not moved again.
        for (uint32_t i = 0; i < list.count; ++i) {
            SATLLITE_STR& s = list.sats[i];
            if (s.number >= 1 && s.number <= 63) s.number += 160;
        }
        if (bdsHold == 0)
            ChangedMask |= ChangeBits::BeidouList;
        else
            bdsPending |= 32u;
    }
}

}  // namespace FJParse
}  // namespace Fjarnis2011
