#pragma once

// The one pattern behind the receiver object's command, getter and setter
// operations, kept in one place so that every member locks, checks and
// queues alike. Internal to the device library.

#include "device/EmGnss_Receiver.h"
#include "protocol/Em_Critcal_Section.h"

#include <exception>
#include <vector>

namespace Fjarnis2011 {
namespace FJDevice {

// Under the protocol lock, so that commands from several threads reach the
// queue in whole-command units and never interleave record by record. The
// builder appends to a fresh vector, whose records are queued; the writing
// thread is woken also when the builder appended nothing. A builder that
// fails half way (out of memory) sends none of its records: half a frame
// sequence must never reach the receiver.
template <class Build>
bool EmGnss_Receiver::QueueCommands(Build&& build) {
    FJParse::Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return false;
    std::vector<FJParse::_STR_CMD> commands;
    try {
        build(*gnss, commands);
    } catch (const std::exception&) {
        commands.clear();
    }
    Cmds_Write(commands);
    return true;
}

// Under the protocol lock: reads what the protocol object last parsed. The
// lock is recursive, so the data callback (which runs with it held) may call
// any getter. False, with nothing read, when there is no protocol object.
template <class Read>
bool EmGnss_Receiver::WithProtocol(Read&& read) {
    FJParse::Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return false;
    read(*gnss);
    return true;
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
