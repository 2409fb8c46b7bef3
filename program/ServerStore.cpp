#include "program/ServerStore.h"

#include "program/CommonHelper.h"

namespace {

std::wstring Wide(const QString& text) { return text.toStdWString(); }

QString TextValue(JSettings& settings, const wchar_t* key) {
    std::wstring value;
    settings.value(key, value);
    return QString::fromStdWString(value);
}

// Protocols whose one source is kept as a one-entry source list.
bool KeepsOneSource(int32_t protocol) { return protocol == 0 || protocol == 2; }

}  // namespace

ServerStore* ServerStore::instance() {
    static ServerStore store(CommonHelper::netServerPath());
    return &store;
}

ServerStore::ServerStore(const std::wstring& path) {
    if (settings_.open(path, L"netserver") != JSettings::kOk) settings_.reset();
}

ServerStore::~ServerStore() = default;

int32_t ServerStore::beginServers() {
    settings_.beginGroup(L"common");
    return settings_.beginReadArray(L"servers");
}

void ServerStore::endServers() {
    settings_.endArray();
    settings_.endGroup();
}

void ServerStore::commit() { settings_.save(); }

bool ServerStore::readItem(ServerRecord& record) {
    const int32_t key = settings_.value(L"key", int32_t(-1));
    if (key < 0) return false;
    record = ServerRecord();
    record.key = key;
    settings_.beginGroup(L"server");
    record.name = TextValue(settings_, L"name");
    record.address = TextValue(settings_, L"address");
    record.protocol = settings_.value(L"protocol", int32_t(-1));
    record.port = settings_.value(L"port", int32_t(0));
    record.user = TextValue(settings_, L"user");
    record.password = TextValue(settings_, L"password");
    QStringList sources;
    const int32_t count = settings_.beginReadArray(L"sources");
    for (int32_t i = 0; i < count; ++i) {
        settings_.setArrayIndex(i);
        sources.push_back(TextValue(settings_, L"source"));
    }
    settings_.endArray();
    settings_.endGroup();
    if (!sources.isEmpty()) {
        if (KeepsOneSource(record.protocol))
            record.source = sources.front();
        else
            record.sources = sources;
    }
    return true;
}

void ServerStore::writeItem(const ServerRecord& record, int32_t key) {
    settings_.setValue(L"key", key);
    // The whole group is written anew: a field the record no longer keeps
    // (a password, a source list) must not come back from an older version.
    settings_.remove(L"server");
    settings_.beginGroup(L"server");
    settings_.setValue(L"name", Wide(record.name));
    settings_.setValue(L"address", Wide(record.address));
    settings_.setValue(L"protocol", record.protocol);
    settings_.setValue(L"port", record.port);
    QStringList sources;
    if (record.protocol == 1) {
        settings_.setValue(L"user", Wide(record.user));
        settings_.setValue(L"password", Wide(record.password));
        sources = record.sources;
    } else if (KeepsOneSource(record.protocol)) {
        sources.push_back(record.source);
    }
    if (!sources.isEmpty()) {
        settings_.beginWriteArray(L"sources", int32_t(sources.size()));
        for (int32_t i = 0; i < int32_t(sources.size()); ++i) {
            settings_.setArrayIndex(i);
            settings_.setValue(L"source", Wide(sources[i]));
        }
        settings_.endArray();
    }
    settings_.endGroup();
}

void ServerStore::append(const ServerRecord& record) {
    settings_.beginGroup(L"common");
    const int32_t n = std::max(settings_.beginReadArray(L"servers"), int32_t(0));
    settings_.endArray();
    settings_.beginWriteArray(L"servers", n + 1);
    settings_.setArrayIndex(n);
    writeItem(record, n);
    endServers();
    commit();
}

void ServerStore::remove(int32_t key) {
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count; ++i) {
        settings_.setArrayIndex(i);
        if (settings_.value(L"key", int32_t(-1)) == key) {
            settings_.setValue(L"key", int32_t(-1));
            break;
        }
    }
    endServers();
    commit();
}

void ServerStore::update(const ServerRecord& record) {
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count; ++i) {
        settings_.setArrayIndex(i);
        if (settings_.value(L"key", int32_t(-1)) == record.key) {
            writeItem(record, record.key);
            break;
        }
    }
    endServers();
    commit();
}

bool ServerStore::read(ServerRecord& record, int32_t key, int32_t skipIndex) {
    if (key < 0) return false;
    bool found = false;
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count && !found; ++i) {
        if (i == skipIndex) continue;
        settings_.setArrayIndex(i);
        if (settings_.value(L"key", int32_t(-1)) == key) found = readItem(record);
    }
    endServers();
    return found;
}

void ServerStore::list(QStringList& names, QList<int32_t>& keys, int32_t protocol) {
    names.clear();
    keys.clear();
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count; ++i) {
        settings_.setArrayIndex(i);
        const int32_t key = settings_.value(L"key", int32_t(-1));
        if (key < 0) continue;
        if (protocol >= 0 && settings_.value(L"server/protocol", int32_t(-1)) != protocol) continue;
        names.push_back(TextValue(settings_, L"server/name"));
        keys.push_back(key);
    }
    endServers();
}

void ServerStore::readAll(QList<ServerRecord>& records) {
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count; ++i) {
        settings_.setArrayIndex(i);
        ServerRecord record;
        if (readItem(record)) records.push_back(record);
    }
    endServers();
}

bool ServerStore::nameExists(const QString& name, int32_t key) {
    bool exists = false;
    const int32_t count = beginServers();
    for (int32_t i = 0; i < count && !exists; ++i) {
        settings_.setArrayIndex(i);
        const int32_t itemKey = settings_.value(L"key", int32_t(-1));
        if (itemKey < 0 || itemKey == key) continue;
        exists = TextValue(settings_, L"server/name") == name;
    }
    endServers();
    return exists;
}
