#include "fjcomm/SerialPort.h"

#include "platform/ComPorts.h"
#include "platform/ErrorCodes.h"
#include "platform/Paths.h"
#include "platform/Serial.h"
#include "platform/Time.h"

#include <cstring>
#include <limits>
#include <string>

namespace Fjarnis2011 {
namespace FJComm {

namespace {

std::mutex g_traceMutex;
std::weak_ptr<SerialTraceFiles> g_trace;

std::shared_ptr<SerialTraceFiles> AcquireTraceFiles() {
    std::lock_guard<std::mutex> lock(g_traceMutex);
    std::shared_ptr<SerialTraceFiles> files = g_trace.lock();
    if (!files) {
        files = std::make_shared<SerialTraceFiles>();
        g_trace = files;
    }
    return files;
}

// The write time-out of the line: 10 ms per byte plus 1000 ms.
uint32_t WriteTimeoutMs(unsigned size) {
    const uint64_t ms = 1000 + uint64_t(size) * 10;
    return ms > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max() : uint32_t(ms);
}

void CopyParam(const PARAM_COM& p, int32_t& port, int32_t& baud, int32_t& parity, int32_t& byteSize,
               int32_t& stopBits, int32_t& inQueue, int32_t& outQueue) {
    port = p.port;
    baud = p.baud > uint32_t(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                   : int32_t(p.baud);
    parity = p.parity;
    byteSize = p.byteSize;
    stopBits = p.stopBits;
    inQueue = int32_t(p.inQueueSize & 0x7FFFFFFFu);
    outQueue = int32_t(p.outQueueSize & 0x7FFFFFFFu);
}

}  // namespace

SerialTraceFiles::SerialTraceFiles() {
    write = std::fopen(platform::ResolveRootPath("serial_w.log").c_str(), "a");
    read = std::fopen(platform::ResolveRootPath("serial_r.log").c_str(), "a");
}

SerialTraceFiles::~SerialTraceFiles() {
    if (write) std::fclose(write);
    if (read) std::fclose(read);
}

void SerialTraceLine(FILE* file, const uint8_t* bytes, size_t count) {
    if (!file) return;
    std::string line;
    line.reserve(14 + count * 4 + 1);
    char head[24];
    std::snprintf(head, sizeof head, "%012d: ", int(platform::TickCount()));
    line += head;
    static const char kHex[] = "0123456789abcdef";
    for (size_t i = 0; bytes && i < count; ++i) {
        const uint8_t b = bytes[i];
        if (b >= 0x21 && b <= 0x7E) {
            line += char(b);
        } else {
            line += '[';
            line += kHex[b >> 4];
            line += kHex[b & 0x0F];
            line += ']';
        }
    }
    line += '\n';
    // Errors on a trace file are not the port's business.
    [[maybe_unused]] const size_t n = std::fwrite(line.data(), 1, line.size(), file);
}

namespace {

// The desktop build traces what the line delivers and what it refuses; the
// handheld build keeps the files open but writes nothing.
void Trace(const std::shared_ptr<SerialTraceFiles>& files, bool readSide, const void* bytes, size_t count) {
#ifdef BRANTOR_HANDHELD
    (void)files;
    (void)readSide;
    (void)bytes;
    (void)count;
#else
    if (!files) return;
    std::lock_guard<std::mutex> lock(files->lock);
    SerialTraceLine(readSide ? files->read : files->write, static_cast<const uint8_t*>(bytes), count);
#endif
}

}  // namespace

SerialPort::SerialPort() : trace_(AcquireTraceFiles()) {}

SerialPort::SerialPort(int port, int baud) : port_(port), baud_(baud) {}

SerialPort::~SerialPort() { Uninitialize(); }

unsigned SerialPort::Initialize(void* param) {
    if (param == nullptr) return PORT_BAD_PARAMETER;
    // PARAM_COM and PARAM_BT share one layout; the port number is one byte.
    PARAM_COM p;
    static_assert(sizeof(PARAM_COM) == sizeof(PARAM_BT));
    std::memcpy(&p, param, sizeof p);

    Uninitialize();
    int32_t portNumber;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        CopyParam(p, port_, baud_, parity_, byteSize_, stopBits_, inQueueSize_, outQueueSize_);
        portNumber = port_;
    }

    auto line = std::make_shared<platform::SerialLine>();
    if (line->Open(platform::ComPortPath(portNumber)) != 0) return PORT_BAD_PARAMETER;
    // The code is the one of the set-up call that failed; dropping the line
    // closes it.
    const unsigned code = ApplyLineSettings(*line);
    if (code != 0) return code;

    std::lock_guard<std::mutex> lock(mutex_);
    line_ = std::move(line);
    return PORT_OK;
}

void SerialPort::Uninitialize() {
    std::shared_ptr<platform::SerialLine> line;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        line.swap(line_);
    }
    if (!line) return;
    line->Purge();
    // A writer still waiting for room returns; the descriptor closes when the
    // last thread using the line lets go of it.
    line->Cancel();
}

bool SerialPort::IsOpen() { return Line() != nullptr; }

unsigned SerialPort::ReadData(char* buffer, unsigned size) {
    const std::shared_ptr<platform::SerialLine> line = Line();
    if (!line || buffer == nullptr) return 0;
    uint32_t error = 0;
    const size_t n = line->Read(buffer, size, &error);
    if (n > 0) {
        Trace(trace_, true, buffer, n);
    } else if (error != 0) {
        static const char kFailed[] = "fail to read";
        Trace(trace_, true, kFailed, sizeof kFailed - 1);
    }
    return unsigned(n);
}

int SerialPort::WaitForData(uint32_t timeoutMs) {
    const std::shared_ptr<platform::SerialLine> line = Line();
    if (!line) return -1;
    return line->WaitReadable(timeoutMs) ? 1 : 0;
}

unsigned SerialPort::WriteData(const char* data, unsigned size) {
    const std::shared_ptr<platform::SerialLine> line = Line();
    if (!line || data == nullptr) return 0;
    uint32_t error = 0;
    const size_t n = line->Write(data, size, WriteTimeoutMs(size), &error);
    if (n == 0 && size > 0 && error != 0) {
        static const char kFailed[] = "fail";
        Trace(trace_, false, kFailed, sizeof kFailed - 1);
    }
    return unsigned(n);
}

unsigned SerialPort::ChangeBaud(unsigned baud) {
    const std::shared_ptr<platform::SerialLine> line = Line();
    if (!line) return PORT_BAD_PARAMETER;
    int32_t previous;
    platform::SerialSettings s;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        previous = baud_;
        baud_ = baud > unsigned(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                   : int32_t(baud);
        s = SettingsLocked();
    }
    if (const uint32_t code = line->Configure(s); code != 0) {
        // The line kept its speed; so does the port.
        std::lock_guard<std::mutex> lock(mutex_);
        baud_ = previous;
        return code;
    }
    return line->Purge();
}

platform::SerialSettings SerialPort::SettingsLocked() const {
    // Values that do not fit the line's fields are refused by Configure.
    auto fit8 = [](int32_t v) { return v >= 0 && v <= 255 ? uint8_t(v) : uint8_t(255); };
    platform::SerialSettings s;
    s.baud = baud_ < 0 ? 0 : uint32_t(baud_);
    s.byteSize = fit8(byteSize_);
    s.parity = fit8(parity_);
    s.stopBits = fit8(stopBits_);
    return s;
}

unsigned SerialPort::ApplyLineSettings(platform::SerialLine& line) const {
    platform::SerialSettings s;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        s = SettingsLocked();
    }
    // The driver's queue sizes are fixed on this system; they are kept only.
    if (const uint32_t code = line.Configure(s); code != 0) return code;
    return line.Purge();
}

std::shared_ptr<platform::SerialLine> SerialPort::Line() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return line_;
}

void SerialPort::SetParam(const PARAM_COM& p) {
    std::lock_guard<std::mutex> lock(mutex_);
    CopyParam(p, port_, baud_, parity_, byteSize_, stopBits_, inQueueSize_, outQueueSize_);
}

#define FJCOMM_SERIAL_FIELD(Get, Set, field)          \
    int32_t SerialPort::Get() const {                 \
        std::lock_guard<std::mutex> lock(mutex_);     \
        return field;                                 \
    }                                                 \
    void SerialPort::Set(int32_t v) {                 \
        std::lock_guard<std::mutex> lock(mutex_);     \
        field = v;                                    \
    }

FJCOMM_SERIAL_FIELD(GetPort, SetPort, port_)
FJCOMM_SERIAL_FIELD(GetBaud, SetBaudRate, baud_)
FJCOMM_SERIAL_FIELD(GetParity, SetParity, parity_)
FJCOMM_SERIAL_FIELD(GetByteSize, SetByteSize, byteSize_)
FJCOMM_SERIAL_FIELD(GetStopBits, SetStopBits, stopBits_)
FJCOMM_SERIAL_FIELD(GetInQueueSize, SetInQueueSize, inQueueSize_)
FJCOMM_SERIAL_FIELD(GetOutQueueSize, SetOutQueueSize, outQueueSize_)

#undef FJCOMM_SERIAL_FIELD

}  // namespace FJComm
}  // namespace Fjarnis2011
