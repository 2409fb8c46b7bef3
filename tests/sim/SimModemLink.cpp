#include "tests/sim/SimModemLink.h"

#include "tests/sim/ReceiverModel.h"

#include <algorithm>

namespace sim {

namespace {

// The relay protocol's letter on the modem for each network protocol code.
char ProtocolLetter(uint8_t code) {
    switch (code) {
        case 0: return 'U';
        case 1: return 'T';
        case 2: return 'V';
        case 3: return 'S';
        default: return '?';
    }
}

}  // namespace

std::vector<uint8_t> SimModemLink::Login(const std::string& mount, const std::string& user,
                                         const std::string& password, char mode) {
    std::vector<uint8_t> out(mount.begin(), mount.end());
    out.push_back(0);
    out.push_back(uint8_t(mode));
    out.push_back(0);
    out.insert(out.end(), user.begin(), user.end());
    out.push_back(0);
    out.insert(out.end(), password.begin(), password.end());
    out.push_back(0);
    return out;
}

bool HandleModemLinkRequest(ModemParams& params, SimModemLink& link, const ModuleRequest& request,
                            std::vector<uint8_t>* reply) {
    const std::vector<uint8_t>& d = request.data;
    switch (request.id) {
        case 99: *reply = {link.status}; return true;
        case 104: *reply = {0, link.error}; return true;
        case 106: *reply = {link.loginMode}; return true;
        case 108: *reply = link.login; return true;
        case 105:
            if (!d.empty()) link.loginMode = d[0];
            return false;
        case 107: link.login = d; return false;
        case 93:
            if (!d.empty()) params.online = d[0];
            return false;
        case 94: params.baseId.assign(d.begin(), d.end()); return false;
        case 86: params.apn.assign(d.begin(), d.end()); return false;
        case 88: params.dialNumber.assign(d.begin(), d.end()); return false;
        case 87: {  // user, 00, password
            const auto nul = std::find(d.begin(), d.end(), uint8_t(0));
            if (nul == d.end()) return false;
            params.user.assign(d.begin(), nul);
            params.password.assign(nul + 1, d.end());
            return false;
        }
        case 82:  // address[4], port high, port low, protocol
            if (d.size() == 7) {
                std::copy(d.begin(), d.begin() + 4, params.address.begin());
                params.port = uint16_t(d[4] << 8 | d[5]);
                params.protocol = ProtocolLetter(d[6]);
            }
            return false;
        case 114: {  // host text, 00, port high, port low, protocol
            const auto nul = std::find(d.begin(), d.end(), uint8_t(0));
            if (nul == d.end() || d.end() - nul != 4) return false;
            params.host.assign(d.begin(), nul);
            params.port = uint16_t(nul[1] << 8 | nul[2]);
            params.protocol = ProtocolLetter(nul[3]);
            return false;
        }
        default: return false;
    }
}

std::vector<uint8_t> SourceTableFrames(const SimModemLink& link, uint8_t head) {
    std::vector<uint8_t> out;
    const std::string& t = link.sourceTable;
    size_t at = 0;
    auto piece = [&](size_t n) {
        n = std::min({n, t.size() - at, kMaxPayload});
        const auto f = PackFrame("VM", head, reinterpret_cast<const uint8_t*>(t.data()) + at, n);
        out.insert(out.end(), f.begin(), f.end());
        at += n;
    };
    for (size_t cut : link.tableCuts)
        if (at < t.size() && cut > 0) piece(cut);
    while (at < t.size()) piece(kMaxPayload);
    return out;
}

}  // namespace sim
