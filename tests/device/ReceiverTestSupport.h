#pragma once

// What the receiver-object tests share: a receiver whose command queue the
// test can fill directly, records with a chosen delay, and a recorder for the
// two callbacks (which carry no context, so the recorder is process-wide).

#include "device/EmGnss_Receiver.h"
#include "tests/device/FakeServices.h"

#include <mutex>
#include <thread>
#include <vector>

namespace device_fakes {

using Fjarnis2011::FJDevice::EmGnss_Receiver;
using Fjarnis2011::FJParse::_STR_CMD;

class TestReceiver : public EmGnss_Receiver {
public:
    using EmGnss_Receiver::EmGnss_Receiver;
    using EmGnss_Receiver::Cmds_Write;
};

// A record of `length` bytes, byte i being first + i, with the given delay.
inline _STR_CMD Record(uint32_t length, uint32_t delay, uint8_t first = 0) {
    _STR_CMD r;
    std::memset(&r, 0, sizeof r);
    for (uint32_t i = 0; i < length && i < sizeof r.data; ++i) r.data[i] = uint8_t(first + i);
    r.length = length;
    r.delay = delay;
    return r;
}

inline Bytes Payload(const _STR_CMD& r) { return Bytes(r.data, r.data + r.length); }

struct CallbackEvent {
    bool oem;            // onOemChanged, else onData
    int messageClass;
    unsigned bits;
    bool changed;
    const void* context;
    std::thread::id thread;
};

// Collects the callbacks of every receiver object of the test.
struct CallbackRecorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CallbackEvent> events;
    std::function<void()> onOem;  // runs inside onOemChanged
    std::function<void(int, unsigned)> onData;  // runs inside onData

    static CallbackRecorder& Get() {
        static CallbackRecorder r;
        return r;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex);
        events.clear();
        onOem = nullptr;
        onData = nullptr;
    }
    void OnOemDo(std::function<void()> hook) {
        std::lock_guard<std::mutex> lock(mutex);
        onOem = std::move(hook);
    }
    void OnDataDo(std::function<void(int, unsigned)> hook) {
        std::lock_guard<std::mutex> lock(mutex);
        onData = std::move(hook);
    }
    size_t Count(bool oem) {
        std::lock_guard<std::mutex> lock(mutex);
        size_t n = 0;
        for (const auto& e : events) n += e.oem == oem;
        return n;
    }
    template <class Pred>
    bool WaitUntil(Pred pred) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kPatience, pred);
    }
    static void OnData(int messageClass, unsigned bits, const void* context) {
        auto& r = Get();
        std::function<void(int, unsigned)> hook;
        {
            std::lock_guard<std::mutex> lock(r.mutex);
            hook = r.onData;
        }
        // The hook runs first, so that what it took is there when a waiter
        // sees the event.
        if (hook) hook(messageClass, bits);
        std::lock_guard<std::mutex> lock(r.mutex);
        r.events.push_back({false, messageClass, bits, false, context, std::this_thread::get_id()});
        r.changed.notify_all();
    }
    static void OnOem(bool changed, const void* context) {
        auto& r = Get();
        std::function<void()> hook;
        {
            std::lock_guard<std::mutex> lock(r.mutex);
            r.events.push_back({true, 0, 0, changed, context, std::this_thread::get_id()});
            hook = r.onOem;
            r.changed.notify_all();
        }
        if (hook) hook();
    }
    static const Fjarnis2011::FJParse::_CALLBACKS_RECEIVER* Table() {
        static const Fjarnis2011::FJParse::_CALLBACKS_RECEIVER table{&OnData, &OnOem};
        return &table;
    }
};

// Queues a one-byte record (A5) and waits until it is written: everything
// queued before it has gone out by then.
inline void Drain(TestReceiver& rx, FakeWorld& world, FakePort* port) {
    std::vector<_STR_CMD> sentinel{Record(1, 0, 0xA5)};
    const size_t before = world.With([&] { return port->writes.size(); });
    rx.Cmds_Write(sentinel);
    ASSERT_TRUE(world.WaitUntil([&] {
        for (size_t i = before; i < port->writes.size(); ++i)
            if (port->writes[i] == Bytes{0xA5}) return true;
        return false;
    }));
}

inline Fjarnis2011::FJComm::PARAM_COM Com(uint8_t port, uint32_t baud = 9600) {
    Fjarnis2011::FJComm::PARAM_COM p;
    p.port = port;
    p.baud = baud;
    return p;
}

}  // namespace device_fakes
