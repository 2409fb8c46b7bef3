#include "program/ConfigFiles.h"

#include "platform/Numbers.h"
#include "program/CommonHelper.h"
#include "program/JSettings.h"
#include "program/SettingsSaveFailure.h"

#include <algorithm>
#include <climits>

namespace {

// Writes one array of defaults, "size" first.
template <typename Fill>
void WriteArray(JSettings& settings, const wchar_t* key, int32_t count, Fill fill) {
    settings.beginWriteArray(key, count);
    for (int32_t i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        fill(i);
    }
    settings.endArray();
}

std::wstring DecimalText(uint64_t v) {
    const std::string text = platform::FormatInt(v);
    return std::wstring(text.begin(), text.end());
}

int32_t ArrayCount(JSettings& settings, const wchar_t* key) {
    const int32_t count = settings.beginReadArray(key);
    settings.endArray();
    return count;
}

}  // namespace

// ---- defaults --------------------------------------------------------------

void WriteConfigDefaults(const std::wstring& path, const std::wstring& root,
                         const std::function<void(JSettings&)>& fill) {
    JSettings settings(path, root);
    fill(settings);
    if (settings.save() == 0) return;
    if (const int32_t unread = settings.readError())
        NoteSettingsFailure(SettingsReadFailure(unread));
    else
        NoteSettingsFailure(settings.saveError());
    // Once is enough: the store's end would only try, and fail, again.
    settings.setReadOnly(true);
}

bool ConfigLacks(const std::wstring& path, const std::wstring& root, const std::function<bool(JSettings&)>& lacking) {
    JSettings settings;
    settings.setReadOnly(true);
    return settings.open(path, root) != JSettings::kOk || lacking(settings);
}

void OpenConfigWithDefaults(JSettings& settings, const std::wstring& path, const std::wstring& root,
                            const std::function<bool(JSettings&)>& lacking,
                            const std::function<void(JSettings&)>& fill) {
    settings.setReadOnly(true);
    if (settings.open(path, root) != JSettings::kOk || lacking(settings)) {
        settings.reset();
        fill(settings);
    }
}

// ---- connectbauds ----------------------------------------------------------

namespace {

bool LacksBauds(JSettings& settings) {
    return ArrayCount(settings, L"bauds") < 1 || ArrayCount(settings, L"ports") < 1 ||
           ArrayCount(settings, L"devices") < 1;
}

void FillBauds(JSettings& settings) {
    static const int32_t kBauds[] = {9600, 19200, 38400, 57600, 115200};
    struct Device {
        const wchar_t* name;
        int32_t data;
        int32_t supported;
    };
    static const Device kDevices[] = {
        {L"Q48 Series", 1, 0},
        {L"Q22 Series", 2, 1},
        {L"GNSS RTK Series", 0, 1},
    };
    WriteArray(settings, L"bauds", 5, [&](int32_t i) { settings.setValue(L"baud", kBauds[i]); });
    WriteArray(settings, L"ports", 255, [&](int32_t i) { settings.setValue(L"port", i + 1); });
    WriteArray(settings, L"devices", 3, [&](int32_t i) {
        settings.setValue(L"device", kDevices[i].name);
        settings.setValue(L"data", kDevices[i].data);
        settings.setValue(L"supported", kDevices[i].supported);
    });
}

}  // namespace

ConnectBaudsConfig::ConnectBaudsConfig() : path_(CommonHelper::connectBaudsPath()) {
    if (needsDefaults()) WriteConfigDefaults(path_, L"connectbauds", FillBauds);
}

bool ConnectBaudsConfig::needsDefaults() const { return ConfigLacks(path_, L"connectbauds", LacksBauds); }

void ConnectBaudsConfig::read(std::vector<int32_t>& bauds, std::vector<int32_t>& ports,
                              std::vector<std::wstring>& deviceNames, std::vector<int32_t>& deviceData) const {
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"connectbauds", LacksBauds, FillBauds);
    settings.beginReadArray(L"bauds");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        const int32_t baud = settings.value(L"baud", int32_t(-1));
        if (baud > 0) bauds.push_back(baud);
    }
    settings.endArray();

    settings.beginReadArray(L"ports");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        const int32_t port = settings.value(L"port", int32_t(-1));
        if (port >= 0) ports.push_back(port);
    }
    settings.endArray();

    settings.beginReadArray(L"devices");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        std::wstring name;
        settings.value(L"device", name);
        if (name.empty() || settings.value(L"supported", int32_t(0)) == 0) continue;
        deviceNames.push_back(name);
        deviceData.push_back(settings.value(L"data", int32_t(-1)));
    }
    settings.endArray();
}

// ---- connectmethods --------------------------------------------------------

namespace {

bool LacksMethods(JSettings& settings) { return ArrayCount(settings, L"methods") < 1; }

void FillMethods(JSettings& settings) {
    struct Method {
        const wchar_t* name;
        int32_t method;
    };
    static const Method kMethods[] = {{L"Port", 0}, {L"KVX BT", 1}, {L"Sys. BT", 101}};
    WriteArray(settings, L"methods", 3, [&](int32_t i) {
        settings.setValue(L"support", int32_t(1));
        settings.setValue(L"name", kMethods[i].name);
        settings.setValue(L"method", kMethods[i].method);
    });
}

}  // namespace

ConnectMethodsConfig::ConnectMethodsConfig() : path_(CommonHelper::connectMethodsPath()) {
    if (ConfigLacks(path_, L"connectmethods", LacksMethods)) WriteConfigDefaults(path_, L"connectmethods", FillMethods);
}

void ConnectMethodsConfig::read(std::vector<std::wstring>& names, std::vector<int32_t>& methods) const {
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"connectmethods", LacksMethods, FillMethods);
    settings.beginReadArray(L"methods");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        // A support of 0 still lists the method; only a missing or negative
        // one hides it.
        if (settings.value(L"support", int32_t(-1)) < 0) continue;
        std::wstring name;
        settings.value(L"name", name);
        if (name.empty()) continue;
        names.push_back(name);
        methods.push_back(settings.value(L"method", int32_t(-1)));
    }
    settings.endArray();
}

// ---- connectionparams ------------------------------------------------------

ConnectionParamsConfig::ConnectionParamsConfig() : path_(CommonHelper::connectionParamsPath()) {}

void ConnectionParamsConfig::read(ConnectionParams& params) const {
    const ConnectionParams defaults;
    JSettings settings(path_, L"connectionparams");
    settings.beginGroup(L"connection");
    params.type = settings.value(L"type", defaults.type);
    params.port = settings.value(L"port", defaults.port);
    params.baud = settings.value(L"baud", defaults.baud);
    params.autoMethod = settings.value(L"automethod", defaults.autoMethod);
    settings.value(L"device", params.device, defaults.device);
    settings.value(L"address", params.address, defaults.address);
    settings.value(L"manufacture", params.manufacture, defaults.manufacture);
    params.needAuto = settings.value(L"needauto", int32_t(1)) != 0;
    settings.endGroup();
}

int32_t ConnectionParamsConfig::write(const ConnectionParams& params) const {
    JSettings settings(path_, L"connectionparams");
    settings.beginGroup(L"connection");
    settings.setValue(L"type", params.type);
    settings.setValue(L"port", params.port);
    settings.setValue(L"baud", params.baud);
    settings.setValue(L"automethod", params.autoMethod);
    settings.setValue(L"device", params.device);
    settings.setValue(L"address", params.address);
    settings.setValue(L"manufacture", params.manufacture);
    settings.setValue(L"needauto", int32_t(params.needAuto ? 1 : 0));
    settings.endGroup();
    settings.save();
    return settings.saveError();
}

// ---- satelbaudrate ---------------------------------------------------------

namespace {

bool LacksSteps(JSettings& settings) { return ArrayCount(settings, L"steparray") < 1; }

void FillSteps(JSettings& settings) {
    static const int32_t kProtocols[] = {5, 6, 8, 9};
    // kBauds[step][protocol column]
    static const int32_t kBauds[3][4] = {{1, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 2, 2}};
    WriteArray(settings, L"steparray", 3, [&](int32_t step) {
        settings.setValue(L"step", step);
        WriteArray(settings, L"protocolarray", 4, [&](int32_t p) {
            settings.setValue(L"protocol", kProtocols[p]);
            settings.setValue(L"baud", kBauds[step][p]);
        });
    });
}

}  // namespace

SatelBaudrateConfig::SatelBaudrateConfig() : path_(CommonHelper::satelBaudratePath()) {
    if (ConfigLacks(path_, L"baudrate", LacksSteps)) WriteConfigDefaults(path_, L"baudrate", FillSteps);
}

void SatelBaudrateConfig::baudRate(int32_t step, int32_t protocol, int32_t& baud) const {
    baud = -1;
    JSettings settings;
    OpenConfigWithDefaults(settings, path_, L"baudrate", LacksSteps, FillSteps);
    settings.beginReadArray(L"steparray");
    int32_t itemStep = 0;
    // A missing item holds nothing, so it would only repeat the item before
    // it: walking the items that are there gives the same result.
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        // A missing value repeats the item before it.
        itemStep = settings.value(L"step", itemStep);
        settings.beginReadArray(L"protocolarray");
        if (itemStep == step) {
            int32_t itemProtocol = 0;
            for (const int32_t j : settings.arrayIndexes()) {
                settings.setArrayIndex(j);
                itemProtocol = settings.value(L"protocol", itemProtocol);
                if (itemProtocol == protocol) baud = settings.value(L"baud", baud);
            }
        }
        settings.endArray();
    }
    settings.endArray();
}

// ---- validcheck ------------------------------------------------------------

ValidityCheckSettings* ValidityCheckSettings::instance() {
    static ValidityCheckSettings settings;
    return &settings;
}

ValidityCheckSettings::ValidityCheckSettings() {
    const std::wstring path = CommonHelper::validCheckPath();
    const auto fill = [](JSettings& settings) {
        settings.setValue(L"lengthcheck/server/name", int32_t(64));
        settings.setValue(L"lengthcheck/server/baseid", int32_t(16));
        settings.setValue(L"lengthcheck/apn/user", int32_t(32));
        settings.setValue(L"lengthcheck/apn/password", int32_t(16));
        settings.setValue(L"lengthcheck/apn/total", int32_t(48));
        settings.setValue(L"lengthcheck/cors/user", int32_t(31));
        settings.setValue(L"lengthcheck/cors/password", int32_t(31));
        settings.setValue(L"lengthcheck/cors/source", int32_t(31));
        settings.setValue(L"lengthcheck/cors/total", int32_t(43));
    };
    // The limits are read from the file when it is usable; otherwise the
    // defaults are written and read from memory, whether or not the write
    // could be made.
    JSettings settings;
    settings.setReadOnly(true);
    if (settings.open(path, L"validcheck") != JSettings::kOk) {
        WriteConfigDefaults(path, L"validcheck", fill);
        settings.reset();
        fill(settings);
    }
    settings.beginGroup(L"lengthcheck");
    serverName_ = settings.value(L"server/name", int32_t(64));
    serverBaseId_ = settings.value(L"server/baseid", int32_t(16));
    apnUser_ = settings.value(L"apn/user", int32_t(31));
    apnPassword_ = settings.value(L"apn/password", int32_t(31));
    apnTotal_ = settings.value(L"apn/total", int32_t(28));
    corsUser_ = settings.value(L"cors/user", int32_t(31));
    corsPassword_ = settings.value(L"cors/password", int32_t(31));
    corsSource_ = settings.value(L"cors/source", int32_t(31));
    corsTotal_ = settings.value(L"cors/total", int32_t(43));
    settings.endGroup();
}

ValidityCheckSettings::~ValidityCheckSettings() = default;

void ValidityCheckSettings::apnLengths(int32_t& user, int32_t& password, int32_t& total) const {
    user = apnUser_;
    password = apnPassword_;
    total = apnTotal_;
}

void ValidityCheckSettings::corsLengths(int32_t& user, int32_t& password, int32_t& source, int32_t& total) const {
    user = corsUser_;
    password = corsPassword_;
    source = corsSource_;
    total = corsTotal_;
}

void ValidityCheckSettings::serverLengths(int32_t& name, int32_t& baseId) const {
    name = serverName_;
    baseId = serverBaseId_;
}

// ---- btbindings ------------------------------------------------------------

BtBindingsConfig::BtBindingsConfig() : path_(CommonHelper::btBindingsPath()) {}

int32_t BtBindingsConfig::write(const std::vector<std::wstring>& names,
                               const std::vector<uint64_t>& addresses) const {
    JSettings settings(path_, L"btbindings");
    settings.beginGroup(L"btbind");
    const int32_t count = static_cast<int32_t>(std::min<size_t>(addresses.size(), INT32_MAX));
    WriteArray(settings, L"devices", count, [&](int32_t i) {
        // Written as text: a Bluetooth address has 48 bits, more than the
        // 32-bit writer keeps.
        settings.setValue(L"address", DecimalText(addresses[static_cast<size_t>(i)]));
        settings.setValue(L"name", static_cast<size_t>(i) < names.size() ? names[static_cast<size_t>(i)]
                                                                         : std::wstring());
    });
    settings.endGroup();
    settings.save();
    return settings.saveError();
}

void BtBindingsConfig::read(std::vector<std::wstring>& names, std::vector<uint64_t>& addresses) const {
    names.clear();
    addresses.clear();
    JSettings settings(path_, L"btbindings");
    settings.beginGroup(L"btbind");
    settings.beginReadArray(L"devices");
    for (const int32_t i : settings.arrayIndexes()) {
        settings.setArrayIndex(i);
        std::wstring name;
        settings.value(L"name", name);
        names.push_back(name);
        addresses.push_back(settings.value(L"address", uint64_t(0)));
    }
    settings.endArray();
    settings.endGroup();
}
