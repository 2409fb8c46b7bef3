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

// The user's correction servers in "/configs/netserver.brt".
//
// The file is the store: every operation reads it afresh, and every change
// is made to what the file holds at that moment and written at once, while
// the change holds a lock on the file's folder. So two Brantors on one
// program folder never lose each other's servers, and an edit survives a
// program that ends without running its destructors. The file holds the
// caster passwords, so it is readable by its owner only.
//
// Entries are never taken out of the array: deleting sets the entry's key to
// -1, so a live entry's key is always its index.
class ServerStore {
public:
    // The program's store: the program folder's "configs/netserver.brt".
    static ServerStore* instance();

    explicit ServerStore(const std::wstring& path);
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;

    // How long a change waits for another program's change to end, in
    // milliseconds.
    static constexpr uint32_t kLockWaitMs = 3000;

    // The changes give 0 when the file holds the change (or there was
    // nothing to change), otherwise the system's error number of the save
    // that failed (JSettings::errorText gives its text); the file then keeps
    // what it held. A file that exists but cannot be read is never saved
    // over: the change gives SettingsReadFailure of the reason. A change
    // that did not get the folder's lock within kLockWaitMs is not made and
    // gives EWOULDBLOCK. ShowSettingsSaveFailure tells all of these.
    //
    // Stores the record as a new entry; its key becomes the entry's index
    // (the record's own key is not used). EOVERFLOW when the array cannot
    // take another item.
    int32_t append(const ServerRecord& record);
    // Marks the entry with this key deleted; nothing when there is none.
    int32_t remove(int32_t key);
    // Replaces the entry with the record's key, all its fields. When no
    // live entry has that key (another program deleted it meanwhile), the
    // record is kept as a new entry instead, so the edit is not lost.
    // `keptAs` gets the key the record is stored under (the record's own, or
    // the new entry's; -1 when nothing was stored); nothing is done for a
    // negative key.
    int32_t update(const ServerRecord& record, int32_t* keptAs = nullptr);
    // The first entry with this key whose index is not skipIndex; false when
    // there is none or the key is negative.
    bool read(ServerRecord& record, int32_t key, int32_t skipIndex = -1);
    // Names and keys of the live entries, in store order; protocol -1 (or
    // any negative code) lists every protocol. Gives 0, or, for a file that
    // exists but cannot be read, SettingsReadFailure of the reason: the
    // empty list then is no list of the user's servers, and is told.
    int32_t list(QStringList& names, QList<int32_t>& keys, int32_t protocol);
    // Appends every live entry, in store order; gives what list gives.
    int32_t readAll(QList<ServerRecord>& records);
    // True when a live entry whose key is not `key` has exactly this name;
    // key -1 compares with every live entry.
    bool nameExists(const QString& name, int32_t key);

private:
    ServerStore() = default;

    std::wstring path() const;
    // Opens the file to read it: 0, else kNotUsable when it is missing or
    // unusable, or SettingsReadFailure of the reason when it exists but
    // cannot be read. Such a store writes nothing, ever.
    int32_t openToRead(JSettings& settings) const;
    static constexpr int32_t kNotUsable = 1;
    // Every item the servers array holds, each as the current item in turn.
    template <typename Visit>
    void forEachItem(JSettings& settings, Visit visit) const;
    // Reads the file, lets `change` change it (false: nothing to change) and
    // saves, all under the folder's lock.
    template <typename Change>
    int32_t changeFile(Change change);

    // Empty: the program folder's file, looked up on every operation.
    std::wstring path_;
};
