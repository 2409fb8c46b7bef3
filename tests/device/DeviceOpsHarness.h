#pragma once

// What the tests of the receiver object's command, getter and setter
// operations share: a receiver of one kind on a fake port with its twin (a
// protocol object built the same way and fed the same replies, whose own
// output is what the receiver must write), the capture of what one call
// writes, the receiver's replies as "$$" frames written from their wire
// layout, and a callback table whose hook runs inside the data callback.

#include "tests/device/ReceiverTestSupport.h"

#include "protocol/Em_Gnss.h"
#include "protocol/newproto/Em_TlvPacker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace device_ops {

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;
using Fjarnis2011::FJDevice::EmGnss_Receiver;
using Commands = std::vector<_STR_CMD>;

// ---------------------------------------------------------------- receivers

enum class Kind {
    OldSerial,     // the maker's receiver with an old-protocol board, on a serial line
    OldBluetooth,  // the same on a Bluetooth serial line (another frame mode)
    NewProtocol,   // the maker's receiver with the new-protocol board
    OtherMaker,    // another maker's receiver: no command of the maker applies
    OtherNovAtel,  // another maker's receiver with a NovAtel board (NMEA of every talker)
};

struct KindInfo {
    GNSS_MANUFACTURER maker;
    MAINBD_OEM_TYPE board;
    Com_Status link;
    const char* name;
};

inline KindInfo Info(Kind k) {
    switch (k) {
    case Kind::OldSerial: return {GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, COM_STATUS_SERIAL, "old protocol, serial"};
    case Kind::OldBluetooth:
        return {GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, COM_STATUS_BLUETOOTH, "old protocol, Bluetooth"};
    case Kind::NewProtocol: return {GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW, COM_STATUS_SERIAL, "new protocol"};
    case Kind::OtherNovAtel:
        return {GNSS_MNFCTR_OTHER, MAINBD_NOVATEL_OEM, COM_STATUS_SERIAL, "other maker, NovAtel board"};
    default: return {GNSS_MNFCTR_OTHER, MAINBD_NMEA_ONLY, COM_STATUS_SERIAL, "other maker"};
    }
}

constexpr Kind kAllKinds[] = {Kind::OldSerial, Kind::OldBluetooth, Kind::NewProtocol, Kind::OtherMaker};

// Services whose writer can be held and parked. A held pause lasts until
// the test releases it (the writer stays inside its drain loop meanwhile). A
// parked pause ends as if the link were closing: the writer goes back to
// waiting with the rest of the queue still there, and only a write signal
// moves it on.
struct OpsWorld : FakeWorld {
    bool holdNextPause = false;
    bool releaseHold = false;
    int parkPauses = 0;
    // Each pause with the number of writes done before it, so that a pause
    // can be told to belong to the record just written; and the pauses over.
    std::vector<std::pair<uint32_t, size_t>> pausesAfterWrites;
    size_t pausesOver = 0;

    bool Pause(platform::Event& exitEvent, uint32_t ms) override {
        bool park;
        {
            std::unique_lock<std::mutex> lock(mutex);
            pausesAfterWrites.emplace_back(ms, ports.empty() ? 0 : ports.back()->writes.size());
            park = parkPauses > 0;
            if (park) --parkPauses;
            if (holdNextPause) {
                holdNextPause = false;
                Note("held");
                changed.wait(lock, [&] { return releaseHold || ports.back()->uninitialised; });
            }
        }
        const bool byExit = FakeWorld::Pause(exitEvent, ms);
        std::lock_guard<std::mutex> lock(mutex);
        ++pausesOver;
        if (park) Note("parked");
        changed.notify_all();
        return park || byExit;
    }

    size_t Count(const std::string& entry) {
        return size_t(std::count(log.begin(), log.end(), entry));
    }
};

// ---------------------------------------------------------------- callbacks

// The data callback of the tests: records each call and runs the test's hook
// inside it (on the processing thread, with the protocol lock held).
struct OpsCallbacks {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<int, unsigned>> calls;
    std::function<void(int, unsigned)> hook;

    static OpsCallbacks& Get() {
        static OpsCallbacks c;
        return c;
    }
    void Reset(std::function<void(int, unsigned)> h = nullptr) {
        std::lock_guard<std::mutex> lock(mutex);
        calls.clear();
        hook = std::move(h);
    }
    // Waits for a call (from index `from` on) that carries `bit`.
    bool WaitForBit(size_t from, unsigned bit) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, kPatience, [&] {
            for (size_t i = from; i < calls.size(); ++i)
                if (calls[i].second & bit) return true;
            return false;
        });
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return calls.size();
    }
    static void OnData(int messageClass, unsigned bits, const void*) {
        OpsCallbacks& c = Get();
        std::function<void(int, unsigned)> h;
        {
            std::lock_guard<std::mutex> lock(c.mutex);
            h = c.hook;
        }
        // The hook runs before the call is recorded, so that what it did is
        // done when a waiter sees the call.
        if (h) h(messageClass, bits);
        std::lock_guard<std::mutex> lock(c.mutex);
        c.calls.emplace_back(messageClass, bits);
        c.changed.notify_all();
    }
    static const _CALLBACKS_RECEIVER* Table() {
        static const _CALLBACKS_RECEIVER table{&OnData, nullptr};
        return &table;
    }
};

// ---------------------------------------------------------------- replies

// A "$$" reply frame: '$' '$', the two letters, the head byte, the payload
// length, the payload, the XOR of letters, head, length and payload, CR LF.
// The frame is sized once and filled in place: g++ 12 at -O2 takes the
// growth of a vector begun from a short brace list for an overrun.
inline Bytes DollarFrame(const char letters[2], uint8_t head, const Bytes& payload) {
    Bytes f(6 + payload.size() + 3);
    f[0] = '$';
    f[1] = '$';
    f[2] = uint8_t(letters[0]);
    f[3] = uint8_t(letters[1]);
    f[4] = head;
    f[5] = uint8_t(payload.size());
    std::copy(payload.begin(), payload.end(), f.begin() + 6);
    const size_t end = 6 + payload.size();
    uint8_t x = 0;
    for (size_t i = 2; i < end; ++i) x ^= f[i];
    f[end] = x;
    f[end + 1] = 0x0D;
    f[end + 2] = 0x0A;
    return f;
}

// A module reply carried in one "VI" frame (class 11, mode 1): 40, the reply
// id, 255 minus the id, the data length (u32, low byte first), the data, the
// XOR of the packet bytes so far, two trailing bytes.
inline Bytes ModuleReply(uint8_t id, const Bytes& data) {
    Bytes p{0x40, id, uint8_t(255 - id)};
    const uint32_t m = uint32_t(data.size());
    for (int i = 0; i < 4; ++i) p.push_back(uint8_t(m >> (8 * i)));
    p.insert(p.end(), data.begin(), data.end());
    uint8_t x = 0;
    for (uint8_t b : p) x ^= b;
    p.push_back(x);
    p.push_back(0x0D);
    p.push_back(0x0A);
    return DollarFrame("VI", 0x1B, p);
}

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The device-information reply: one "SI" frame carrying the whole 128-byte
// record of a NovAtel-board receiver.
inline Bytes DeviceInfoReply() {
    Bytes r(128, 0x00);
    auto put = [&](size_t at, const std::string& s) { std::copy(s.begin(), s.end(), r.begin() + long(at)); };
    put(0, "8427");          // 0-3: model code of a NovAtel OEM board (board type 2)
    put(5, "601234");        // 5-10: serial number
    put(12, "2011-06-15");   // 12-21: production date
    r[42] = 0x01;            // 42: record type automatic
    r[43] = 0x18;            // 43: record period 24 h
    r[49] = 0x05;            // 49: record interval 5 s
    put(52, "V8.1");         // 52-55: firmware version
    r[56] = 0x0D;            // 56: RTK elevation mask 13 degrees
    put(112, "FJ80427-01");  // 112-121: part number
    return DollarFrame("SI", 0x18, r);
}

// Module version "2.90": major 2, minor 90, which takes the newer parameter
// layout.
inline Bytes ModemVersionReply() { return ModuleReply(95, Text("2.90")); }

// ---------------------------------------------------------------- the rig

// What one call wrote: the bytes of each write and the pause after each
// record (records without bytes are paused after but not written).
struct Written {
    std::vector<Bytes> writes;
    std::vector<uint32_t> pauses;
};

// What a receiver must write for `expected`: every record with bytes, and
// each record's pause, capped at 3000 ms.
inline Written AsWritten(const Commands& expected) {
    Written w;
    for (const _STR_CMD& c : expected) {
        if (c.length) w.writes.push_back(Payload(c));
        w.pauses.push_back(std::min<uint32_t>(c.delay, EmGnss_Receiver::kMaxCommandDelay));
    }
    return w;
}

inline std::string Hex(const Bytes& b) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t x : b) {
        if (!s.empty()) s += ' ';
        s += digits[x >> 4];
        s += digits[x & 15];
    }
    return s;
}

inline void ExpectSame(const Written& got, const Commands& expected) {
    const Written want = AsWritten(expected);
    ASSERT_EQ(got.writes.size(), want.writes.size()) << "records written";
    for (size_t i = 0; i < want.writes.size(); ++i)
        EXPECT_EQ(Hex(got.writes[i]), Hex(want.writes[i])) << "record " << i;
    EXPECT_EQ(got.pauses, want.pauses) << "pauses";
}

class Rig {
public:
    // `standIns`: the protocol objects (the receiver's and the twin) get
    // stand-in boards; else the library's own boards.
    explicit Rig(Kind kind, bool callbacks = false, bool standIns = true) : info_(Info(kind)) {
        world.standInBoards = standIns;
        // Reads wait for a grant: the reading thread takes in only what the
        // test feeds and sends no keep-alive on its own.
        world.gateNewPorts = true;
        rx = std::make_unique<TestReceiver>(info_.maker, info_.board, &world);
        if (callbacks) rx->RegisterCbs_Receiver(OpsCallbacks::Table(), nullptr);
        Fjarnis2011::FJComm::PARAM_BT bt;
        opened = info_.link == COM_STATUS_BLUETOOTH ? rx->Port_Open(bt) : rx->Port_Open(Com(3));
        port = world.Port();
        twin.reset(standIns ? NewStandInProtocolObject(info_.maker, info_.board)
                            : new Em_Gnss(info_.maker, info_.board));
        twin->Set_Com_Status(info_.link);
        if (!opened || !port) {
            opened = false;
            return;
        }
        // The keep-alive switch goes out now, before anything is compared.
        rx->Send_200Data(false);
        Capture([] {});
    }
    ~Rig() { rx->Port_Close(); }

    const KindInfo& info() const { return info_; }

    // Runs `action` and returns what it made the receiver write: everything
    // before a sentinel record queued after it. The writer serves the queue
    // in order, so once the sentinel is out every pause before it is done.
    Written Capture(const std::function<void()>& action) {
        const size_t w0 = world.With([&] { return port->writes.size(); });
        const size_t p0 = world.With([&] { return world.pausesAfterWrites.size(); });
        action();
        std::vector<_STR_CMD> sentinel{Record(1, 0, 0xA5)};
        rx->Cmds_Write(sentinel);
        // The sentinel's write, and the pause after it (the first pause that
        // follows that write): everything before belongs to the action.
        size_t at = 0, sentinelPause = 0;
        const bool out = world.WaitUntil([&] {
            for (at = w0; at < port->writes.size(); ++at)
                if (port->writes[at] == Bytes{0xA5}) break;
            if (at == port->writes.size()) return false;
            for (sentinelPause = p0; sentinelPause < world.pausesAfterWrites.size(); ++sentinelPause)
                if (world.pausesAfterWrites[sentinelPause].second > at) return true;
            return false;
        });
        EXPECT_TRUE(out) << "the sentinel was never written";
        Written w;
        world.With([&] {
            if (!out) return;
            w.writes.assign(port->writes.begin() + long(w0), port->writes.begin() + long(at));
            for (size_t i = p0; i < sentinelPause; ++i) w.pauses.push_back(world.pausesAfterWrites[i].first);
        });
        return w;
    }

    // The link-frame sequence number before a receiver call, so that the
    // twin can number its frames alike.
    static uint8_t Sequence() { return PeekLinkSequence(); }

    // What the twin builds, numbering new-protocol frames from `sequence`.
    Commands Expect(uint8_t sequence, const std::function<void(Em_Gnss&, Commands&)>& build) {
        ResetLinkSequence(sequence);
        Commands out;
        build(*twin, out);
        return out;
    }

    // Hands `bytes` to the receiver through its port and to the twin, and
    // waits until the receiver's data callback has reported `bit`.
    void Feed(const Bytes& bytes, unsigned bit) {
        const size_t from = OpsCallbacks::Get().Count();
        world.With([&] {
            port->incoming.insert(port->incoming.end(), bytes.begin(), bytes.end());
            ++port->grantedPasses;
            world.changed.notify_all();
        });
        twin->RcvData(bytes.data(), unsigned(bytes.size()));
        twin->ParseData();
        ASSERT_TRUE(OpsCallbacks::Get().WaitForBit(from, bit)) << "no callback with bit " << std::hex << bit;
    }

    OpsWorld world;
    std::unique_ptr<TestReceiver> rx;
    std::unique_ptr<Em_Gnss> twin;
    FakePort* port = nullptr;
    bool opened = false;

private:
    KindInfo info_;
};

}  // namespace device_ops
