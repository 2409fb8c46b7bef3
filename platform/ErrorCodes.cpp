#include "platform/ErrorCodes.h"

#include <cerrno>

namespace platform {

uint32_t SystemErrorFromErrno(int err) {
    switch (err) {
    case ENOENT: return winerr::kFileNotFound;
    case ENOTDIR: return winerr::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return winerr::kAccessDenied;
    case EBADF: return winerr::kInvalidHandle;
    case ENOMEM: return winerr::kNotEnoughMemory;
    case EBUSY:
    case EWOULDBLOCK: return winerr::kSharingViolation;
    case EINVAL: return winerr::kInvalidParameter;
    case ENOTTY:
    case ENOSYS:
    case EOPNOTSUPP: return winerr::kNotSupported;
    case EPIPE: return winerr::kBrokenPipe;
    case ETIMEDOUT: return winerr::kTimeout;
    case ENXIO:
    case ENODEV: return winerr::kDeviceNotConnected;
    case EINTR: return winerr::kOperationAborted;
    default: return winerr::kGenFailure;  // EIO and everything else; never 0
    }
}

uint32_t SocketErrorFromErrno(int err) {
    switch (err) {
    case EINTR: return wsaerr::kInterrupted;
    case EBADF: return wsaerr::kBadFile;
    case EACCES:
    case EPERM: return wsaerr::kAccess;
    case EFAULT: return wsaerr::kFault;
    case EINVAL: return wsaerr::kInvalid;
    case EMFILE:
    case ENFILE: return wsaerr::kTooManyOpen;
    case EWOULDBLOCK: return wsaerr::kWouldBlock;
    case EINPROGRESS: return wsaerr::kInProgress;
    case EALREADY: return wsaerr::kAlready;
    case ENOTSOCK: return wsaerr::kNotSocket;
    case EDESTADDRREQ: return wsaerr::kDestAddrRequired;
    case EMSGSIZE: return wsaerr::kMsgSize;
    case EPROTOTYPE: return wsaerr::kProtoType;
    case ENOPROTOOPT: return wsaerr::kNoProtoOpt;
    case EPROTONOSUPPORT: return wsaerr::kProtoNotSupported;
    case EOPNOTSUPP: return wsaerr::kOpNotSupported;
    case EAFNOSUPPORT: return wsaerr::kAfNotSupported;
    case EADDRINUSE: return wsaerr::kAddrInUse;
    case EADDRNOTAVAIL: return wsaerr::kAddrNotAvail;
    case ENETDOWN: return wsaerr::kNetDown;
    case ENETUNREACH: return wsaerr::kNetUnreach;
    case ENETRESET: return wsaerr::kNetReset;
    case ECONNABORTED: return wsaerr::kConnAborted;
    case ECONNRESET:
    case EPIPE: return wsaerr::kConnReset;
    case ENOBUFS:
    case ENOMEM: return wsaerr::kNoBufs;
    case EISCONN: return wsaerr::kIsConn;
    case ENOTCONN: return wsaerr::kNotConn;
    case ESHUTDOWN: return wsaerr::kShutdown;
    case ETIMEDOUT: return wsaerr::kTimedOut;
    case ECONNREFUSED: return wsaerr::kConnRefused;
    case EHOSTDOWN: return wsaerr::kHostDown;
    case EHOSTUNREACH: return wsaerr::kHostUnreach;
    default: return wsaerr::kNetDown;  // never 0
    }
}

uint32_t BluetoothErrorFromErrno(int err) {
    switch (err) {
    case EADDRINUSE:
    case EBUSY: return winerr::kDeviceInUse;
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ECONNREFUSED:
    case ENODEV:
    case ENXIO: return winerr::kDeviceNotConnected;
    case EAFNOSUPPORT:
    case EPROTONOSUPPORT: return winerr::kNotSupported;
    default: return SystemErrorFromErrno(err);  // never 0
    }
}

}  // namespace platform
