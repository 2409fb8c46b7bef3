#pragma once

// The parts of DeviceManager that need no receiver: the source-table
// gathering and parsing, the choice lists by board type, the version flag
// from the firmware text, and the menu capability mask.

#include "program/SourceTableText.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace devicemanager {

// NTRIP source-table markers; both are matched case-sensitively.
inline constexpr const char* kSourceTableHeader = sourcetable::kHeader;
inline constexpr const char* kSourceTableEnd = sourcetable::kEnd;

// Gathers the source-table text that the receiver's modem hands over in
// chunks. Chunks before the header are dropped; from the chunk that
// completes the header on, every chunk is kept, up to the program's limit
// for a source table (sourcetable::kLargestTable). A header or an end marker
// split across two chunks is still found, also past the limit.
class SourceTableGatherer {
public:
    static constexpr int kChunkSize = 2048;

    // Adds one chunk of `length` bytes; the length is clamped to 0..kChunkSize.
    // Returns true when the gathered text holds the end marker (then and on
    // every later chunk).
    bool addChunk(const char* data, int length);
    void clear();
    const QByteArray& text() const { return text_.text(); }
    // The table passed the limit before its end: only its first part is kept.
    bool cut() const { return text_.cut(); }
    // Replaces the gathered text (what is left after the names were taken).
    void setText(const QByteArray& text) { text_.setText(text); }

private:
    sourcetable::CappedText text_;
    // The tail of the dropped bytes, long enough to complete a header that
    // begins in one chunk and ends in the next.
    QByteArray carry_;
    bool started_ = false;
};

// Takes the mount-point names out of a source table: everything before the
// header and after the end marker goes; then, line by line, each "\r\nSTR;"
// and what precedes it is removed and the name that follows (up to its ';'
// or the end of its line, whichever comes first) is appended to `names`.
// The text keeps what is left after the last name.
void ParseSourceTable(QString& text, QStringList& names);

// Output rates (names and GNSS_FRQ codes) and NMEA sentences (names and
// sentence bits) offered for a main-board type. Both lists are emptied first.
void OutputRatesFor(int boardType, QStringList& names, QList<int>& codes);
void NmeaMessagesFor(int boardType, QStringList& names, QList<uint32_t>& masks);

// The version flag of a firmware text of up to `size` bytes (at most its
// first four characters count): letters are removed, the part before the
// first '.' is read as a decimal number; true when it is 8 or more. A text
// without such a number gives false.
bool FirmwareVersionFlag(const char* text, size_t size);

// The main menu's capability mask: 7, plus 8 and 16 unless the device type
// is 2, plus 32 with the version flag.
unsigned CapabilityMaskFor(int deviceType, bool versionFlag);

}  // namespace devicemanager
