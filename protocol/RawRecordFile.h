#pragma once

// The raw record file: one per process, shared by every protocol object. It
// holds the exact byte stream read from the port. Opening, writing and
// closing all happen under one lock, so a close on one thread never meets a
// write on another.

#include "platform/Time.h"

#include <cstdint>
#include <string>

namespace Fjarnis2011 {
namespace FJParse {
namespace RawRecordFile {

// Longest file name taken from a caller.
constexpr size_t kMaxNameLength = 255;

// Opens `name` (at most kMaxNameLength characters; the default name when
// null) for writing, truncating it, unless a record file is open already.
// True when this call opened it.
bool Open(const char* name);
// Closes the record file, if one is open.
void Close();
bool IsOpen();
// Appends the bytes and flushes; nothing when no file is open.
void Write(const uint8_t* data, unsigned n);

// "%d%d%d%2d%d%d.bin" of year, month, day, hour, minute and second of the
// given local time: no zero padding, the hour padded to two places with a
// space.
std::string DefaultName(const platform::UtcTime& local);

}  // namespace RawRecordFile
}  // namespace FJParse
}  // namespace Fjarnis2011
