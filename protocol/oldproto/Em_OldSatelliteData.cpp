// Satellite data of the maker's old-protocol receivers ("RH" replies). A
// record comes cut into chunks of 55 payload bytes; the chunk that is shorter
// ends it. The record's kind says what it holds: a satellite list with signal
// kinds (merged into the board's tables), satellite records for the board's
// tables, a signal-strength update or satellite positions.

#include "protocol/boards/EmIMainBoard.h"
#include "protocol/oldproto/Em_Format_OrvelNav.h"
#include "protocol/oldproto/Em_OldReplyDecoders.h"

#include <algorithm>
#include <cstring>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr unsigned kChunk = 55;
// More than this already collected: the collection is not one record.
constexpr unsigned kMaxCollected = 275;
// Records with more entries than this are not satellite data.
constexpr unsigned kMaxEntries = 64;

// The systems of the format's own arrays and the parser's tables.
enum System { kGps, kGlonass, kBeidou, kSystems };

constexpr uint32_t kSystemBit[kSystems] = {ChangeBits::GpsList, ChangeBits::GlonassList, ChangeBits::BeidouList};
// The parser's pending word carries these bits for a list it holds back.
constexpr uint32_t kPendingBit[kSystems] = {8, 16, 32};
constexpr SAT_LIST_INDEX kListOf[kSystems] = {SATLIST_GPS, SATLIST_GLONASS, SATLIST_BEIDOU};
// The tables are updated (the count of updated systems is in the parser).
constexpr uint32_t kTablesUpdated = 0x100;

uint32_t& HoldOf(Em_IRepParser& p, int s) { return s == kGps ? p.gpsHold : s == kGlonass ? p.gloHold : p.bdsHold; }
uint32_t& PendingOf(Em_IRepParser& p, int s) {
    return s == kGps ? p.gpsPending : s == kGlonass ? p.gloPending : p.bdsPending;
}

// One satellite record as it came: its bytes and their count.
struct Record {
    const uint8_t* p;
    unsigned n;
    // Entries of `size` bytes from `first` on that the record holds, at most
    // `count`.
    unsigned Entries(unsigned first, unsigned size, unsigned count) const {
        return n > first ? std::min(count, (n - first) / size) : 0;
    }
};

// The system of a satellite id in a satellite list; -1 for none.
int ListSystem(unsigned id) {
    if (id >= 1 && id <= 32) return kGps;
    if (id >= 33 && id <= 64) return kGlonass;
    if (id >= 161 && id <= 190) return kBeidou;
    return -1;
}

// The system of a satellite id in a strength update or a position record.
int UpdateSystem(unsigned id) {
    if (id >= 1 && id <= 32) return kGps;
    if (id >= 38 && id <= 61) return kGlonass;
    if (id >= 161 && id <= 197) return kBeidou;
    return -1;
}

SATLLITE_STR* FindSatellite(OldSatArray& a, int32_t number) {
    const uint32_t n = std::min<uint32_t>(a.count, SatList::kCapacity);
    for (uint32_t i = 0; i < n; ++i)
        if (a.sats[i].number == number) return &a.sats[i];
    return nullptr;
}

// After a satellite list: each system's table of the parser is announced as
// it stands when the parser does not hold it back; a held table that waits
// for this list keeps the satellites the list also has, with their signal
// values; a held table that does not wait is left alone.
void MergeLists(Em_Format_OrvelNav& f, Em_IRepParser& parser) {
    for (int s = 0; s < kSystems; ++s) {
        SatList& table = parser.satLists[kListOf[s]];
        if (table.count == 0) continue;
        if (HoldOf(parser, s) != 0) {
            uint32_t& pending = PendingOf(parser, s);
            if (!(pending & kPendingBit[s])) continue;
            const uint32_t n = std::min<uint32_t>(table.count, SatList::kCapacity);
            uint32_t matches = 0;
            for (uint32_t i = 0; i < n; ++i) {
                const SATLLITE_STR* own = FindSatellite(f.satellites[s], table.sats[i].number);
                if (!own) continue;
                // The matched satellites close up at the front, so that the
                // count names the entries that carry this list's values.
                SATLLITE_STR entry = table.sats[i];
                entry.snr[0] = own->snr[0];
                entry.snr[1] = own->snr[1];
                entry.used = own->used;
                table.sats[matches++] = entry;
            }
            table.count = matches;
            pending = 0;
        }
        f.changeMask |= kSystemBit[s];
        ++f.satUpdateCount;
    }
    const uint32_t sbas = parser.satLists[SATLIST_FOURTH].count;
    if (sbas >= 1 && sbas <= SatList::kCapacity) {
        ++f.satUpdateCount;
        f.changeMask |= ChangeBits::SbasList;
    }
    parser.satSystems = f.satUpdateCount;
    f.changeMask |= kTablesUpdated;
}

// Kind 0: pairs of entries (id, flags, strength) per satellite. GPS and
// GLONASS: an entry of signal kind below 8 opens the satellite at the next
// free place, an entry of kind 8 or above with the same id completes it and
// only then makes it count. BeiDou: the entries alternate first and second,
// and a second must carry the id of the first.
void DecodeSatelliteList(Em_Format_OrvelNav& f, Em_IRepParser& parser, const Record& r) {
    f.satUpdateCount = 0;
    uint32_t count[kSystems] = {};
    bool open[kSystems] = {};  // the entry at count[s] has its first signal
    const unsigned entries = r.Entries(2, 3, r.p[0]);
    for (unsigned k = 0; k < entries; ++k) {
        const uint8_t* e = r.p + 2 + 3 * k;
        const int s = ListSystem(e[0]);
        if (s < 0 || count[s] >= SatList::kCapacity) continue;
        const unsigned kind = e[1] & 0x1F;
        SATLLITE_STR& sat = f.satellites[s].sats[count[s]];
        const bool first = s == kBeidou ? !open[s] : kind < 8;
        if (first) {
            sat.number = e[0];
            sat.snr[0] = float(e[2]);
            sat.used = kind | ((e[1] & 0x40) ? 0x40000000u : 0u);
            open[s] = true;
        } else if (open[s] && sat.number == e[0]) {
            sat.snr[1] = float(e[2]);
            ++count[s];
            open[s] = false;
        }
    }
    for (int s = 0; s < kSystems; ++s) f.satellites[s].count = count[s];
    MergeLists(f, parser);
}

// Kind 1: entries of 8 bytes from byte 10 (id, elevation, azimuth high byte
// first, two strengths in quarter steps, three unused bytes), written into the
// parser's tables as they come.
void DecodeBoardRecords(Em_Format_OrvelNav& f, Em_IRepParser& parser, const Record& r) {
    f.satUpdateCount = 0;
    struct Target {
        SAT_LIST_INDEX list;
        uint32_t bit;
        uint32_t count;
    } targets[] = {{SATLIST_GPS, ChangeBits::GpsList, 0},
                   {SATLIST_GLONASS, ChangeBits::GlonassList, 0},
                   {SATLIST_FOURTH, ChangeBits::SbasList, 0},
                   {SATLIST_BEIDOU, ChangeBits::BeidouList, 0}};
    const unsigned entries = r.Entries(10, 8, r.p[0]);
    uint32_t total = 0;
    for (unsigned k = 0; k < entries; ++k) {
        const uint8_t* e = r.p + 10 + 8 * k;
        const unsigned id = e[0];
        Target* t = id >= 1 && id <= 32      ? &targets[0]
                    : id >= 33 && id <= 64   ? &targets[1]
                    : id >= 120 && id <= 138 ? &targets[2]
                    : id >= 161 && id <= 190 ? &targets[3]
                                             : nullptr;
        if (!t) continue;
        if (t->count < SatList::kCapacity) {
            SATLLITE_STR& sat = parser.satLists[t->list].sats[t->count];
            sat = SATLLITE_STR{};
            sat.number = int32_t(id);
            sat.elevation = e[1];
            sat.azimuth = uint16_t(e[2] << 8 | e[3]);
            sat.snr[0] = float(e[4]) * 0.25f;
            sat.snr[1] = float(e[5]) * 0.25f;
            sat.used = (e[4] != 0 || e[5] != 0) ? 1u : 0u;
        }
        ++t->count;
        ++total;
    }
    for (Target& t : targets) {
        // A table holds 32 satellites; the total counts every one listed.
        parser.satLists[t.list].count = std::min<uint32_t>(t.count, SatList::kCapacity);
        if (t.count != 0) {
            f.changeMask |= t.bit;
            ++f.satUpdateCount;
        }
    }
    parser.satsListed = total;
    if (total != 0) {
        f.changeMask |= ChangeBits::SatCount;
        parser.satSystems = f.satUpdateCount;
        f.changeMask |= kTablesUpdated;
    }
}

// Kind 2, sub-kind 0: strengths (id, strength, signal code) for satellites of
// the format's arrays; then the arrays replace the parser's non-empty tables.
void DecodeStrengthUpdate(Em_Format_OrvelNav& f, Em_IRepParser& parser, const Record& r) {
    const unsigned entries = r.Entries(3, 3, r.p[0]);
    for (unsigned k = 0; k < entries; ++k) {
        const uint8_t* e = r.p + 3 + 3 * k;
        const int s = UpdateSystem(e[0]);
        if (s < 0 || parser.satLists[kListOf[s]].count == 0) continue;
        if (SATLLITE_STR* sat = FindSatellite(f.satellites[s], e[0])) sat->snr[e[2] == 16 ? 0 : 1] = float(e[1]);
    }
    for (int s = 0; s < kSystems; ++s) {
        SatList& table = parser.satLists[kListOf[s]];
        if (table.count == 0) continue;
        const uint32_t n = std::min<uint32_t>(table.count, SatList::kCapacity);
        std::memcpy(table.sats, f.satellites[s].sats, n * sizeof(SATLLITE_STR));
        f.changeMask |= kSystemBit[s];
    }
}

// Kind 2, sub-kind 1: positions (id, elevation, azimuth) into the format's
// arrays; the counts go to the parser's tables as well.
void DecodePositions(Em_Format_OrvelNav& f, Em_IRepParser& parser, const Record& r) {
    uint32_t count[kSystems] = {};
    const unsigned entries = r.Entries(3, 4, r.p[0]);
    for (unsigned k = 0; k < entries; ++k) {
        const uint8_t* e = r.p + 3 + 4 * k;
        const int s = UpdateSystem(e[0]);
        if (s < 0 || count[s] >= SatList::kCapacity) continue;
        SATLLITE_STR& sat = f.satellites[s].sats[count[s]++];
        sat.number = e[0];
        sat.elevation = e[1];
        sat.azimuth = uint16_t(e[2] | e[3] << 8);
    }
    for (int s = 0; s < kSystems; ++s) {
        f.satellites[s].count = count[s];
        parser.satLists[kListOf[s]].count = count[s];
    }
}

}  // namespace

void DecodeSatelliteData(Em_Format_OrvelNav& f) {
    EmIMainBoard* board = f.MainBoard();
    Em_IRepParser* parser = board ? board->RepParser() : nullptr;
    if (!parser) return;
    ReplyBuffer& buffer = f.satelliteBuffer;
    if (buffer.fill > kMaxCollected) {
        buffer.Clear();
        return;
    }
    const unsigned n = f.PayloadLength();
    if (n > kChunk) return;
    // A short chunk ends the record; what would follow it up to 55 bytes is
    // filler, taken as zeros.
    uint8_t chunk[kChunk] = {};
    std::memcpy(chunk, f.Payload(), n);
    if (!buffer.Append(chunk, kChunk) || n == kChunk) return;

    uint8_t data[ReplyBuffer::kSize];
    const Record record{data, buffer.fill};
    std::memcpy(data, buffer.data, buffer.fill);
    buffer.Clear();

    if (record.p[0] > kMaxEntries) return;
    const uint8_t kind = record.p[1];
    if (kind == 0) {
        DecodeSatelliteList(f, *parser, record);
    } else if (kind == 1) {
        DecodeBoardRecords(f, *parser, record);
    } else if (kind == 2 && record.p[2] == 0) {
        DecodeStrengthUpdate(f, *parser, record);
    } else if (kind == 2 && record.p[2] == 1) {
        DecodePositions(f, *parser, record);
    } else {
        return;
    }
    f.messageClass = MSG_TYPE_GNSS;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
