#pragma once

#include "program/Widget.h"

class QAction;
class QTimerEvent;

namespace Ui {
class Info;
}

// The read-only page of what the receiver says about itself: model, serial
// and part number, production date, firmware and modem version, battery.
// It asks DeviceManager for the three replies, waits for the observer's
// signals and fills its fields from the cached values. It can also reset the
// receiver.
class Info : public Widget {
    Q_OBJECT

public:
    static constexpr int kDeviceInfoBit = 1;
    static constexpr int kBatteryBit = 2;
    static constexpr int kGprsVersionBit = 4;
    static constexpr int kAllReplies = kDeviceInfoBit | kBatteryBit | kGprsVersionBit;
    static constexpr int kReadTimeoutMs = 3000;
    static constexpr int kResetWaitMs = 30000;

    explicit Info(QWidget* parent = nullptr);
    // Ends the program's device access: the receiver object goes with
    // DeviceManager, then the observer.
    ~Info() override;

    void refresh() override;

    int replyMask() const { return int(pageRead().received()); }
    bool reading() const { return pageRead().running(); }
    bool resetting() const { return resetTimer_ != 0; }

public slots:
    void sendCommand();
    void onDeviceInfo();
    void onBatteryLife(int rate);
    void onGPRSVersion();
    void reset();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void hookObserver(bool hook);
    void finishIfComplete(unsigned reply);
    void setKeysEnabled(bool enabled);
    void clearFields();

    Ui::Info* ui_;
    int resetTimer_ = 0;
    // True while the page waits for replies: a reply that comes after the
    // request ended is not taken.
    bool hooked_ = false;
};
