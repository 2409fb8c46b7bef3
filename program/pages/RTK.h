#pragma once

#include "program/Widget.h"


namespace Ui {
class RTK;
}

// The page "RTK": what the receiver outputs and how often, whether it starts
// by itself as a base or a rover, through which port and in which format it
// sends differential data, the elevation mask and, for an automatic base on
// firmware that knows it, the distance setting. It reads the device
// information through DeviceManager and writes through its set operations.
class RTK : public Widget {
    Q_OBJECT

public:
    static constexpr unsigned kDeviceInfoBit = 1;
    static constexpr int kReadTimeoutMs = 4000;
    static constexpr int kSetPauseMs = 2000;

    explicit RTK(QWidget* parent = nullptr);
    ~RTK() override;

    void refresh() override;
    bool writesSettings() const override;

    unsigned receivedMask() const { return pageRead().received(); }
    bool reading() const { return pageRead().running(); }
    bool writing() const { return writing_; }

public slots:
    void onDeviceInfo();
    void sendCommand();
    void setInfo();
    void onSetTimeout();
    void on_comboBox_outPut_currentIndexChanged();
    void on_comboBox_startWay_currentIndexChanged(int index);
    void on_comboBox_sendPort_currentIndexChanged();
    void on_comboBox_diffMode_currentIndexChanged();
    void on_lineEdit_elevMask_textChanged();

private:
    void fillOutputModes();
    void hookObserver(bool hook);
    void showDeviceInfo();
    void endRead();
    void clearForm();
    void setFormEnabled(bool on);

    Ui::RTK* ui_;
    // A reply counts only while a read waits for it.
    bool waitingInfo_ = false;
    bool writing_ = false;
};
