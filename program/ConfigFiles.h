#pragma once

#include "program/JSettings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Readers of the small configuration files under "configs". Each holds only
// its path and opens a settings store per operation; an operation that
// changes nothing leaves the file as it is. Readers with defaults write them
// when their arrays hold no item, and read them from memory when the file
// still holds none (a folder that cannot be written, a full disk, a file
// that cannot be read): the defaults hold either way, and the failure is
// told once a run (NoteSettingsFailure). A read walks the items an array
// holds up to its "size": an item missing in between is skipped, the rest
// are read. The writers give 0 when the file holds what was written,
// otherwise the system's error number of the save that failed
// (JSettings::errorText).

// Writes a reader's built-in defaults (`fill` writes them into the store) to
// its file. A save that fails, or is refused because the file could not be
// read, is noted for the user; nothing else is done about it.
void WriteConfigDefaults(const std::wstring& path, const std::wstring& root,
                         const std::function<void(JSettings&)>& fill);
// True when a reader's file cannot be opened or `lacking` says it holds
// none of what the reader needs: its defaults are then written out.
bool ConfigLacks(const std::wstring& path, const std::wstring& root, const std::function<bool(JSettings&)>& lacking);
// Opens `settings` on a reader's file to read it; the store never writes.
// When `lacking` says the file holds none of what the reader needs, the
// store holds the built-in defaults (`fill`) in its place.
void OpenConfigWithDefaults(JSettings& settings, const std::wstring& path, const std::wstring& root,
                            const std::function<bool(JSettings&)>& lacking,
                            const std::function<void(JSettings&)>& fill);

// "connectbauds.brt": the baud rates, port numbers and device series that the
// Connect page offers.
class ConnectBaudsConfig {
public:
    ConnectBaudsConfig();
    bool needsDefaults() const;
    // Appends every positive baud, every port of 0 or more, and the name and
    // code of every supported device with a name.
    void read(std::vector<int32_t>& bauds, std::vector<int32_t>& ports,
              std::vector<std::wstring>& deviceNames, std::vector<int32_t>& deviceData) const;

private:
    std::wstring path_;
};

// "connectmethods.brt": the connection methods (0 serial port, 1 the maker's
// Bluetooth device, 101 Bluetooth through the system's wireless manager).
class ConnectMethodsConfig {
public:
    ConnectMethodsConfig();
    // Appends every method whose support is 0 or more and whose name is set.
    void read(std::vector<std::wstring>& names, std::vector<int32_t>& methods) const;

private:
    std::wstring path_;
};

// The remembered last connection.
struct ConnectionParams {
    int32_t type = 0;
    int32_t port = 1;
    int32_t baud = 9600;
    int32_t autoMethod = 0;
    std::wstring device;
    std::wstring address;
    std::wstring manufacture = L"Orvel Works";
    bool needAuto = true;
};

// "connectionparams.brt": group "connection" holding the last connection.
class ConnectionParamsConfig {
public:
    ConnectionParamsConfig();
    void read(ConnectionParams& params) const;
    int32_t write(const ConnectionParams& params) const;

private:
    std::wstring path_;
};

// "satelbaudrate.brt": the radio's over-the-air baud code by step and radio
// protocol.
class SatelBaudrateConfig {
public:
    SatelBaudrateConfig();
    // baud is -1 when no item has that step and protocol; the last match wins.
    void baudRate(int32_t step, int32_t protocol, int32_t& baud) const;

private:
    std::wstring path_;
};

// "validcheck.brt": the longest input, in characters, of the forms' fields.
class ValidityCheckSettings {
public:
    static ValidityCheckSettings* instance();

    ValidityCheckSettings();
    virtual ~ValidityCheckSettings();

    void apnLengths(int32_t& user, int32_t& password, int32_t& total) const;
    void corsLengths(int32_t& user, int32_t& password, int32_t& source, int32_t& total) const;
    void serverLengths(int32_t& name, int32_t& baseId) const;

private:
    int32_t apnUser_ = 0;
    int32_t apnPassword_ = 0;
    int32_t apnTotal_ = 0;
    int32_t corsUser_ = 0;
    int32_t corsPassword_ = 0;
    int32_t corsSource_ = 0;
    int32_t corsTotal_ = 0;
    int32_t serverName_ = 0;
    int32_t serverBaseId_ = 0;
};

// "btbindings.brt": the Bluetooth devices bound so far, address (48 bits)
// and name.
class BtBindingsConfig {
public:
    BtBindingsConfig();
    // One item per address; a names list shorter than the addresses gets
    // empty names for the rest.
    int32_t write(const std::vector<std::wstring>& names, const std::vector<uint64_t>& addresses) const;
    void read(std::vector<std::wstring>& names, std::vector<uint64_t>& addresses) const;

private:
    std::wstring path_;
};
