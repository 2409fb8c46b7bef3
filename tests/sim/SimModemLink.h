#pragma once

#include "tests/sim/SimFrames.h"

#include <cstdint>
#include <string>
#include <vector>

// The internal modem's link to a correction server as the simulated receiver
// keeps it: the modem's state and error code, the NTRIP login and its mode,
// and the caster's source table that the modem hands back in "VM" frames.
namespace sim {

struct ModemParams;

struct SimModemLink {
    uint8_t status = 0;     // answer to packet 99 (3: connected to the caster, 9: the link is the radio's)
    uint8_t error = 0;      // answer to packet 104 (data byte 1); 0 no error
    uint8_t loginMode = 0;  // answer to 106, set by 105
    // The NTRIP login as packet 107 carries it and 108 returns it: mount,
    // 00, mode ('M', 'm' or '-'), 00, user, 00, password, 00.
    std::vector<uint8_t> login = Login("RTCM32", "surveyor", "secret", '-');
    // The caster's source table, sent after the "VM" request in frames of
    // the lengths in tableCuts (the rest in one more frame); with no cuts,
    // in frames of at most 255 bytes. Empty: the modem never hands one back.
    std::string sourceTable;
    std::vector<size_t> tableCuts;

    static std::vector<uint8_t> Login(const std::string& mount, const std::string& user, const std::string& password,
                                      char mode);
};

// A module request meant for the modem link (99, 104, 105, 106, 107, 108 and
// the settings 82, 86 APN, 87 service user and password, 88 dial number, 93,
// 94, 114, which change `params`, so that the parameter replies 89 and 115
// bring back what was set). Queries give true with the reply's data in
// *reply; settings and unknown ids give false.
bool HandleModemLinkRequest(ModemParams& params, SimModemLink& link, const ModuleRequest& request,
                            std::vector<uint8_t>* reply);

// The "VM" request: the source table in "VM" frames with the request's head
// byte (nothing when there is no table).
std::vector<uint8_t> SourceTableFrames(const SimModemLink& link, uint8_t head);

}  // namespace sim
