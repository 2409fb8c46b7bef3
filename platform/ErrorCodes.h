#pragma once

#include "platform/Export.h"

#include <cstdint>

// One table from errno to the error codes the system reports: the system error
// codes of the original platform, and its socket codes. A failure never maps
// to 0, so a caller can always tell it from success.
namespace platform {

PLATFORM_API uint32_t SystemErrorFromErrno(int err);
PLATFORM_API uint32_t SocketErrorFromErrno(int err);
// Bluetooth radio and serial-port binding: the system codes, with a port index
// already taken (EADDRINUSE, EBUSY) as "device in use" and an unreachable
// device as "device not connected".
PLATFORM_API uint32_t BluetoothErrorFromErrno(int err);

// Codes the system names by number.
namespace winerr {
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kPathNotFound = 3;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kGenFailure = 31;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kNotSupported = 50;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kBrokenPipe = 109;
constexpr uint32_t kBusy = 170;
constexpr uint32_t kIoPending = 997;
constexpr uint32_t kTimeout = 1460;
constexpr uint32_t kDeviceNotConnected = 1167;
constexpr uint32_t kOperationAborted = 995;
constexpr uint32_t kInvalidIndex = 1413;
constexpr uint32_t kDeviceInUse = 2404;
}  // namespace winerr

namespace wsaerr {
constexpr uint32_t kInterrupted = 10004;
constexpr uint32_t kBadFile = 10009;
constexpr uint32_t kAccess = 10013;
constexpr uint32_t kFault = 10014;
constexpr uint32_t kInvalid = 10022;
constexpr uint32_t kTooManyOpen = 10024;
constexpr uint32_t kWouldBlock = 10035;
constexpr uint32_t kInProgress = 10036;
constexpr uint32_t kAlready = 10037;
constexpr uint32_t kNotSocket = 10038;
constexpr uint32_t kDestAddrRequired = 10039;
constexpr uint32_t kMsgSize = 10040;
constexpr uint32_t kProtoType = 10041;
constexpr uint32_t kNoProtoOpt = 10042;
constexpr uint32_t kProtoNotSupported = 10043;
constexpr uint32_t kOpNotSupported = 10045;
constexpr uint32_t kAfNotSupported = 10047;
constexpr uint32_t kAddrInUse = 10048;
constexpr uint32_t kAddrNotAvail = 10049;
constexpr uint32_t kNetDown = 10050;
constexpr uint32_t kNetUnreach = 10051;
constexpr uint32_t kNetReset = 10052;
constexpr uint32_t kConnAborted = 10053;
constexpr uint32_t kConnReset = 10054;
constexpr uint32_t kNoBufs = 10055;
constexpr uint32_t kIsConn = 10056;
constexpr uint32_t kNotConn = 10057;
constexpr uint32_t kShutdown = 10058;
constexpr uint32_t kTimedOut = 10060;
constexpr uint32_t kConnRefused = 10061;
constexpr uint32_t kHostDown = 10064;
constexpr uint32_t kHostUnreach = 10065;
constexpr uint32_t kECancelled = 10103;   // a lookup call was cancelled
constexpr uint32_t kNoMore = 10110;       // a lookup has no more results
constexpr uint32_t kCancelled = 10111;    // a lookup was ended while a call waited
constexpr uint32_t kHostNotFound = 11001;
}  // namespace wsaerr

}  // namespace platform
