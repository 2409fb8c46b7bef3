#pragma once

// Small frames of every kind the common format cuts, written out byte by byte.

#include "protocol/Em_Checksum.h"

#include <cstdint>
#include <string>
#include <vector>

namespace frame_fixtures {

using Bytes = std::vector<uint8_t>;

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// NMEA with and without a checksum, of each talker.
inline const Bytes kGga = Text("$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n");
inline const Bytes kTxtNoSum = Text("$GPTXT,01,01,02,ANTSTATUS=OK\r\n");
inline const Bytes kGpGsv = Text("$GPGSV,1,1,00*79\r\n");
inline const Bytes kGlGsv = Text("$GLGSV,1,1,01,65,10,100,40*53\r\n");
inline const Bytes kGnGga = Text("$GNGGA,1,2*4B\r\n");
inline const Bytes kBdGsv = Text("$BDGSV,1,1,00*68\r\n");

// Trimble packet: STX, status, type 0x40, length 3, three data bytes,
// checksum (0x00 + 0x40 + 0x03 + 1 + 2 + 3 = 0x49), ETX.
inline const Bytes kStx = {0x02, 0x00, 0x40, 0x03, 0x01, 0x02, 0x03, 0x49, 0x03};
// CMR packet as a NovAtel board passes it on: type 0x93, length 2, 0x93 + 2 +
// 0x10 + 0x20 = 0xC5.
inline const Bytes kCmr = {0x02, 0x00, 0x93, 0x02, 0x10, 0x20, 0xC5, 0x03};

// RTCM 3 message 1005 from testglo.rtcm3: D3, six zero bits and length 0x013,
// 19 payload bytes, CRC-24Q.
inline const Bytes kRtcm1005 = {0xD3, 0x00, 0x13,                                // preamble, length 19
                                0x3E, 0xD0, 0x00, 0x02, 0x36, 0xFD, 0xB8, 0x0D,  // 1005, station 0, ...
                                0xDE, 0x08, 0x00, 0x5B, 0x2B, 0xC1, 0x08, 0xA7,
                                0xB9, 0x8D, 0x3D,                                // end of payload
                                0xD8, 0xAB, 0x37};                               // CRC-24Q

// An RTCM 3 frame of `payload` bytes (up to 1023), CRC appended.
inline Bytes Rtcm3(int payload) {
    Bytes f = {0xD3, uint8_t(payload >> 8), uint8_t(payload & 0xFF)};
    for (int i = 0; i < payload; ++i) f.push_back(uint8_t(i * 7));
    const uint32_t crc = Fjarnis2011::FJParse::Calc_Crc24q(f.data(), int(f.size()));
    f.push_back(uint8_t(crc >> 16));
    f.push_back(uint8_t(crc >> 8));
    f.push_back(uint8_t(crc));
    return f;
}

// A NovAtel binary log with `body` message bytes and its CRC-32.
inline Bytes NovAtel(int body, uint8_t headerLength = 0x1C) {
    Bytes f = {0xAA, 0x44, 0x12,                   // sync
               headerLength,                       // header length (28)
               0x2A, 0x00,                         // message id 42 (BESTPOS)
               0x00, 0x20,                         // message type, port
               uint8_t(body), uint8_t(body >> 8),  // message length
               0x00, 0x00, 0x00, 0x00,             // sequence, idle, time status
               0x6C, 0x07,                         // GPS week 1900
               0x00, 0x00, 0x00, 0x00,             // milliseconds
               0x00, 0x00, 0x00, 0x00,             // receiver status
               0x00, 0x00, 0x00, 0x00};            // reserved, software version
    for (int i = 0; i < body; ++i) f.push_back(uint8_t(i));
    const uint32_t crc = Fjarnis2011::FJParse::Calc_Crc32(f.data(), int(f.size()));
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(crc >> (8 * i)));
    return f;
}

// Hemisphere $BIN block 1 with four data bytes 01 02 03 04: sum 0x000A.
inline const Bytes kBin = {'$', 'B', 'I', 'N',      // head
                           0x01, 0x00,              // block id 1
                           0x04, 0x00,              // data length 4
                           0x01, 0x02, 0x03, 0x04,  // data
                           0x0A, 0x00,              // 16-bit sum of the data
                           '\r', '\n'};

inline const Bytes kReply = Text("$>JI,12345,1,7,09072026,01/01/1900,01/01/3000,6.1Pd,46\r\n");

}  // namespace frame_fixtures
