#pragma once

#include "tests/sim/SimFrames.h"

#include <cstdint>
#include <string>
#include <vector>

// The GNSS board inside the simulated receiver, as far as the receiver's own
// protocol carries it: the board commands the receiver relays from "RZ"
// frames, the board's binary logs the receiver hands back in "RG" frames, and
// the satellite data the receiver itself reports in "RH" frames. Built from
// the wire layouts with the simulator's own code.
namespace sim {

// A NovAtel binary log: sync AA 44 12, a 28-byte header (message id, body
// length, week 1600, zero milliseconds), the body and the CRC-32 of all of it
// (reflected polynomial 0xEDB88320, initial value 0), low byte first.
std::vector<uint8_t> NovAtelLog(uint16_t messageId, const std::vector<uint8_t>& body);

// The PSRDOP log (id 174): GDOP, PDOP, HDOP, HTDOP, TDOP, the elevation
// cutoff in degrees (floats) and an empty satellite list.
std::vector<uint8_t> NovAtelPsrDopLog(float elevationCutoff);

// A satellite record in "RH" frames of 55 payload bytes; a shorter frame ends
// it, so a record of a multiple of 55 bytes gets an empty last frame.
std::vector<uint8_t> PackSatelliteData(uint8_t head, const std::vector<uint8_t>& record);

// Collects the relayed board command bytes of "RZ" frames into lines ending
// in CR LF.
class BoardRelay {
public:
    // Appends relayed bytes; returns the lines they completed (CR LF cut off).
    std::vector<std::string> Append(const std::vector<uint8_t>& bytes);

private:
    std::string pending_;
};

}  // namespace sim
