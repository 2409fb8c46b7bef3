#pragma once

// The recorder of the fake RTK engine (VirtRcv.so), reached by tests through
// the exported FakeRtk_Control after the engine library is loaded.

#include <cstdint>
#include <vector>

namespace fake_rtk {

struct Call {
    int slot = 0;
    int64_t a = 0;  // the integer arguments, where the slot has them
    int64_t b = 0;
    std::vector<uint8_t> bytes;  // a copy of the record handed over
};

class Control {
public:
    // Forgets the calls; slot 20 answers `infoCount` from now on.
    virtual void Reset(int32_t infoCount) = 0;
    virtual std::vector<Call> Calls() = 0;
    // Engines created and not yet destroyed.
    virtual int EnginesAlive() = 0;
    // The sink's reference count as the engine last saw it after AddRef.
    virtual uint32_t SinkRefsSeen() = 0;
    // Reports `report` (384 bytes) to the sink of the newest engine from a
    // thread of the engine's own; false when no engine holds a sink.
    virtual bool ReportFromThread(const std::vector<uint8_t>& report) = 0;
    // Joins the report threads started so far.
    virtual void WaitReports() = 0;

protected:
    ~Control() = default;
};

using ControlFn = Control* (*)();
inline constexpr const char* kControlName = "FakeRtk_Control";

}  // namespace fake_rtk
