#include "device/EmGnss_Receiver.h"

#include "device/KeepAliveCounter.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "protocol/newproto/Em_OvTypes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::_STR_CMD;
using FJParse::Em_CrtSect_Lock;
using FJParse::GNSS_MANUFACTURER;
using FJParse::MAINBD_OEM_TYPE;

namespace {

// Bytes of raw data per record of Send_DataToPort, and the pause after each.
constexpr uint32_t kRawChunk = sizeof(_STR_CMD::data);
constexpr uint32_t kRawDelay = 100;
// The settling sleep of a mode switch, ms.
constexpr uint32_t kModeSwitchSleep = 500;
// The longest replay-file path, without its terminating zero.
constexpr size_t kMaxPathLength = 255;

// Runs one command builder of the protocol object; a builder that runs out of
// memory leaves what it appended and nothing escapes.
template <class F>
void Build(F&& builder) {
    try {
        builder();
    } catch (const std::bad_alloc&) {
    }
}

bool IsSerialRateOfTheReceiver(unsigned baud) {
    switch (baud) {
    case 2400:
    case 4800:
    case 9600:
    case 19200:
    case 38400: return true;
    default: return false;
    }
}

}  // namespace

std::atomic<int32_t>& KeepAliveCounter() {
    static std::atomic<int32_t> counter{EmGnss_Receiver::kKeepAlivePasses};
    return counter;
}

EmGnss_Receiver::EmGnss_Receiver(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE board)
    : EmGnss_Receiver(m, board, nullptr) {}

EmGnss_Receiver::EmGnss_Receiver(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE board, ReceiverServices* s)
    : services(s ? s : &ReceiverServices::System()), oemType(board), manufacturer(m) {
    InitInstance();
}

EmGnss_Receiver::~EmGnss_Receiver() {
    // The threads run on this object: they stop before any of it goes.
    if (gnss || port || processingThread.joinable() || readingThread.joinable() || writingThread.joinable())
        Port_Close();
    ExitInstance();
    rcdforthreads("~Device\r\n", 3);
}

void EmGnss_Receiver::InitInstance() {
    comParam = FJComm::PARAM_COM{};
    comParam.port = 1;
    comParam.baud = 9600;
    comParam.byteSize = 8;
    comParam.parity = 0;
    comParam.stopBits = 0;
    comParam.inQueueSize = 1024;
    comParam.outQueueSize = 1024;
    btParam = FJComm::PARAM_BT{};
    btParam.port = 8;
    sockParam = FJComm::PARAM_SOCK{};
    portType = -1;
    queueLock = new FJParse::Em_Critcal_Section;
    queueLock->InitializeSection();
    protocolLock = new FJParse::Em_Critcal_Section;
    protocolLock->InitializeSection();
    keepAlive = true;
    readSize = kReadBufferSize;
}

void EmGnss_Receiver::ExitInstance() {
    queueLock->DeleteSection();
    delete queueLock;
    queueLock = nullptr;
    protocolLock->DeleteSection();
    delete protocolLock;
    protocolLock = nullptr;
    callbacks = nullptr;
    commandQueue.clear();
}

bool EmGnss_Receiver::setReceiverType(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE board) {
    Em_CrtSect_Lock lock(protocolLock);
    if (gnss) return false;
    manufacturer = m;
    oemType = board;
    return true;
}

void EmGnss_Receiver::RegisterCbs_Receiver(const FJParse::_CALLBACKS_RECEIVER* table, const void*) {
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) callbacks = table;
}

// ---------------------------------------------------------------- opening

bool EmGnss_Receiver::prepareForOpen() {
    if (port || processingThread.joinable() || readingThread.joinable() || writingThread.joinable())
        return false;
    Em_CrtSect_Lock lock(protocolLock);
    if (gnss) return false;
    try {
        gnss = services->NewProtocolObject(manufacturer, oemType);
    } catch (...) {
        gnss = nullptr;
    }
    if (!gnss) return false;
    // The protocol object reports to the table's callbacks with its own
    // context (none).
    if (callbacks) gnss->Reg_Callbacks(callbacks, nullptr);
    return true;
}

void EmGnss_Receiver::Set_PortPar(const FJComm::PARAM_COM& param) { comParam = param; }
void EmGnss_Receiver::Set_PortPar(const FJComm::PARAM_BT& param) { btParam = param; }
void EmGnss_Receiver::Set_PortPar(const FJComm::PARAM_SOCK& param) { sockParam = param; }

void EmGnss_Receiver::Set_PortPar(const char* path) {
    if (!path) return;
    const size_t n = strnlen(path, kMaxPathLength);
    std::memcpy(filePath, path, n);
    filePath[n] = '\0';
}

bool EmGnss_Receiver::Port_Open(FJComm::PARAM_COM param) {
    if (!prepareForOpen()) return false;
    Set_PortPar(param);
    return OpenPrepared(FJComm::PORT_TYPE_COM);
}

bool EmGnss_Receiver::Port_Open(FJComm::PARAM_BT param) {
    if (!prepareForOpen()) return false;
    Set_PortPar(param);
    return OpenPrepared(FJComm::PORT_TYPE_BT);
}

bool EmGnss_Receiver::Port_Open(FJComm::PARAM_SOCK param) {
    if (!prepareForOpen()) return false;
    Set_PortPar(param);
    return OpenPrepared(FJComm::PORT_TYPE_SOCK);
}

bool EmGnss_Receiver::Port_Open(const char* path) {
    // A path that would not fit the stored one is refused before anything
    // changes.
    if (path && strnlen(path, kMaxPathLength + 1) > kMaxPathLength) return false;
    if (!prepareForOpen()) return false;
    Set_PortPar(path);
    return OpenPrepared(FJComm::PORT_TYPE_VIRTUAL);
}

bool EmGnss_Receiver::OpenPrepared(FJComm::PORT_TYPE type) {
    void* settings = nullptr;
    switch (type) {
    case FJComm::PORT_TYPE_COM: settings = &comParam; break;
    case FJComm::PORT_TYPE_BT: settings = &btParam; break;
    case FJComm::PORT_TYPE_SOCK: settings = &sockParam; break;
    case FJComm::PORT_TYPE_VIRTUAL: settings = filePath; break;
    }
    FJComm::IPort* created = nullptr;
    if (services->CreatePort(type, settings, &created) != FJComm::PORT_OK || !created) return false;
    port = created;
    {
        Em_CrtSect_Lock lock(protocolLock);
        if (type == FJComm::PORT_TYPE_COM) gnss->Set_Com_Status(FJParse::COM_STATUS_SERIAL);
        if (type == FJComm::PORT_TYPE_BT) gnss->Set_Com_Status(FJParse::COM_STATUS_BLUETOOTH);
    }
    portType = type;
    if (!Port_StarThrd()) {
        // Nothing keeps running: the port goes, the protocol object stays
        // until Port_Close as after a refused port.
        services->ExitPort(&port);
        port = nullptr;
        return false;
    }
    return true;
}

bool EmGnss_Receiver::Port_StarThrd() {
    // Cleared first, so that no signal given once a thread runs is lost.
    ResetAllEvent();
    if (services->StartThread(processingThread, [this] { ProcessData(); }) &&
        services->StartThread(readingThread, [this] { ReadData(); }) &&
        services->StartThread(writingThread, [this] { WriteData(); })) {
        rcdforthreads("Start Threads \r\n", 3);
        return true;
    }
    exitEvent.Set();
    if (port) port->Uninitialize();
    StopThreads();
    ResetAllEvent();
    return false;
}

// ---------------------------------------------------------------- closing

bool EmGnss_Receiver::OnOwnThread() const {
    const std::thread::id self = std::this_thread::get_id();
    return self == processingThread.get_id() || self == readingThread.get_id() ||
           self == writingThread.get_id();
}

void EmGnss_Receiver::StopThreads() {
    if (writingThread.joinable()) writingThread.join();
    if (readingThread.joinable()) readingThread.join();
    if (processingThread.joinable()) processingThread.join();
}

void EmGnss_Receiver::ResetAllEvent() {
    exitEvent.Reset();
    resetMainBoardEvent.Reset();
    resetManufacturerEvent.Reset();
    writeEvent.Reset();
    dataEvent.Reset();
}

void EmGnss_Receiver::ClearQueue() {
    Em_CrtSect_Lock lock(queueLock);
    commandQueue.clear();
}

bool EmGnss_Receiver::Port_Close() {
    // A thread of this object cannot wait for itself.
    if (OnOwnThread()) return false;
    rcdforthreads("Close Port Begin \r\n", 3);
    exitEvent.Set();
    // Releases a read or write waiting inside the port, so its thread reaches
    // the exit event.
    if (port) port->Uninitialize();
    StopThreads();
    rcdforthreads("All thread finished\r\n", 3);
    ResetAllEvent();
    if (port) services->ExitPort(&port);
    rcdforthreads("Close Port End\r\n", 3);
    // Records sent while no writer ran (a failed open) go with the link.
    ClearQueue();
    {
        Em_CrtSect_Lock lock(protocolLock);
        delete gnss;
        gnss = nullptr;
    }
    return port == nullptr;
}

bool EmGnss_Receiver::Port_ReOpen(FJComm::PARAM_COM param) { return Port_Close() && Port_Open(param); }
bool EmGnss_Receiver::Port_ReOpen(FJComm::PARAM_BT param) { return Port_Close() && Port_Open(param); }
bool EmGnss_Receiver::Port_ReOpen(FJComm::PARAM_SOCK param) { return Port_Close() && Port_Open(param); }
bool EmGnss_Receiver::Port_ReOpen(const char* path) { return Port_Close() && Port_Open(path); }

bool EmGnss_Receiver::IsPortOpen() { return port != nullptr && port->IsOpen(); }

void EmGnss_Receiver::Port_SetBuf(unsigned size) {
    // At least one byte: a read of none would never take anything in.
    if (port && size > 0 && size < kReadBufferSize) readSize = size;
}

void EmGnss_Receiver::Port_SetBaud(unsigned baud) {
    if (IsSerialRateOfTheReceiver(baud)) services->SetBaud(baud);
}

// ---------------------------------------------------------------- resets

void EmGnss_Receiver::ReSetGnsMd(MAINBD_OEM_TYPE board) {
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return;
    oemType = board;
    resetMainBoardEvent.Set();
}

void EmGnss_Receiver::ReSetMnfctr(GNSS_MANUFACTURER m) {
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss || m == manufacturer) return;
    manufacturer = m;
    resetManufacturerEvent.Set();
}

void EmGnss_Receiver::OnResetMainBoardEvent() {
    rcdforthreads("write thread Evnt2 begin \r\n", 2);
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return;
    // The maker's receiver whose device information names the new-protocol
    // board (type 0) is read through the new-protocol format from now on,
    // and the other way round; other makers keep their format.
    gnss->SwitchProtocolFor(oemType);
    gnss->Reset_GnsMd(oemType);
    gnss->Data_Clear();
    gnss->IsOemChanged(true);
    rcdforthreads("write thread Evnt2 end\r\n", 2);
    oemType = gnss->Get_GnsMd();
}

void EmGnss_Receiver::OnResetManufactureEvent() {
    rcdforthreads("write thread Evnt3 begin \r\n", 2);
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return;
    const MAINBD_OEM_TYPE board = gnss->Get_GnsMd();
    gnss->Reset_Mnfctr(manufacturer);
    // The board keeps its protocol across the change.
    gnss->SwitchProtocolFor(board);
    gnss->Reset_GnsMd(board);
    gnss->Data_Clear();
    gnss->IsOemChanged(true);
    rcdforthreads("write thread Evnt3 true\r\n", 2);
    manufacturer = gnss->Get_Mnfctr();
}

// ---------------------------------------------------------------- sending

void EmGnss_Receiver::Cmds_Write(std::vector<_STR_CMD>& commands) {
    for (const _STR_CMD& command : commands) {
        Em_CrtSect_Lock lock(queueLock);
        if (commandQueue.size() >= kMaxQueuedCommands) continue;
        try {
            commandQueue.push_back(command);
        } catch (const std::bad_alloc&) {
            // dropped like a record beyond the limit
        }
    }
    writeEvent.Set();
}

void EmGnss_Receiver::Send_DataToPort(unsigned char* data, unsigned length) {
    if (!data || length == 0) return;
    std::vector<_STR_CMD> commands;
    // The queue never holds more than 40 records, so no more are built.
    Build([&] {
        for (uint64_t offset = 0; offset < length && commands.size() < kMaxQueuedCommands; offset += kRawChunk) {
            _STR_CMD& record = commands.emplace_back();
            std::memset(&record, 0, sizeof record);
            const uint32_t n = uint32_t(std::min<uint64_t>(kRawChunk, length - offset));
            std::memcpy(record.data, data + offset, n);
            record.delay = kRawDelay;
            record.length = n;
        }
    });
    Em_CrtSect_Lock lock(protocolLock);
    Cmds_Write(commands);
}

void EmGnss_Receiver::Send_DiffDataToGnss(unsigned char* data, unsigned length) {
    if (!data || length == 0) return;
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return;
    std::vector<_STR_CMD> commands;
    Build([&] { gnss->Send_DiffDataToGnss(commands, data, length); });
    Cmds_Write(commands);
}

void EmGnss_Receiver::Send_200Data(bool on) {
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss) return;
    // The maker's new-protocol board has no periodic output to switch.
    if (gnss->IsOrvelNewProtocolReceiver()) return;
    keepAlive = on;
    std::vector<_STR_CMD> commands;
    Build([&] { gnss->Get_200Data(commands, on); });
    Cmds_Write(commands);
}

void EmGnss_Receiver::Send_OvMdl(unsigned mode) {
    // The lock is held through the sleeps: the writing thread needs only the
    // queue lock to send the command, and nothing may parse until the
    // receiver has switched.
    Em_CrtSect_Lock lock(protocolLock);
    if (!gnss || portType == FJComm::PORT_TYPE_VIRTUAL) return;
    std::vector<_STR_CMD> commands;

    if (gnss->IsOrvelNewProtocolReceiver()) {
        Build([&] { gnss->Get_Cmd_Com_Direct(commands, FJParse::OV_COM_DIRECT_ENUM(mode)); });
        Cmds_Write(commands);
        services->Sleep(kModeSwitchSleep);
        gnss->Data_Clear();
        return;
    }

    // A Trimble BD board on a serial line talks at 38400 in pass-through and
    // at 9600 to the receiver itself.
    const bool trimbleOnSerial = gnss->GetMainBdType() == FJParse::MAINBD_TRIMBLE_BD && port &&
                                 gnss->Get_Com_Status() == FJParse::COM_STATUS_SERIAL;
    if (mode == 1) {
        // The command goes out at the old rate, then the line follows.
        Build([&] { gnss->Get_OvMdl(commands, 1); });
        Cmds_Write(commands);
        services->Sleep(kModeSwitchSleep);
        gnss->Data_Clear();
        if (trimbleOnSerial) {
            comParam.baud = 38400;
            services->SetBaud(38400);
        }
        if (manufacturer != FJParse::GNSS_MNFCTR_OTHER) {
            manufacturer = FJParse::GNSS_MNFCTR_OTHER;
            resetManufacturerEvent.Set();
        }
    } else {
        // Back to the receiver's own rate before the command.
        if (trimbleOnSerial) {
            comParam.baud = 9600;
            services->SetBaud(9600);
        }
        Build([&] { gnss->Get_OvMdl(commands, mode); });
        Cmds_Write(commands);
        services->Sleep(kModeSwitchSleep);
        gnss->Data_Clear();
        if (manufacturer != FJParse::GNSS_MNFCTR_ORVEL) {
            manufacturer = FJParse::GNSS_MNFCTR_ORVEL;
            resetManufacturerEvent.Set();
        }
    }
}

GNSS_MANUFACTURER EmGnss_Receiver::Get_Gnss_Manufacturer() {
    Em_CrtSect_Lock lock(protocolLock);
    return gnss ? gnss->Get_Mnfctr() : FJParse::GNSS_MNFCTR_NONE;
}

MAINBD_OEM_TYPE EmGnss_Receiver::Get_MAINBD_OEM_TYPE() {
    Em_CrtSect_Lock lock(protocolLock);
    return gnss ? gnss->Get_GnsMd() : FJParse::MAINBD_ORVEL_NEW;
}

void EmGnss_Receiver::Cmd_WrtEnvt() { writeEvent.Set(); }

bool EmGnss_Receiver::ThrdsSupded() { return false; }

void EmGnss_Receiver::ThrdsRusm() {}

// ---------------------------------------------------------------- threads

void EmGnss_Receiver::RcvData(const unsigned char* data, unsigned length) {
    if (receiveEnabled && data && length && gnss) gnss->RcvData(data, length);
}

void EmGnss_Receiver::ProcessData() {
    rcdforthreads("parse thread begin \r\n", 1);
    platform::Event* const events[] = {&exitEvent, &dataEvent};
    for (;;) {
        const int which = platform::Event::WaitAny(events, 2);
        if (which == 0) break;
        if (which == 1) {
            Em_CrtSect_Lock lock(protocolLock);
            if (gnss) gnss->ParseData();
        }
    }
    rcdforthreads("parse thread return \r\n", 1);
    std::fputs("\nProcessing Thread Quiting\n", stdout);
}

// A pass begins with a wait on what the thread serves. After a read that
// brought bytes, or on a port that has no wait of its own, that is the exit
// event for 1 ms: a busy line is read once a millisecond. After a read that
// found nothing, it is the line, the exit event (Port_Close releases the
// line's wait) or the next keep-alive, whichever comes first, so an idle
// connection costs close to nothing while bytes still reach the parser as they
// arrive. A line that says it is readable and then gives nothing is paced by
// the 1 ms wait on the next pass; a serial line that hung up does not say so
// (its wait lasts like a quiet line's), so a pulled adapter costs no more
// than an idle one.
void EmGnss_Receiver::ReadData() {
    rcdforthreads("read thread begin \r\n", 0);
    char buffer[kReadBufferSize];
    bool waitOnLine = false;
    uint32_t nextPassMs = 1;
    for (;;) {
        int waited = -1;
        uint32_t waitedMs = 0;
        if (waitOnLine && port) {
            const uint32_t start = platform::TickCount();
            waited = port->WaitForData(nextPassMs);
            // Only a port that really waited stands for passes not made: on
            // one without a wait of its own, time the thread lost to the
            // machine is no pass.
            if (waited >= 0) waitedMs = platform::TickCount() - start;
        }
        if (waited < 0) {
            if (exitEvent.Wait(1)) break;
        } else if (exitEvent.Wait(0)) {
            break;
        }
        // Both exist for the whole life of the thread; the check costs nothing.
        if (!gnss || !port) continue;
        const uint32_t size = std::min<uint32_t>(readSize.load(), kReadBufferSize);
        unsigned n = port->ReadData(buffer, size);
        if (n > size) n = size;  // never more than the buffer holds
        if (n) {
            RcvData(reinterpret_cast<const unsigned char*>(buffer), n);
            dataEvent.Set();
        }
        waitOnLine = n == 0 && waited != 1;
        // The milliseconds spent waiting on the line stand for the passes the
        // thread did not make meanwhile.
        nextPassMs = SendKeepAliveWhenDue(std::max<uint32_t>(1, waitedMs));
    }
    rcdforthreads("read thread return \r\n", 0);
    std::fputs("\nReading Thread Quiting\n", stdout);
}

uint32_t EmGnss_Receiver::SendKeepAliveWhenDue(uint32_t passes) {
    // Not the maker's receiver, or held off: the count stands, and the thread
    // looks again within one keep-alive period.
    if (!keepAlive || Get_Gnss_Manufacturer() != FJParse::GNSS_MNFCTR_ORVEL) return kKeepAlivePasses;
    std::atomic<int32_t>& counter = KeepAliveCounter();
    int32_t seen = counter.load();
    for (;;) {
        // Every pass but this one only counts; this one sends when the count
        // has reached the period.
        const int32_t counted =
            seen < kKeepAlivePasses ? int32_t(std::min<int64_t>(int64_t(seen) + passes - 1, kKeepAlivePasses)) : seen;
        if (counted < kKeepAlivePasses) {
            if (counter.compare_exchange_weak(seen, counted + 1)) return uint32_t(kKeepAlivePasses - counted);
        } else if (counter.compare_exchange_weak(seen, 1)) {
            break;
        }
    }
    Send_200Data(true);
    return kKeepAlivePasses;
}

void EmGnss_Receiver::WriteData() {
    rcdforthreads("write thread begin \r\n", 2);
    // An earlier entry wins when several are signalled: exit first.
    platform::Event* const events[] = {&exitEvent, &resetMainBoardEvent, &resetManufacturerEvent, &writeEvent};
    for (;;) {
        switch (platform::Event::WaitAny(events, 4)) {
        case 0:
            ClearQueue();
            rcdforthreads("write thread return \r\n", 2);
            std::fputs("\nWriting Thread Quiting\n", stdout);
            return;
        case 1: OnResetMainBoardEvent(); break;
        case 2: OnResetManufactureEvent(); break;
        case 3: OnWriteEvent(); break;
        default: break;
        }
    }
}

void EmGnss_Receiver::OnWriteEvent() {
    rcdforthreads("write thread Evnt1\r\n", 2);
    // One signal drains the whole queue, each record followed by its pause.
    for (;;) {
        _STR_CMD record;
        {
            Em_CrtSect_Lock lock(queueLock);
            if (commandQueue.empty()) return;
            record = commandQueue.front();
            commandQueue.pop_front();
        }
        const uint32_t length = std::min<uint32_t>(record.length, sizeof record.data);
        // A short or failed write is not retried.
        if (length) (void)port->WriteData(reinterpret_cast<const char*>(record.data), length);
        if (services->Pause(exitEvent, std::min(record.delay, kMaxCommandDelay))) return;
    }
}

// ---------------------------------------------------------------- records

void EmGnss_Receiver::rcdforthreads(const char* message, int kind) {
#ifdef BRANTOR_HANDHELD
    static const char* const kFiles[] = {"\\Read_Thread_Record.txt", "\\Parse_Thread_Record.txt",
                                         "\\Write_Thread_Record.txt", "\\Main_Thread_Record.txt"};
    // Opened and closed for every record, so that each is on disk even if
    // the process dies right after it; a file that cannot be opened costs
    // the record and nothing else.
    FILE* f = std::fopen(platform::ResolveRootPath(kFiles[kind >= 0 && kind <= 2 ? kind : 3]).c_str(), "a+");
    if (!f) return;
    std::fprintf(f, "%ld,", long(platform::TickCount()));
    for (const char* c = message; c && *c; ++c) std::fputc(*c, f);
    std::fclose(f);
#else
    (void)message;
    (void)kind;
#endif
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
