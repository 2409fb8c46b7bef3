#pragma once

#include "program/Widget.h"

#include <cstdint>

class QAction;
class QLineEdit;

namespace Ui {
class InlayNet_Widget;
}

// The four dial-up fields of the receiver's GPRS modem with their input
// rules and the check made before they are written.
class InlayNet_Widget : public Widget {
    Q_OBJECT

public:
    // Every text ends in a 55-byte field of the modem's service record,
    // whose last byte is the terminating zero.
    static constexpr int32_t kFieldCapacity = 54;

    explicit InlayNet_Widget(QWidget* parent = nullptr);
    ~InlayNet_Widget() override;

    QLineEdit* apn() const;
    QLineEdit* dialNumber() const;
    QLineEdit* userName() const;
    QLineEdit* password() const;

    void clearFields();
    // Required fields and texts the rules accept, then the length of user
    // name and password together; shows the reason and returns false when
    // the form cannot be written.
    bool checkForm();
    int32_t totalLimit() const { return total_; }

public slots:
    void on_lineEdit_APN_textChanged();
    void on_lineEdit_serverNum_textChanged();

private:
    Ui::InlayNet_Widget* ui_;
    int32_t total_ = 0;
};

// The page "APN Settings": reads the modem's dial-up settings from the
// receiver and writes them back as one service record.
class InlayNet : public Widget {
    Q_OBJECT

public:
    static constexpr int kModemRecordBit = 8;
    static constexpr int kAllReplies = kModemRecordBit;
    static constexpr int kReadTimeoutMs = 3000;
    static constexpr int kSetPauseMs = 1000;

    explicit InlayNet(QWidget* parent = nullptr);
    ~InlayNet() override;

    void refresh() override;
    bool writesSettings() const override;

    InlayNet_Widget* form() const { return form_; }
    int receivedMask() const { return int(pageRead().received()); }
    bool reading() const { return pageRead().running(); }
    bool writing() const { return writing_; }

public slots:
    void sendCommand();
    void setInfo();
    void onSetTimeout();
    void onWirelessParamters();

private:
    void hookObserver(bool hook);
    void setFormEnabled(bool enabled);

    InlayNet_Widget* form_;
    bool writing_ = false;
    // True while an answer is awaited: one that comes later is not taken.
    bool hooked_ = false;
};
