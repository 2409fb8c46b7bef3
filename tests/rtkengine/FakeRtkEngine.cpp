// A fake of the outside RTK engine: every call is recorded with its slot and
// arguments; the sink it is given is queried for the report interface, held
// by one reference and released when the engine is stopped or dies.

#include "tests/rtkengine/FakeRtkEngine.h"

#include "platform/RtkEngine.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using platform::Guid;
using platform::HRESULT;

// The ids the board asks for (written out here: the fake knows the engine's
// contract, not the library's code).
constexpr Guid kClass = {0x8675A3F6, 0x341E, 0x4024, {0x8B, 0xAD, 0xFE, 0x3B, 0x1A, 0xDE, 0x1C, 0xF1}};
constexpr Guid kInterface = {0xF24AC57E, 0x15B0, 0x45EF, {0x87, 0x0F, 0x68, 0x91, 0x2D, 0xBD, 0xF0, 0xE7}};
constexpr Guid kReportInterface = {0x5974F6D9, 0x4C8B, 0x4B54, {0xBB, 0x46, 0xD0, 0x12, 0x3F, 0x17, 0x07, 0x00}};
constexpr Guid kUnknownInterface = {0x01234567, 0x89AB, 0xCDEF, {1, 2, 3, 4, 5, 6, 7, 8}};

// Sizes of the records the board hands over.
constexpr size_t kStationSize = 72;
constexpr size_t kOptionsSize = 72;
constexpr size_t kObsSize = 40 + 28 * 40;
constexpr size_t kLog913Size = 388;
constexpr size_t kEphSize = 220;

class Engine;

class Recorder final : public fake_rtk::Control {
public:
    void Reset(int32_t infoCount) override {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
        infoCount_ = infoCount;
    }
    std::vector<fake_rtk::Call> Calls() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    int EnginesAlive() override { return alive_.load(); }
    uint32_t SinkRefsSeen() override { return sinkRefs_.load(); }
    bool ReportFromThread(const std::vector<uint8_t>& report) override;
    void WaitReports() override {
        std::vector<std::thread> threads;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            threads.swap(threads_);
        }
        for (std::thread& t : threads) t.join();
    }

    void Record(int slot, int64_t a = 0, int64_t b = 0, const void* bytes = nullptr, size_t n = 0) {
        fake_rtk::Call c;
        c.slot = slot;
        c.a = a;
        c.b = b;
        if (bytes && n) c.bytes.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + n);
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(c));
    }
    int32_t InfoCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return infoCount_;
    }

    std::atomic<int> alive_{0};
    std::atomic<uint32_t> sinkRefs_{0};
    std::mutex mutex_;
    Engine* newest_ = nullptr;  // guarded by mutex_
    std::vector<std::thread> threads_;

private:
    std::vector<fake_rtk::Call> calls_;
    int32_t infoCount_ = 1;
};

Recorder g_recorder;

class Engine final : public platform::IRtkEngine {
public:
    Engine() {
        g_recorder.alive_.fetch_add(1);
        std::lock_guard<std::mutex> lock(g_recorder.mutex_);
        g_recorder.newest_ = this;
    }
    ~Engine() {
        DropSink();
        std::lock_guard<std::mutex> lock(g_recorder.mutex_);
        if (g_recorder.newest_ == this) g_recorder.newest_ = nullptr;
        g_recorder.alive_.fetch_sub(1);
    }

    HRESULT QueryInterface(const Guid& iid, void** out) override {
        if (!out) return platform::kE_POINTER;
        if (iid == kInterface || iid == platform::kIID_IUnknown) {
            *out = static_cast<platform::IRtkEngine*>(this);
            AddRef();
            return platform::kS_OK;
        }
        *out = nullptr;
        return platform::kE_NOINTERFACE;
    }
    uint32_t AddRef() override { return refs_.fetch_add(1) + 1; }
    uint32_t Release() override {
        g_recorder.Record(2);
        const uint32_t left = refs_.fetch_sub(1) - 1;
        if (left == 0) delete this;
        return left;
    }

    HRESULT PutObservations(const void* r, int32_t* work) override { return Put(3, r, kObsSize, work); }
    HRESULT PutLog913(const void* r, int32_t* work) override { return Put(4, r, kLog913Size, work); }
    HRESULT AddStation(const void* r, int32_t* work) override { return Put(5, r, kStationSize, work); }
    HRESULT SetOptions(const void* r, int32_t* work) override { return Put(6, r, kOptionsSize, work); }
    HRESULT SetReport(platform::IReport* report, int32_t* work) override {
        g_recorder.Record(7, work != nullptr);
        if (!report) return platform::kE_POINTER;
        // A sink answers only what it is: an unknown id gets no interface.
        void* other = reinterpret_cast<void*>(1);
        if (report->QueryInterface(kUnknownInterface, &other) != platform::kE_NOINTERFACE || other) return platform::kE_FAIL;
        // Query and release once, as engines do to check the sink, then
        // keep one reference of our own.
        void* asked = nullptr;
        if (report->QueryInterface(kReportInterface, &asked) != platform::kS_OK || !asked) return platform::kE_FAIL;
        static_cast<platform::IReport*>(asked)->Release();
        DropSink();
        g_recorder.sinkRefs_.store(report->AddRef());
        std::lock_guard<std::mutex> lock(sinkMutex_);
        sink_ = report;
        return platform::kS_OK;
    }
    HRESULT Stop(int32_t arg) override {
        g_recorder.Record(8, arg);
        g_recorder.WaitReports();
        DropSink();
        return platform::kS_OK;
    }
    HRESULT PutEphemeris(const void* r, int32_t* work) override { return Put(9, r, kEphSize, work); }
    HRESULT Reserved10() override { return Other(10); }
    HRESULT Restart(int32_t a, int32_t b) override {
        g_recorder.Record(11, a, b);
        return platform::kS_OK;
    }
    HRESULT Start() override {
        g_recorder.Record(12);
        return platform::kS_OK;
    }
    HRESULT Reserved13() override { return Other(13); }
    HRESULT Reserved14() override { return Other(14); }
    HRESULT Reserved15() override { return Other(15); }
    HRESULT Reserved16() override { return Other(16); }
    HRESULT Reserved17() override { return Other(17); }
    HRESULT Reserved18() override { return Other(18); }
    HRESULT Reserved19() override { return Other(19); }
    HRESULT GetInfo(uint8_t* buffer, int32_t size, int32_t* count) override {
        g_recorder.Record(20, size, buffer != nullptr);
        if (buffer && size > 0) std::memset(buffer, 0, size_t(size));
        if (count) *count = g_recorder.InfoCount();
        return platform::kS_OK;
    }

    // Called on a report thread.
    void Report(const std::vector<uint8_t>& report) {
        std::lock_guard<std::mutex> lock(sinkMutex_);
        if (sink_) sink_->ReportSolution(nullptr, report.data());
    }
    bool HasSink() {
        std::lock_guard<std::mutex> lock(sinkMutex_);
        return sink_ != nullptr;
    }

private:
    HRESULT Put(int slot, const void* record, size_t n, int32_t* work) {
        g_recorder.Record(slot, work != nullptr, 0, record, record ? n : 0);
        return platform::kS_OK;
    }
    HRESULT Other(int slot) {
        g_recorder.Record(slot);
        return platform::kS_OK;
    }
    void DropSink() {
        platform::IReport* sink;
        {
            std::lock_guard<std::mutex> lock(sinkMutex_);
            sink = sink_;
            sink_ = nullptr;
        }
        if (sink) sink->Release();
    }

    std::atomic<uint32_t> refs_{0};
    std::mutex sinkMutex_;
    platform::IReport* sink_ = nullptr;
};

bool Recorder::ReportFromThread(const std::vector<uint8_t>& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    Engine* engine = newest_;
    if (!engine || !engine->HasSink()) return false;
    // The thread is joined before the engine drops its sink (Stop) or dies.
    threads_.emplace_back([engine, report] { engine->Report(report); });
    return true;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT RtkEngine_CreateInstance(const Guid* classId,
                                                                                   const Guid* interfaceId,
                                                                                   void** out) {
    if (!classId || !interfaceId || !out) return platform::kE_POINTER;
    *out = nullptr;
    if (!(*classId == kClass)) return platform::kCLASS_E_CLASSNOTAVAILABLE;
    Engine* engine = new Engine;
    const HRESULT hr = engine->QueryInterface(*interfaceId, out);
    if (hr != platform::kS_OK) delete engine;
    return hr;
}

extern "C" __attribute__((visibility("default"))) fake_rtk::Control* FakeRtk_Control() { return &g_recorder; }
