#pragma once

// NovAtel binary logs for the board tests, built from the OEM4 binary layout:
// a 28-byte header (sync AA 44 12, header length, message id, message type,
// port, body length, sequence, idle time, time status, GPS week, GPS
// milliseconds, receiver status, reserved, software version), the body and a
// CRC-32 over both, every number little-endian.

#include <cstdint>
#include <cstring>
#include <vector>

namespace novatel_fixtures {

using Bytes = std::vector<uint8_t>;

// A body written field by field.
struct Body {
    Bytes b;
    Body& U8(uint8_t v) {
        b.push_back(v);
        return *this;
    }
    Body& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
    Body& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    Body& I32(int32_t v) { return U32(uint32_t(v)); }
    Body& F32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    Body& F64(double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        return U32(uint32_t(u)).U32(uint32_t(u >> 32));
    }
    Body& Zeros(size_t n) {
        b.insert(b.end(), n, 0);
        return *this;
    }
    Body& Raw(const Bytes& bytes) {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
};

// The CRC-32 of the framing, worked out bit by bit here (reflected
// polynomial EDB88320, start 0, no final inversion) rather than taken from
// the library under test.
inline uint32_t FrameCrc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

inline constexpr uint16_t kWeek = 1562;               // 2009-12-13
inline constexpr uint32_t kMilliseconds = 515220000;  // Friday 23:07:00 GPS time
inline constexpr uint8_t kLogType = 0x02;             // binary, original message
inline constexpr uint8_t kResponseType = 0x82;        // bit 7: a response

inline Bytes Log(uint16_t id, const Bytes& body, uint16_t week = kWeek, uint32_t ms = kMilliseconds,
                 uint8_t type = kLogType) {
    Body h;
    h.U8(0xAA).U8(0x44).U8(0x12)  // sync
        .U8(28)                   // header length
        .U16(id)                  // message id
        .U8(type)                 // message type
        .U8(0x20)                 // port
        .U16(uint16_t(body.size()))
        .U16(0)    // sequence
        .U8(0)     // idle time
        .U8(180)   // time status: fine
        .U16(week)
        .U32(ms)
        .U32(0)    // receiver status
        .U16(0)    // reserved
        .U16(0);   // software version
    Bytes f = h.b;
    f.insert(f.end(), body.begin(), body.end());
    const uint32_t crc = FrameCrc32(f.data(), f.size());
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(crc >> (8 * i)));
    return f;
}

// BESTPOS body (72 bytes).
struct BestPos {
    uint32_t solutionStatus = 0;
    uint32_t positionType = 50;
    double lat = 31.5, lon = 121.25, hgt = 10.0;
    float undulation = 5.5f;
    float latSigma = 0.03f, lonSigma = 0.04f, hgtSigma = 0.05f;
    float diffAge = 1.0f;
    uint8_t tracked = 16, inSolution = 12, signalMask = 0x37;

    Bytes Encode() const {
        Body b;
        b.U32(solutionStatus).U32(positionType).F64(lat).F64(lon).F64(hgt).F32(undulation)
            .U32(61)  // datum WGS84
            .F32(latSigma).F32(lonSigma).F32(hgtSigma)
            .Raw({'0', '0', '0', '1'})  // station id
            .F32(diffAge)
            .F32(0.0f)  // solution age
            .U8(tracked).U8(inSolution)
            .U8(0).U8(0).U8(0)  // L1 in solution, multi-frequency, reserved
            .U8(0)              // extended solution status
            .U8(0)              // reserved
            .U8(signalMask);
        return b.b;
    }
};

// PSRDOP body: GDOP, PDOP, HDOP, HTDOP, TDOP, cutoff, satellite count 0.
inline Bytes PsrDop(float gdop, float pdop, float hdop, float tdop, float cutoff) {
    Body b;
    b.F32(gdop).F32(pdop).F32(hdop).F32(0.5f).F32(tdop).F32(cutoff).U32(0);
    return b.b;
}

// REFSTATION body (41 bytes): status, ECEF x, y, z, health, station type, id.
inline Bytes RefStation(double x, double y, double z) {
    Body b;
    b.U32(0).F64(x).F64(y).F64(z).U32(0).U32(1).Raw({'1', '2', '3', '4', 0});
    return b.b;
}

// One 44-byte RANGE record.
inline Bytes RangeRecord(uint16_t prn, double psr, double adr, float doppler, float cn0) {
    Body b;
    b.U16(prn).U16(0)  // PRN, GLONASS frequency
        .F64(psr).F32(0.1f)
        .F64(adr).F32(0.01f)
        .F32(doppler).F32(cn0)
        .F32(100.0f)  // lock time
        .U32(0);      // tracking status
    return b.b;
}

inline Bytes Range(const std::vector<Bytes>& records, uint32_t count) {
    Body b;
    b.U32(count);
    for (const Bytes& r : records) b.Raw(r);
    return b.b;
}

// One 24-byte RANGECMP record, packed from its published fields.
struct CmpRecord {
    bool phaseLock = true, parityKnown = true, codeLock = true, halfCycle = false;
    uint32_t system = 0;      // 0 GPS, 1 GLONASS, 2 SBAS, 3 Galileo, 4 BeiDou
    uint32_t signalType = 0;  // 0 L1 C/A, 9 L2 P codeless, 5 L2 P, 17 L2C, 4 L1 P
    int32_t dopplerUnits = 0;  // 1/256 Hz, 28 bits signed
    uint64_t psrUnits = 0;     // 1/128 m, 36 bits
    int32_t adrUnits = 0;      // 1/256 cycles
    uint8_t prn = 1;
    uint32_t lockUnits = 0;    // 1/32 s, 21 bits
    uint32_t cn0 = 25;         // dB-Hz - 20, 5 bits

    Bytes Encode() const {
        uint8_t r[24] = {};
        const uint32_t status = (phaseLock ? 1u << 10 : 0) | (parityKnown ? 1u << 11 : 0) | (codeLock ? 1u << 12 : 0) |
                                (system & 7u) << 16 | (signalType & 0x1Fu) << 21 | (halfCycle ? 1u << 28 : 0);
        auto put32 = [&r](int at, uint32_t v) {
            for (int i = 0; i < 4; ++i) r[at + i] = uint8_t(v >> (8 * i));
        };
        put32(0, status);
        // Doppler in bits 0-27 of bytes 4-7, the low 4 bits of the pseudorange
        // in bits 28-31, the rest of the pseudorange in bytes 8-11.
        const uint64_t word = (uint64_t(uint32_t(dopplerUnits) & 0x0FFFFFFFu)) | (psrUnits << 28);
        for (int i = 0; i < 8; ++i) r[4 + i] = uint8_t(word >> (8 * i));
        put32(12, uint32_t(adrUnits));
        r[16] = 0x00;  // standard deviations
        r[17] = prn;
        // Lock time in bits 0-20, C/N0 in bits 21-25 of bytes 18-21.
        put32(18, (lockUnits & 0x1FFFFFu) | (cn0 & 0x1Fu) << 21);
        return Bytes(r, r + 24);
    }
};

inline Bytes RangeCmp(const std::vector<CmpRecord>& records) {
    Body b;
    b.U32(uint32_t(records.size()));
    for (const CmpRecord& r : records) b.Raw(r.Encode());
    return b.b;
}

// GPSEPHEM body (224 bytes) with the fields the tests look at.
inline Bytes GpsEphem(uint32_t prn, uint32_t iode, uint32_t week, double toe, double sqrtAOrA = 26560000.0) {
    Body b;
    b.U32(prn).F64(toe)            // PRN, tow
        .U32(0)                    // health
        .U32(iode).U32(iode)       // IODE1, IODE2
        .U32(week).U32(week)       // week, z week
        .F64(toe)                  // toe
        .F64(sqrtAOrA)             // A
        .F64(4.5e-9).F64(1.25)     // delta n, M0
        .F64(0.01).F64(-1.5)       // e, omega
        .F64(1e-6).F64(2e-6)       // cuc, cus
        .F64(200.0).F64(-30.0)     // crc, crs
        .F64(3e-8).F64(-4e-8)      // cic, cis
        .F64(0.96).F64(1e-10)      // i0, IDOT
        .F64(-2.0).F64(-8e-9)      // omega 0, omega dot
        .U32(iode)                 // IODC
        .F64(toe)                  // toc
        .F64(-1.1e-8)              // tgd
        .F64(1e-4).F64(2e-12).F64(0.0)  // af0, af1, af2
        .U32(0)                    // anti-spoofing
        .F64(0.0).F64(2.0);        // N, URA
    return b.b;
}

}  // namespace novatel_fixtures
