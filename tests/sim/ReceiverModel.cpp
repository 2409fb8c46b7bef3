#include "tests/sim/ReceiverModel.h"

#include "platform/Time.h"
#include "tests/sim/SimDeviceSettings.h"

#include <algorithm>
#include <cstdlib>

namespace sim {

namespace {

// Copies a text into its fixed place, cut to the place and zero padded.
void PutText(uint8_t* at, size_t width, const std::string& text) {
    std::fill(at, at + width, uint8_t(0));
    std::copy_n(text.begin(), std::min(width, text.size()), at);
}

// A counted text: one length byte, then at most width characters in a place
// of width bytes.
void PutCounted(std::vector<uint8_t>& d, size_t at, size_t width, const std::string& text) {
    const size_t n = std::min(width, text.size());
    d[at] = uint8_t(n);
    std::copy_n(text.begin(), n, d.begin() + long(at) + 1);
}

// User name and password as the modem sends them: j, user, 0, password.
void PutLogin(std::vector<uint8_t>& d, const std::string& user, const std::string& password) {
    const std::string u = user.substr(0, std::min<size_t>(55, user.find('\0')));
    const std::string p = password.substr(0, std::min<size_t>(55, password.find('\0')));
    d.push_back(uint8_t(u.size() + 1 + p.size()));
    d.insert(d.end(), u.begin(), u.end());
    d.push_back(0);
    d.insert(d.end(), p.begin(), p.end());
}

constexpr char kClosingText[] = "Close the receiver!\r\n\x83\r\n";  // 24 bytes

}  // namespace

std::array<uint8_t, 128> DeviceInfo::Record() const {
    std::array<uint8_t, 128> r{};
    PutText(&r[0], 4, model);
    PutText(&r[5], 6, serialNumber);
    PutText(&r[12], 10, productionDate);
    r[40] = outputMode;
    r[42] = recordType;
    r[43] = recordPeriod;
    r[44] = positionRate;
    r[49] = recordInterval;
    r[50] = recordElevMask;
    PutText(&r[52], 4, firmware);
    r[56] = rtkElevMask;
    r[58] = memorySize;
    r[59] = radioModule;
    r[62] = transmitPort;
    r[63] = transmitFormat;
    r[96] = startType;
    r[97] = uint8_t(autoBaseDist);
    r[98] = uint8_t(autoBaseDist >> 8);
    PutText(&r[112], 10, partNumber);
    r[124] = otaBaudSet;
    r[126] = radioModuleExt;
    return r;
}

// Offsets below are module data offsets (packet offset minus 7).
std::vector<uint8_t> ModemParams::OlderLayout() const {
    std::vector<uint8_t> d(97, 0);
    std::copy(address.begin(), address.end(), d.begin());  // server address, first byte first
    d[4] = uint8_t(port >> 8);                             // port, high byte first
    d[5] = uint8_t(port);
    d[6] = uint8_t(protocol);
    PutCounted(d, 16, 15, dialNumber);
    PutCounted(d, 32, 31, apn);
    d[64] = online;
    PutCounted(d, 65, 31, baseId);
    PutLogin(d, user, password);  // from offset 97
    return d;
}

std::vector<uint8_t> ModemParams::NewerLayout() const {
    std::vector<uint8_t> d(125, 0);
    PutCounted(d, 0, 31, host);
    d[32] = uint8_t(port >> 8);
    d[33] = uint8_t(port);
    d[34] = uint8_t(protocol);
    PutCounted(d, 44, 15, dialNumber);
    PutCounted(d, 60, 31, apn);
    d[92] = online;
    PutCounted(d, 93, 31, baseId);
    PutLogin(d, user, password);  // from offset 125
    return d;
}

std::vector<uint8_t> DefaultBoardOutput() {
    const std::string body = "GPGGA,023042.00,3959.80000,N,11623.50000,E,1,08,1.0,45.5,M,-8.5,M,,";
    uint8_t x = 0;
    for (char c : body) x ^= uint8_t(c);
    static const char digits[] = "0123456789ABCDEF";
    const std::string line = "$" + body + "*" + digits[x >> 4] + digits[x & 15] + "\r\n";
    return std::vector<uint8_t>(line.begin(), line.end());
}

SimSettings::SimSettings() : periodicPayload(DefaultBoardOutput()) {}

namespace {

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

constexpr char kNewSourceList[] =
    "SOURCETABLE 200 OK\r\n"
    "STR;RTCM32;RTCM32;RTCM 3.2;1004(1),1012(1);2;GPS+GLO;SIM;CHN;31.17;121.40;1;0;sim;none;B;N;9600;\r\n"
    "ENDSOURCETABLE\r\n";

}  // namespace

SimSettings NewProtocolSettings() {
    SimSettings s;
    s.protocol = Protocol::New;
    s.deviceInfo.model = "Q50A";  // no old board's model code
    s.newParams[772] = Join({BE32(1), BEFloat(72.0f), BEFloat(68.0f)});
    s.newParams[774] = Join({BE32(3), {1, 2}, {0, 0, 0, 7}, FixedText("SIMQ50A000001", 13), BE32(1), BE32(2), BE32(3)});
    s.newParams[775] = Join({FixedText("Q50A-FW-1.2.3", 50), FixedText("Q50A-BOOT-0.9", 50)});
    s.newParams[5132] = Join({BE32(23), {3}});
    const std::string list = kNewSourceList;
    s.newParams[4358] = Join({BE32(uint32_t(list.size())), std::vector<uint8_t>(list.begin(), list.end())});
    // The network link: caster 192.168.1.10 port 2101 by its address (no
    // host text; SetNetLinkHost gives it a host name), an NTRIP client
    // (server type 1), not opened by itself, mount point RTCM32, account
    // surveyor / secret.
    s.newParams[4355] = Join({{192, 168, 1, 10}, BE16(2101), {0}, FixedText("", 50)});
    s.newParams[4356] = BE16(1);
    s.newParams[4361] = {0};
    s.newParams[4362] = FixedText("RTCM32", 20);
    s.newParams[4363] = Join({FixedText("surveyor", 50), FixedText("secret", 20)});
    // eBubble: state 1, word 2, angles -10, 20 and 30, and 0.5.
    s.newParams[1041] = Join({{1}, BE32(2), BE16(uint16_t(-10)), BE16(20), BE16(30), BEFloat(0.5f)});
    return s;
}

void SetNetLinkHost(SimSettings& s, const std::string& host, uint16_t port) {
    s.newParams[4355] = Join({{0, 0, 0, 0}, BE16(port), {uint8_t(host.empty() ? 0 : 1)}, FixedText(host, 50)});
}

bool ReceivedCommand::Is(std::string_view l, std::initializer_list<uint8_t> p) const {
    return !linkMessage && letters == l && std::equal(payload.begin(), payload.end(), p.begin(), p.end());
}

const NewItem* ReceivedCommand::Item(uint16_t id) const {
    if (!linkMessage) return nullptr;
    for (const auto& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

std::string ReceivedCommand::Describe() const {
    if (linkMessage) {
        std::string s = "NEW " + std::to_string(commandId) + " op " + std::to_string(operation) + ":";
        for (const auto& item : items) {
            const auto id = BE16(item.id);
            s += " " + Hex(id.data(), 2) + "=" + Hex(item.value);
        }
        return s;
    }
    std::string s = letters + " " + Hex(&head, 1);
    if (!payload.empty()) s += " " + Hex(payload);
    return s;
}

ReceiverModel::ReceiverModel(SimSettings settings) : settings_(std::move(settings)) {}

void ReceiverModel::PowerOn() {
    status_.poweredOff = false;
    status_.mode = WorkMode::Normal;
}

std::vector<uint8_t> ReceiverModel::Shape(std::vector<uint8_t> reply) {
    if (reply.empty()) return reply;
    switch (settings_.behaviour) {
        case Behaviour::Answer:
            ++status_.repliesSent;
            return reply;
        case Behaviour::Garbage:
            ++status_.repliesSent;
            return noise_.Take(reply.size());
        case Behaviour::Silent:
            break;
    }
    return {};
}

std::vector<uint8_t> ReceiverModel::Receive(const uint8_t* data, size_t n, uint32_t lineBaud) {
    std::vector<uint8_t> out;
    if (!data || n == 0) return out;
    status_.lineBaud = lineBaud;
    if (lineBaud != settings_.baud) {
        // The receiver's UART sees only noise: nothing is understood, and a
        // frame begun at the wrong speed cannot be finished at the right one.
        status_.mismatchedBytes += n;
        cutter_.Clear();
        if (settings_.onBaudMismatch == MismatchReply::Garbage && settings_.behaviour != Behaviour::Silent &&
            !status_.poweredOff)
            out = noise_.Take(n);
        return out;
    }
    if (settings_.protocol == Protocol::New) {
        mixed_.Append(data, n);
        return ReceiveMixed(lineBaud);
    }
    cutter_.Append(data, n);
    for (;;) {
        Frame frame;
        uint8_t byte = 0;
        bool bad = false;
        const auto r = cutter_.Next(&frame, &byte, &bad);
        if (r == FrameCutter::Result::NeedMore) break;
        if (r == FrameCutter::Result::Garbage) {
            if (bad) ++status_.badFrames;
            if (status_.mode == WorkMode::PassThrough) {
                status_.passThroughBytes.push_back(byte);
            } else if (status_.ownBoardOpen) {
                for (std::string& line : ownBoard_.Append({byte})) status_.ownBoardLines.push_back(std::move(line));
            } else {
                ++status_.garbageBytes;
            }
            continue;
        }
        ReceivedCommand record;
        record.letters.assign(frame.letters, 2);
        record.head = frame.head;
        record.payload = frame.payload;
        record.lineBaud = lineBaud;
        record.tick = platform::TickCount();
        auto reply = Handle(frame, record);
        Record(std::move(record), std::move(reply), out);
    }
    return out;
}

void ReceiverModel::Record(ReceivedCommand record, std::vector<uint8_t> reply, std::vector<uint8_t>& out) {
    commands_.push_back(std::move(record));
    reply = Shape(std::move(reply));
    out.insert(out.end(), reply.begin(), reply.end());
}

std::vector<uint8_t> ReceiverModel::ReceiveMixed(uint32_t lineBaud) {
    std::vector<uint8_t> out;
    for (;;) {
        Frame frame;
        LinkFrame link;
        uint8_t byte = 0;
        bool bad = false;
        const auto r = mixed_.Next(&frame, &link, &byte, &bad);
        if (r == MixedCutter::Result::NeedMore) break;
        if (r == MixedCutter::Result::Garbage) {
            if (bad) ++status_.badFrames;
            if (status_.mode == WorkMode::PassThrough)
                status_.passThroughBytes.push_back(byte);
            else
                ++status_.garbageBytes;
            continue;
        }
        if (r == MixedCutter::Result::OldFrame) {
            ReceivedCommand record;
            record.letters.assign(frame.letters, 2);
            record.head = frame.head;
            record.payload = frame.payload;
            record.lineBaud = lineBaud;
            record.tick = platform::TickCount();
            auto reply = Handle(frame, record);
            Record(std::move(record), std::move(reply), out);
            continue;
        }
        messages_.Append(link);
        NewMessage message;
        while (messages_.Next(&message)) {
            ReceivedCommand record;
            record.linkMessage = true;
            record.commandId = message.commandId;
            record.operation = message.operation;
            record.items = message.items;
            record.lineBaud = lineBaud;
            record.tick = platform::TickCount();
            Record(std::move(record), settings_.answersLinkMessages ? HandleMessage(message) : std::vector<uint8_t>{},
                   out);
        }
        status_.skippedMessageBytes = messages_.SkippedBytes();
    }
    return out;
}

std::vector<uint8_t> ReceiverModel::SendMessage(uint32_t commandId, uint16_t operation,
                                                const std::vector<NewItem>& items) {
    return PackLinkFrames(PackMessage(commandId, operation, items), settings_.linkStream, linkSequence_);
}

std::vector<uint8_t> ReceiverModel::HandleMessage(const NewMessage& m) {
    constexpr uint16_t kComDirect = 264;
    constexpr uint16_t kPowerOff = 771;
    constexpr uint16_t kPassThrough = 1;
    const std::vector<NewItem> accepted = {NewItem{kItemResponse, BE16(1)}};
    if (status_.poweredOff) return {};
    // The com-direct switch is the one item obeyed in pass-through.
    if (const NewItem* direct = m.Find(kComDirect); direct && direct->value.size() == 2) {
        const uint16_t mode = uint16_t(direct->value[0] << 8 | direct->value[1]);
        status_.mode = mode == kPassThrough ? WorkMode::PassThrough : WorkMode::Normal;
        return SendMessage(m.commandId, m.operation, accepted);
    }
    if (status_.mode == WorkMode::PassThrough) return {};

    // Settings and actions go by even operation codes, queries by odd ones.
    if (m.operation % 2 == 0) {
        for (const auto& item : m.items)
            if (!item.value.empty()) settings_.newParams[item.id] = item.value;
        auto reply = SendMessage(m.commandId, m.operation, accepted);
        if (m.Find(kPowerOff)) {
            status_.poweredOff = true;
            status_.periodicOn = false;
        }
        return reply;
    }
    std::vector<NewItem> values;
    for (const auto& item : m.items) {
        if (settings_.unansweredItems.count(item.id)) continue;
        const auto it = settings_.newParams.find(item.id);
        if (it != settings_.newParams.end()) values.push_back(NewItem{item.id, it->second});
    }
    if (values.empty()) return {};
    return SendMessage(m.commandId, m.operation, values);
}

std::vector<uint8_t> ReceiverModel::Handle(const Frame& frame, ReceivedCommand& record) {
    const std::string_view letters(frame.letters, 2);
    const auto& p = frame.payload;
    if (letters == "VS") {
        if (auto req = ParseModuleRequest(p)) {
            record.moduleId = req->id;
            record.moduleData = req->data;
        }
    }
    // The mode switch is the one command the receiver obeys in pass-through.
    if (letters == "ST" && !p.empty() && !status_.poweredOff) {
        if (p[0] == 1)
            status_.mode = WorkMode::PassThrough;
        else if (p[0] == 0)
            status_.mode = WorkMode::Normal;
        return {};
    }
    if (status_.poweredOff || status_.mode == WorkMode::PassThrough) return {};

    if (letters == "SI") {
        const auto r = settings_.deviceInfo.Record();
        return PackFrames(frame.letters, frame.head, std::vector<uint8_t>(r.begin(), r.end()),
                          settings_.deviceInfoChunk);
    }
    if (letters == "SD") return PackFrame("SD", frame.head, settings_.battery);
    if (letters == "RG") {
        // The new-protocol receiver has no periodic output of this kind.
        if (settings_.protocol == Protocol::New) return {};
        status_.periodicOn = !p.empty() && p[0] != 0;
        return {};
    }
    if (letters == "SG") {
        if (p.size() != 1 || p[0] != 0) return {};
        status_.poweredOff = true;
        status_.periodicOn = false;
        return PackFrame("ST", frame.head, reinterpret_cast<const uint8_t*>(kClosingText), sizeof kClosingText - 1);
    }
    if (letters == "RZ") return HandleBoardRelay(frame);
    if (letters == "IM" && p.size() == 1 && (p[0] == 1 || p[0] == 2)) {
        status_.ownBoardOpen = p[0] == 1;
        return {};
    }
    if (std::vector<uint8_t> reply; HandleStaticPointFrame(settings_.staticPoint, frame, &reply)) return reply;
    if (HandleDeviceSetting(settings_.deviceInfo, frame)) return {};
    // The modem hands the caster's source table back after the list request.
    if (letters == "VM") return SourceTableFrames(settings_.modemLink, frame.head);
    if (letters == "VS" && record.moduleId >= 0)
        return HandleModule(ModuleRequest{uint8_t(record.moduleId), record.moduleData}, frame.head);
    return {};
}

std::vector<uint8_t> ReceiverModel::HandleModule(const ModuleRequest& req, uint8_t head) {
    // A query whose reply is lost (its setting has an id of its own).
    if (settings_.unansweredModules.count(req.id)) return {};
    std::vector<uint8_t> data;
    switch (req.id) {
        case 95: {  // module version: four characters "major.minor"
            data.assign(4, 0);
            PutText(data.data(), 4, settings_.modemVersion);
            break;
        }
        case 89:
            data = settings_.modem.OlderLayout();
            break;
        case 115:
            data = settings_.modem.NewerLayout();
            break;
        default:
            if (HandleModemLinkRequest(settings_.modem, settings_.modemLink, req, &data)) break;
            if (!HandleRadioRequest(settings_.radio, req, &data)) return {};
            break;
    }
    return PackFrames("VI", head, PackModuleReply(req.id, data), kMaxPayload);
}

// Board commands arrive in pieces; each finished line is recorded, the GPS
// cutoff line sets the board's elevation cutoff, and the one query the
// simulated board answers, the PSRDOP log request, gets its log back the way
// the receiver returns board output.
std::vector<uint8_t> ReceiverModel::HandleBoardRelay(const Frame& frame) {
    std::vector<uint8_t> out;
    for (std::string& line : relay_.Append(frame.payload)) {
        if (line.rfind("ecutoff ", 0) == 0) {
            settings_.elevationCutoff = std::strtof(line.c_str() + 8, nullptr);
        } else if (line.rfind("log psrdopb", 0) == 0) {
            const auto reply = PackFrame("RG", frame.head, NovAtelPsrDopLog(settings_.elevationCutoff));
            out.insert(out.end(), reply.begin(), reply.end());
        }
        status_.boardLines.push_back(std::move(line));
    }
    return out;
}

bool ReceiverModel::WantsPeriodic() const {
    return status_.periodicOn && !status_.poweredOff && settings_.behaviour != Behaviour::Silent &&
           !settings_.periodicPayload.empty();
}

std::vector<uint8_t> ReceiverModel::PeriodicOutput(uint32_t lineBaud) {
    if (!WantsPeriodic()) return {};
    std::vector<uint8_t> out;
    if (status_.mode == WorkMode::PassThrough)
        out = settings_.periodicPayload;  // the board speaks for itself
    else
        out = PackFrames("RG", kHeadSerial, settings_.periodicPayload, kMaxPayload);
    if (status_.mode == WorkMode::Normal && !settings_.satelliteRecord.empty()) {
        const auto sats = PackSatelliteData(kHeadSerial, settings_.satelliteRecord);
        out.insert(out.end(), sats.begin(), sats.end());
    }
    if (lineBaud != settings_.baud)
        return settings_.onBaudMismatch == MismatchReply::Garbage ? noise_.Take(out.size())
                                                                  : std::vector<uint8_t>{};
    return Shape(std::move(out));
}

}  // namespace sim
