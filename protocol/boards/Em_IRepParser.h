#pragma once

// The report parser of a board family: decodes the frames its board
// recognises into the parsed-record store below, keeps the change mask of the
// last decoded frame (`ChangedMask`), decodes the NMEA sentences by report id
// and owns the correction-transmit holder. The protocol object's getters copy
// their records out of the store; the frame formats set its option fields.

#include "protocol/boards/Em_BoardTypes.h"
#include "protocol/boards/TransmitHolder.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace Fjarnis2011 {
namespace FJParse {

class NmeaFields;

// One satellite list: up to 32 entries and their count.
struct SatList {
    static constexpr uint32_t kCapacity = 32;
    uint32_t count = 0;
    SATLLITE_STR sats[kCapacity] = {};

    void Clear();
};

// Solution position (`Get_Gnss_Pos`).
struct RepPosition {
    double latitude = 0.0;   // radians
    double longitude = 0.0;  // radians
    double height = 0.0;     // metres
    int32_t status = 0;      // solution status code
    double diffAge = -1.0;   // age of differential data, s; -1.0 when absent
};

// Position errors (`Get_Gnss_Precision`: horizontal, height, rms in that order).
struct RepErrors {
    double rms = 0.0;  // RMS (GST), or the third precision value of binary families
    double latError = 0.0;
    double lonError = 0.0;
    double heightError = 0.0;
    double horizontalError = 0.0;
};

// Dilutions (`Get_Gnss_Dops`: PDOP, HDOP, VDOP, TDOP, GDOP).
struct RepDops {
    double pdop = 0.0;
    double vdop = 0.0;
    double hdop = 0.0;
    double tdop = 0.0;
    double gdop = 0.0;
};

// Local date and time of the last solution (`Get_Gnss_Time`): the receiver's
// UTC time plus the time-zone hours, with the date carried.
struct RepTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    double second = 0.0;
};

// Solution words filled by the binary families.
struct RepSolution {
    uint32_t gpsWeek = 0;
    uint32_t gpsSeconds = 0;      // whole seconds of week
    uint32_t satsTracked = 0;
    uint32_t satsInSolution = 0;
    uint32_t usedSignals = 0;     // used-signal flags (`GetInfo_Gnss_Solutions`)
};

class Em_IRepParser {
public:
    static constexpr int kEphCapacity = 220;
    static constexpr int kGloEphCapacity = 48;
    static constexpr int kSbasEphCapacity = 38;
    static constexpr int kObsCapacity = 64;
    static constexpr unsigned kGgaTextCapacity = 1024;

    // Clears the store, sets the age of differential data to -1.0, prepares
    // the navigation tables and creates the transmit holder (null when its
    // allocation failed).
    Em_IRepParser();
    virtual ~Em_IRepParser();
    Em_IRepParser(const Em_IRepParser&) = delete;
    Em_IRepParser& operator=(const Em_IRepParser&) = delete;

    // Decodes one binary frame cut by the board (frame, its id, its length);
    // non-zero when the frame was taken.
    virtual unsigned Decode_BinFrame(const uint8_t* data, int id, unsigned length) = 0;
    // Decodes one NMEA sentence by its report id; 1 when the id is handled.
    // Clears `ChangedMask` first (when there is a sentence at all).
    virtual unsigned Decode_Report(int id, const uint8_t* data, unsigned length);
    // Satellites-in-view sentences, one list each. `text` starts at the '$'.
    virtual void Decode_GPGSV(std::string_view text, int number);
    virtual void Decode_GLGSV(std::string_view text);
    virtual void Decode_BDGSV(std::string_view text);

    // Hands a CMR frame to the transmit holder (type 2); sets the correction
    // bit when the CMR protocol accepts it. 0 for no frame or no holder.
    unsigned Transmit_Cmr(unsigned messageNumber, const uint8_t* data, unsigned length);

    TransmitHolder* Holder() const { return holder_.get(); }

    // Decoders of the single sentences, used by Decode_Report and by families
    // with dispatches of their own. `text` is the sentence from its '$'.
    void Decode_GGA(std::string_view text);
    void Decode_GSA(std::string_view text);
    void Decode_GST(std::string_view text);
    void Decode_RMC(std::string_view text);
    void Decode_ZDA(std::string_view text);

    // ---- The parsed-record store ----

    uint32_t ChangedMask = 0;      // change bits of the last decoded frame

    // Options the frame formats and the protocol object set.
    uint8_t parseNmea = 0;         // NMEA parsing switch (`Set_GNSS_ParseNmea`)
    uint8_t satDetail = 0;         // decode per-satellite detail records (binary families)
    uint32_t sentenceSeen = 0;     // bit 1 working, bit 2 RMC decoded, bit 4 GST decoded

    // Hold and pending words: with a hold word set, the end of a
    // satellites-in-view cycle only marks its list pending (GPS 8, GLONASS 16,
    // BeiDou 32) and a binary report publishes it later.
    uint32_t gpsHold = 0;
    uint32_t gpsPending = 0;
    uint32_t gloHold = 0;
    uint32_t gloPending = 0;
    uint32_t bdsHold = 0;
    uint32_t bdsPending = 0;

    SatList satLists[SATLIST_COUNT];  // GPS, GLONASS, BeiDou, fourth, fifth

    int32_t satsUsed = 0;             // satellites used in the solution (GGA)
    int32_t gsaSats[12] = {};         // satellite numbers of the last GSA, 0 for empty
    char gsaMode = 0;                 // GSA mode character
    int32_t gsaFixType = 0;
    uint32_t satsListed = 0;          // number of listed satellites (`Get_Gnss_SatUse`)
    uint32_t satsListedUsed = 0;      // of them in use
    uint32_t satSystems = 0;          // number of non-empty lists (`Get_Gnss_SatTypeNum`)

    BASEINFO baseInfo = {};           // base position (`Get_Gnss_Baseinfo`)

    RepPosition position;
    RepErrors errors;
    RepDops dops;
    RepTime time;
    int32_t timeZone = 0;             // hours added to the receiver's UTC time
    RepSolution solution;

    double speedKnots = 0.0;          // speed over ground (RMC)
    double courseRad = 0.0;           // course, radians (RMC)

    uint8_t ggaText[kGgaTextCapacity + 1] = {};  // last GGA sentence, NUL after its length
    uint32_t ggaLength = 0;

    uint32_t elevMask = 0;            // elevation-mask word (board `Get_ElevMask`)
    uint32_t solutions = 0;           // solutions word (`GetInfo_Gnss_Solutions`)

    PASSCOMCHAR passComChar = {};     // pass-through characters (`Get_PassCom_Char`)

    // Navigation tables: entries start as satellite 0 with issue numbers -1.
    em_eph_t eph[kEphCapacity];
    em_geph_t gloEph[kGloEphCapacity];
    em_seph_t sbasEph[kSbasEphCapacity];
    int32_t lastEphSat = 0;           // satellite number of the ephemeris stored last

    // Observation list of the last epoch.
    uint32_t obsCount = 0;
    uint32_t obsCapacity = kObsCapacity;
    em_obsd_t obs[kObsCapacity];

protected:
    // Reads the satellite blocks of one satellites-in-view message (number,
    // elevation, azimuth, signal-to-noise ratio from field 4 on) into the
    // entries that message carries; entries past the 32nd are not stored.
    void FillGsvBlocks(SatList& list, const NmeaFields& fields, int messageNumber, int messageCount);
    // Applies the receiver's UTC time of day (and a UTC date when known) to
    // the local time record.
    void StoreUtcTime(int hour, int minute, double second);
    void StoreUtcDate(int year, int month, int day);
    // GPS week and whole seconds of week: the solution words, and the local
    // time record through the calendar.
    void StoreGpsTime(uint32_t week, uint32_t secondsOfWeek);
    // The one position decode of the boards that log NovAtel's BESTPOS body
    // (the NovAtel OEM board, and the maker's own board as its log 42): the
    // log's GPS week and whole seconds of week, and the first
    // kBestPosBodyRead bytes of its body. Stores the time, the deviations,
    // the position (the height as logged), the solution status and the used
    // signals, and adds their change bits; with position, precision and time
    // all among the bits, the full-solution bit too.
    static constexpr unsigned kBestPosBodyRead = 72;
    void StoreBestPosLog(uint32_t week, uint32_t secondsOfWeek, const uint8_t* body);

    // Null when its allocation failed: correction frames are then consumed
    // without a change bit.
    std::unique_ptr<TransmitHolder> holder_;

private:
    void ApplyLocalTime();

    // The receiver's own UTC date and time of day, from which the local time
    // record is made; the date is 0 until a sentence carried one.
    int32_t utcYear_ = 0;
    int32_t utcMonth_ = 0;
    int32_t utcDay_ = 0;
    int32_t utcHour_ = 0;
    int32_t utcMinute_ = 0;
    double utcSecond_ = 0.0;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
