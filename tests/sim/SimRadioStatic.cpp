#include "tests/sim/SimRadioStatic.h"

#include <algorithm>
#include <cstring>

namespace sim {

bool HandleRadioRequest(SimRadio& radio, const ModuleRequest& request, std::vector<uint8_t>* reply) {
    const auto& d = request.data;
    const uint8_t first = d.empty() ? 0 : d[0];
    switch (request.id) {
        case 98:   // frequency query of module types 1 and 2: one code byte
            *reply = {radio.protocol, uint8_t(radio.channel)};
            return true;
        case 110:  // frequency query of module types 3 to 8: two code bytes
            *reply = {radio.protocol, uint8_t(radio.channel), uint8_t(radio.channel >> 8)};
            return true;
        case 118: *reply = {radio.power}; return true;
        case 121: *reply = {radio.baud}; return true;
        case 129: *reply = {radio.sensitivity}; return true;
        case 131: *reply = {radio.fec}; return true;
        case 137: *reply = {radio.spacing}; return true;
        case 145: {
            *reply = {radio.callsignOn, radio.callsignInterval};
            reply->insert(reply->end(), radio.callsign.begin(), radio.callsign.end());
            return true;
        }
        case 96: if (!d.empty()) radio.protocol = first; return false;
        case 97:
        case 109: if (d.size() >= 2) radio.channel = uint16_t(d[0] | (d[1] << 8)); return false;
        case 117: if (!d.empty()) radio.power = first; return false;
        case 120: if (!d.empty()) radio.baud = first; return false;
        case 128: if (!d.empty()) radio.sensitivity = first; return false;
        case 130: if (!d.empty()) radio.fec = first; return false;
        case 136: if (!d.empty()) radio.spacing = first; return false;
        case 144:
            if (d.size() >= 2) {
                radio.callsignOn = d[0];
                radio.callsignInterval = d[1];
                radio.callsign.assign(d.begin() + 2, d.end());
            }
            return false;
        default: return false;
    }
}

bool HandleStaticPointFrame(SimStaticPoint& point, const Frame& frame, std::vector<uint8_t>* reply) {
    const std::string_view letters(frame.letters, 2);
    const auto& p = frame.payload;
    if (letters == "FA") {
        // length k, k name bytes, height (float, low byte first), antenna, survey-to
        if (!p.empty() && p.size() == size_t(p[0]) + 7) {
            const size_t k = p[0];
            point.name.assign(p.begin() + 1, p.begin() + 1 + long(k));
            std::memcpy(&point.antennaHeight, &p[1 + k], 4);
            point.antennaCode = p[5 + k];
            point.surveyTo = p[6 + k];
        }
        return true;
    }
    if (letters != "FB") return false;
    const size_t k = std::min<size_t>(point.name.size(), 35);
    std::vector<uint8_t> payload{uint8_t(k)};
    payload.insert(payload.end(), point.name.begin(), point.name.begin() + long(k));
    uint8_t height[4];
    std::memcpy(height, &point.antennaHeight, 4);
    payload.insert(payload.end(), height, height + 4);
    payload.push_back(point.antennaCode);
    payload.push_back(point.surveyTo);
    *reply = PackFrame("FB", frame.head, payload);
    return true;
}

}  // namespace sim
