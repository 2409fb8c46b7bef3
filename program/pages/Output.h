#pragma once

#include "program/Widget.h"

#include <QList>
#include <QTimer>

#include <cstdint>

class QCheckBox;
class QComboBox;

namespace Ui {
class Output;
}

// The page "NMEA Output": which NMEA sentences the receiver outputs, at which
// rate each, on which of its ports, and at which baud rate a serial port
// runs. It only writes; the sentence and rate lists follow the board of the
// receiver connected when the page is shown, ticked as that receiver was last
// told (it never reports its output).
class Output : public Widget {
    Q_OBJECT

public:
    static constexpr int kSetPauseMs = 1000;
    // Both receiver ports: where "Stop" silences the output.
    static constexpr int kBothPorts = 3;

    explicit Output(QWidget* parent = nullptr);
    ~Output() override;

    void refresh() override;

    // The sentence rows, in order.
    int rowCount() const { return int(rows_.size()); }
    QCheckBox* rowCheck(int row) const;
    QComboBox* rowRate(int row) const;
    bool sendsBaud() const { return sendBaud_; }
    bool writing() const { return pauseTimer_.isActive(); }

public slots:
    void onPickAll();
    void onAccept();
    void onStop();
    void onSetTimeout();

private:
    struct Row {
        QCheckBox* check;
        QComboBox* rate;
        uint32_t mask;
    };

    void removeRows();
    // Ticks the rows, rates, port and baud rate the receiver was last told.
    void showOutputSet();
    void setFormEnabled(bool on);
    void startPause(bool busy);

    Ui::Output* ui_;
    QList<Row> rows_;
    // Whether "Accept" also sets the receiver port's baud rate: only over a
    // serial line, decided each time the page is shown.
    bool sendBaud_ = true;
    // The pause after a write made the page busy (and only then ends it).
    bool pauseBusy_ = false;
    // The pause after a write; a second write restarts it.
    QTimer pauseTimer_;
};
