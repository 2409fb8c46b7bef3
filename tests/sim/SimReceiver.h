#pragma once

#include "tests/sim/ReceiverModel.h"

#include <condition_variable>
#include <deque>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace sim {

// A receiver of the maker's old protocol (or, with NewProtocolSettings(), of
// the new one) at the far end of a pseudo-terminal.
// Start() opens the pair and runs the line on its own thread; the opener of
// SlavePath() (or of COM n after RegisterAsCom(n)) talks to it as to a real
// receiver. Every command frame is recorded for the test to check.
//
// The line speed is the one the opener's settings hold when the line thread
// reads the bytes; a receiver set to another speed hears only noise. The
// simulator keeps the slave side open itself, so the line stays up between
// openers; what it sends while nobody has the line open waits in the line's
// queue (an opener that purges on open, as the serial port does, drops it).
//
//   sim::SimReceiver sim;              // settings: SimSettings defaults
//   sim.SetBaud(19200);
//   ASSERT_TRUE(sim.Start());
//   sim.RegisterAsCom(1);              // FJCOMM_COM1 -> the slave side
//   ... open COM1 at 19200 and talk ...
//   ASSERT_TRUE(sim.WaitForCommand("SI"));
//   auto cmds = sim.Received();
//   sim.Stop();                        // also done by the destructor
class SimReceiver {
public:
    explicit SimReceiver(SimSettings settings = {});
    ~SimReceiver();
    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    // Opens the pseudo-terminal and starts the line thread. False (with a
    // reason in *error when given) when already running or the pair cannot be
    // opened.
    bool Start(std::string* error = nullptr);
    // Stops and joins the line thread and closes both sides. Idempotent.
    void Stop();
    bool Running() const;

    // The path of the slave side, empty before Start().
    std::string SlavePath() const;
    // Points COM port n of this process at the slave side.
    void RegisterAsCom(int n) const;

    // Settings may change at any time; they apply from the next byte on.
    void SetBaud(uint32_t baud);
    void SetBehaviour(Behaviour behaviour);
    void Update(const std::function<void(SimSettings&)>& change);
    SimSettings Settings() const;

    // Answers to commands that arrive before the tick count `tick` leave at
    // that tick, all together: a receiver that answers late, by a time the
    // test chooses. Answers already waiting are not held back.
    void HoldRepliesUntil(uint32_t tick);

    // Switches a powered-off receiver back on.
    void PowerOn();
    // Sends bytes out of the receiver as they are (unsolicited frames, noise).
    void Send(const std::vector<uint8_t>& bytes);

    std::vector<ReceivedCommand> Received() const;
    std::vector<ReceivedCommand> Received(std::string_view letters) const;
    void ClearReceived();
    SimStatus Status() const;
    // Output dropped because nobody read the line for a long while.
    uint64_t DroppedBytes() const;

    // Waits until at least count frames with these letters (or module
    // requests with this id) have been received; false on timeout.
    bool WaitForCommand(std::string_view letters, size_t count = 1, uint32_t timeoutMs = 5000);
    bool WaitForModuleRequest(int id, size_t count = 1, uint32_t timeoutMs = 5000);
    // New protocol: waits for count messages that carry an item with this
    // parameter id; ReceivedItem lists them.
    bool WaitForNewItem(uint16_t id, size_t count = 1, uint32_t timeoutMs = 5000);
    std::vector<ReceivedCommand> ReceivedItem(uint16_t id) const;
    // Waits until the predicate, run under the simulator's lock, holds.
    bool WaitUntil(const std::function<bool(const ReceiverModel&)>& done, uint32_t timeoutMs = 5000);

private:
    void Run();
    void Wake();
    void QueueLocked(const std::vector<uint8_t>& bytes);
    void WriteOut();

    mutable std::mutex mu_;
    std::condition_variable changed_;
    ReceiverModel model_;
    std::vector<uint8_t> outbound_;  // bytes waiting for room on the line
    // Answers held back by the reply delay, with the tick they are due at.
    std::deque<std::pair<uint32_t, std::vector<uint8_t>>> delayed_;
    uint32_t holdUntil_ = 0;
    bool holding_ = false;
    uint64_t droppedBytes_ = 0;      // outbound bytes dropped while nobody read the line
    bool stop_ = false;
    int master_ = -1;
    int slave_ = -1;  // kept open so that the line stays up between openers
    int wake_ = -1;   // eventfd
    std::string slavePath_;
    std::thread thread_;
};

}  // namespace sim
