#pragma once

// GPS time and the legacy GPS navigation message: bit fields of a subframe,
// conversions between calendar epochs, GPS week and seconds and UTC, and the
// decoders of subframes 1, 2 and 3 (into one ephemeris record) and of the
// ionosphere and UTC page of subframe 4. Used by the board families that
// report raw subframes or GPS week and seconds.

#include "protocol/boards/Em_BoardTypes.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// Seconds in a GPS week.
inline constexpr int32_t kSecondsPerWeek = 604800;

// The `len` bits (0..32) from bit `pos` (bit 0 = most significant bit of
// buf[0]). The caller makes sure those bits lie in the buffer.
uint32_t Get_BitsUnsigned(const uint8_t* buf, int pos, int len);
// The same, sign-extended from bit len-1 for len below 32.
int32_t Get_BitsSigned(const uint8_t* buf, int pos, int len);

// {year, month, day, hour, minute, second} in UTC to a time value: seconds
// since 1970-01-01 00:00:00 UTC and the fraction of the second. The
// conversion does not depend on the machine's time zone.
GpsTime Epoch_ToTime(const double ep[6]);

// The GPS time origin (1980-01-06) plus `week` weeks and `sec` seconds; a
// `sec` outside +-1e9 (or not a number) counts as 0.
GpsTime GpsTime_FromWeekSec(int32_t week, double sec);
// Seconds of week of `t`, and its week since the origin when `week` is given.
double GpsTime_ToWeekSec(GpsTime t, int32_t* week);

// The wall clock (platform::UtcNow, which tests can replace) as a time value.
GpsTime Time_Now();
// UTC to GPS time by the leap-second table (unchanged before 1981-07-01).
GpsTime Utc_ToGpsTime(GpsTime t);
// Resolves a 10-bit (or 8-bit) week number to the full week nearest the
// current GPS week (taken as at least 1560).
int32_t Adjust_GpsWeek(int32_t week);

// Decoders of one 30-byte subframe (ten 24-bit words, parity removed). The
// subframes of one satellite go into the same record in the order 1, 2, 3.
int Decode_GpsSubframe1(const uint8_t* sf, em_eph_t* eph);  // 1
int Decode_GpsSubframe2(const uint8_t* sf, em_eph_t* eph);  // 2
// 3, or 0 when the subframe's issue of data differs from the record's IODE or
// from the low 8 bits of its IODC (its orbital fields are written all the same).
int Decode_GpsSubframe3(const uint8_t* sf, em_eph_t* eph);
// Page 18 of subframe 4: ionosphere (alpha 0-3, beta 0-3), UTC {A0, A1, tot,
// WNt} and leap seconds; 9, or 0 (nothing written) for another page.
int Decode_GpsIonoUtc(const uint8_t* sf, double ion[8], double utc[4], int32_t* leaps);

// GPS week and seconds of week to the calendar (GPS time scale, no leap
// seconds). Each output is written only when its pointer is given.
void GpsWeekTow_ToCalendar(uint32_t week, uint32_t secondsOfWeek, int32_t* year, int32_t* month, int32_t* day,
                           int32_t* hour, int32_t* minute, double* second);

// Latitude, longitude (radians) and ellipsoidal height (m) on WGS-84 to Earth-
// centred X, Y, Z in metres. A null output writes nothing.
void Geodetic_ToEcef(double* xyz, double longitude, double latitude, double height);

}  // namespace FJParse
}  // namespace Fjarnis2011
