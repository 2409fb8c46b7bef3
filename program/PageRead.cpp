#include "program/PageRead.h"

PageRead::PageRead() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (timedOut_) timedOut_(received_);
    });
}

void PageRead::onTimeout(std::function<void(unsigned)> handler) { timedOut_ = std::move(handler); }

void PageRead::start(unsigned expected, int limitMs) {
    expected_ = expected;
    received_ = 0;
    timer_.start(limitMs);
}

bool PageRead::arrive(unsigned bit) {
    received_ |= bit;
    if (received_ != expected_) return false;
    timer_.stop();
    return true;
}
