#pragma once

#include "program/Widget.h"

#include <memory>

class AntennaTypeList;
class QAction;

namespace Fjarnis2011::FJParse {
struct Static_Point;
}

namespace Ui {
class StaticMode;
}

// The page "Internal Recording": how the receiver records static data (how
// recording starts, how long a session runs, the sample interval, the
// elevation mask) and, when asked for, the antenna parameters of the
// occupied point. It also starts and ends a recording. It reads through
// DeviceManager's requests and cache and writes through its set operations.
class Static : public Widget {
    Q_OBJECT

public:
    static constexpr unsigned kDeviceInfoBit = 1;
    static constexpr unsigned kStaticPointBit = 0x200;
    static constexpr int kReadTimeoutMs = 4000;
    static constexpr int kSetPauseMs = 2000;
    // The record's name field holds 35 bytes with the terminating zero.
    static constexpr int kPointNameBytes = 34;

    explicit Static(QWidget* parent = nullptr);
    ~Static() override;

    void refresh() override;
    bool writesSettings() const override;

    unsigned receivedMask() const { return pageRead().received(); }
    bool reading() const { return pageRead().running(); }
    bool writing() const { return writing_; }

    // The memory text of a device-information memory code ("" for a code
    // the receiver does not define).
    static QString memoryText(int code);

public slots:
    void sendCommand();
    void onSetTimeout();
    void setInfo();
    void onBegin();
    void onEnd();
    void onDeviceInfo();
    void onCheckBoxAdvance(int state);
    void onStaticPointInfo();
    void on_comboBox_record_method_currentIndexChanged();
    void on_comboBox_record_period_currentIndexChanged();
    void on_comboBox_sample_gap_currentIndexChanged();
    void on_lineEdit_Point_textChanged();
    void on_comboBox_antenna_type_currentIndexChanged();
    void on_comboBox_survey_to_currentIndexChanged();
    void on_lineEdit_antenna_height_textChanged();
    void on_leMask_textChanged();

private:
    void hookObserver(bool hook);
    void showDeviceInfo();
    // The point the receiver last reported or was last told; with none
    // known, its fields are empty.
    void showStaticPoint();
    void finishIfComplete(unsigned reply);
    void endRead();
    void clearForm();
    void setFormEnabled(bool on);
    void fillPoint();

    Ui::StaticMode* ui_;
    QAction* start_ = nullptr;
    QAction* stop_ = nullptr;
    std::unique_ptr<AntennaTypeList> antennas_;
    std::unique_ptr<Fjarnis2011::FJParse::Static_Point> point_;
    // A reply counts only while a read waits for it.
    bool waitingInfo_ = false;
    bool waitingPoint_ = false;
    bool writing_ = false;
};
