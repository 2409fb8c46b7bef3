#include "protocol/boards/Em_RepParser_Hemis.h"

#include "platform/Endian.h"

#include <bit>

namespace Fjarnis2011 {
namespace FJParse {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
// Satellite numbers the channel report carries for GPS (and the first SBAS).
constexpr int kMaxChannelSat = 37;
constexpr uint8_t kUsedInSolution = 0x40;  // channel status bit 6
constexpr uint32_t kGpsPendingBit = 8u;

}  // namespace

unsigned Em_RepParser_Hemis::Decode_BinFrame(const uint8_t* data, int id, unsigned length) {
    using namespace HemisBin;
    if (!data || id == 0 || length < kHeaderSize) return 0;
    const unsigned dataLength = platform::ReadLE16(data + kDataLengthAt);
    if (dataLength > length - kHeaderSize) return 0;
    const uint8_t* d = data + kHeaderSize;
    unsigned need = 0;
    if (id == 1) need = kBlock1Data;
    if (id == 2) need = kBlock2Data;
    if (id == 99) need = kBlock99Data;
    if (dataLength < need) return 0;

    ChangedMask = 0;
    switch (id) {
    case 1:
        DecodePosition(d);
        break;
    case 2:
        DecodeSatMasks(d);
        break;
    case 99:
        DecodeChannels(d);
        break;
    default:
        // Other blocks (96, the observations that initialise outputs asks
        // for, among them) are taken without decoding.
        break;
    }
    return 1;
}

void Em_RepParser_Hemis::DecodePosition(const uint8_t* d) {
    satsUsed = d[1];
    position.latitude = platform::ReadLEDouble(d + 12) * kDegToRad;
    position.longitude = platform::ReadLEDouble(d + 20) * kDegToRad;
    position.height = double(platform::ReadLEFloat(d + 28));
    ChangedMask |= ChangeBits::Position;
}

void Em_RepParser_Hemis::DecodeSatMasks(const uint8_t* d) {
    satLists[SATLIST_GPS].count = uint32_t(std::popcount(platform::ReadLE32(d)));
    satsUsed = std::popcount(platform::ReadLE32(d + 4));
    dops.hdop = platform::ReadLE16(d + 10) * 0.1;
    dops.vdop = platform::ReadLE16(d + 12) * 0.1;
}

void Em_RepParser_Hemis::DecodeChannels(const uint8_t* d) {
    using namespace HemisBin;
    channels.Clear();
    for (unsigned c = 0; c < kChannels; ++c) {
        const uint8_t* r = d + kChannelAt + c * kChannelSize;
        const int sat = r[1];
        if (sat < 1 || sat > kMaxChannelSat) continue;
        SATLLITE_STR& e = channels.sats[channels.count++];
        e.number = sat;
        e.elevation = r[8];
        e.azimuth = uint16_t(r[9] * 2);
        e.used = (r[2] & kUsedInSolution) ? 1u : 0u;
    }
    if (gpsHold != 0) {
        // The satellites-in-view cycle is not complete yet: nothing to publish.
        if (!(gpsPending & kGpsPendingBit)) return;
        SatList& gps = satLists[SATLIST_GPS];
        const uint32_t n = gps.count < SatList::kCapacity ? gps.count : SatList::kCapacity;
        for (uint32_t i = 0; i < n; ++i)
            for (uint32_t k = 0; k < channels.count; ++k)
                if (channels.sats[k].number == gps.sats[i].number) {
                    gps.sats[i].used = channels.sats[k].used;
                    break;
                }
        gpsPending = 0;
    }
    ChangedMask |= ChangeBits::GpsList;
}

}  // namespace FJParse
}  // namespace Fjarnis2011
