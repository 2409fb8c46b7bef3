#pragma once

#include <QTimer>

#include <functional>

// One read of a page: the page asks the receiver and subscribes to the
// replies it expects, then the read ends when every expected reply came or
// its time limit ran out. Which replies, which limit and what the page does
// at either end stay the page's own; this keeps what came and the timer, so
// every page reads the same way.
class PageRead {
public:
    PageRead();
    PageRead(const PageRead&) = delete;
    PageRead& operator=(const PageRead&) = delete;

    // What the page does when the time limit runs out, with the replies
    // that came by then (0: none came).
    void onTimeout(std::function<void(unsigned received)> handler);

    // The replies that complete a read, also one the page did not start
    // itself (replies it hooked for when shown).
    void expect(unsigned expected) { expected_ = expected; }
    // Starts a read: nothing has come yet, `expected` is awaited for
    // `limitMs` (a precise timer).
    void start(unsigned expected, int limitMs);
    // Starts a read whose end its form tells (`stop`), or the time limit.
    void start(int limitMs) { start(0, limitMs); }
    // A reply came. True when it completes the read: every expected reply
    // is in, and the time limit is stopped.
    bool arrive(unsigned bit);
    // Notes a value shown from the cache, outside any read.
    void note(unsigned bit) { received_ |= bit; }
    // Awaits a reply again that had come before.
    void forget(unsigned bit) { received_ &= ~bit; }
    // Ends the read without its time limit running out.
    void stop() { timer_.stop(); }

    bool running() const { return timer_.isActive(); }
    unsigned received() const { return received_; }
    bool nothingCame() const { return received_ == 0; }

private:
    QTimer timer_;
    unsigned expected_ = 0;
    unsigned received_ = 0;
    std::function<void(unsigned)> timedOut_;
};
