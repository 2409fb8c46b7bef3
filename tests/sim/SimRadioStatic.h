#pragma once

#include "tests/sim/SimFrames.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The receiver's internal UHF radio and its static-survey point as the
// simulated receiver keeps them: what the radio's query replies and the "FB"
// reply carry, changed by the matching set commands.
namespace sim {

struct SimRadio {
    uint8_t protocol = 5;      // first data byte of the frequency reply (radio protocol)
    uint16_t channel = 36810;  // frequency reply code, low byte first (36810 x 12.5 kHz = 460.125 MHz)
    uint8_t power = 3;         // 1..5
    uint8_t baud = 1;          // 0 9600, 1 4800, 2 19200
    uint8_t sensitivity = 1;   // 0..2
    uint8_t fec = 1;
    uint8_t spacing = 1;       // 0 12.5 kHz, 1 20 kHz, 2 25 kHz
    uint8_t callsignOn = 1;
    uint8_t callsignInterval = 10;  // minutes
    std::string callsign = "BX4ABC";  // at most 14 characters
};

struct SimStaticPoint {
    std::string name = "BM01";  // at most 35 characters
    float antennaHeight = 1.5f; // metres
    uint8_t antennaCode = 3;
    uint8_t surveyTo = 1;       // 1 vertical, 2 phase centre, 3 slant
};

// A module request meant for the radio. Queries give true with the reply's
// data in *reply; set commands change `radio` and give false (the radio does
// not answer them), as does any id that is not the radio's.
bool HandleRadioRequest(SimRadio& radio, const ModuleRequest& request, std::vector<uint8_t>* reply);

// "FA" stores the point and is not answered; "FB" is answered with the point
// in an "FB" frame. Any other frame: false.
bool HandleStaticPointFrame(SimStaticPoint& point, const Frame& frame, std::vector<uint8_t>* reply);

}  // namespace sim
