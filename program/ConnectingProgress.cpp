#include "program/ConnectingProgress.h"

#include "program/DeviceObserver.h"

#include <QPushButton>
#include <QTimer>

ConnectingProgress::ConnectingProgress(QWidget* parent, DeviceObserver* observer, int timeoutMs)
    : QProgressDialog(QString(), tr("Cancel"), -1, 4, parent), timeoutMs_(timeoutMs),
      timer_(new QTimer(this)) {
    setWindowModality(Qt::WindowModal);
    setWindowFlags(windowFlags() & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));
    setWindowTitle(tr("Brantor"));
    setCancelButton(new QPushButton(tr("Cancel"), this));
    // The states run to 4 (the maximum) and the dialog decides itself what
    // the last one does: no automatic reset or close at the maximum.
    setAutoReset(false);
    setAutoClose(false);
    texts_ << tr("Closing Current Connection") << tr("Current Connection Closed") << tr("Opening Port")
           << tr("Opening Port Succeeded") << tr("Initializing") << tr("Initialized");

    if (observer)
        connect(observer, &DeviceObserver::workingStatus, this, &ConnectingProgress::onWorkingStatus);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &ConnectingProgress::onTimeout);
    timer_->start(timeoutMs_);
    connect(this, &QProgressDialog::canceled, this, &ConnectingProgress::onDone);
    connect(this, &QDialog::accepted, this, &ConnectingProgress::onDone);
    // Stops the minimum-duration timer the base started when it was built.
    reset();
}

ConnectingProgress::~ConnectingProgress() = default;

int ConnectingProgress::exec() {
    active_ = true;
    setValue(-1);
    // Every run gets the whole time, whatever an earlier run or the time
    // since construction used up.
    timer_->start(timeoutMs_);
    return QProgressDialog::exec();
}

void ConnectingProgress::setVisible(bool visible) {
    if (visible && !active_) return;
    QProgressDialog::setVisible(visible);
}

void ConnectingProgress::abort() {
    if (active_)
        emit canceled();
    active_ = false;
}

void ConnectingProgress::onWorkingStatus(int status) {
    if (!active_ || status < 0 || status > 5)
        return;
    const int mapped = status == 5 ? -1 : status;
    setLabelText(texts_.at(mapped + 1));
    setValue(mapped);
    if (mapped == maximum()) {
        // Once: accepting ends the run through onDone, which clears active.
        active_ = false;
        accept();
    }
}

void ConnectingProgress::onTimeout() { abort(); }

void ConnectingProgress::onDone() {
    active_ = false;
    timer_->stop();
    reset();
}
