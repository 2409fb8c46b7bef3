#pragma once

#include "program/JSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

// One correction server the user keeps: a caster or TCP server that the
// receiver's modem connects to.
struct ServerRecord {
    QString address;
    int32_t port = 0;
    // 0 "ZELT", 1 "Ntrip Client", 2 "ZELT One To Multi", 3 "TCP Direct".
    int32_t protocol = 0;
    QString name;
    QString user;          // protocol 1 only
    QString password;      // protocol 1 only
    QStringList sources;   // the caster's mount points chosen (protocol 1 only)
    QString source;        // the one source of a protocol 0 or 2 server
    // The entry's array index when it was appended; -1 marks a deleted entry.
    int32_t key = -1;
};

// The user's correction servers in "/configs/netserver.brt". The document
// stays open for the whole run; every change is written at once, so an edit
// survives a program that ends without running its destructors.
//
// Entries are never taken out of the array: deleting sets the entry's key to
// -1, so a live entry's key is always its index.
class ServerStore {
public:
    // The program's store, made on first use.
    static ServerStore* instance();

    explicit ServerStore(const std::wstring& path);
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    // Stores the record as a new entry; its key becomes the entry's index
    // (the record's own key is not used).
    void append(const ServerRecord& record);
    // Marks the entry with this key deleted; nothing when there is none.
    void remove(int32_t key);
    // Replaces the entry with the record's key, all its fields; nothing when
    // there is none.
    void update(const ServerRecord& record);
    // The first entry with this key whose index is not skipIndex; false when
    // there is none or the key is negative.
    bool read(ServerRecord& record, int32_t key, int32_t skipIndex = -1);
    // Names and keys of the live entries, in store order; protocol -1 (or
    // any negative code) lists every protocol.
    void list(QStringList& names, QList<int32_t>& keys, int32_t protocol);
    // Appends every live entry, in store order.
    void readAll(QList<ServerRecord>& records);
    // True when a live entry whose key is not `key` has exactly this name;
    // key -1 compares with every live entry.
    bool nameExists(const QString& name, int32_t key);

private:
    int32_t beginServers();
    void endServers();
    // The record of the current item; false for a deleted entry.
    bool readItem(ServerRecord& record);
    void writeItem(const ServerRecord& record, int32_t key);
    void commit();

    JSettings settings_;
};
