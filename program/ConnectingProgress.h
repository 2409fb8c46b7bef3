#pragma once

#include <QProgressDialog>
#include <QStringList>

class DeviceObserver;
class QTimer;

// The modal progress dialog shown while a connection is being opened. It
// follows the observer's workingStatus(int): each state shows its text, and
// state 4 (initialised) accepts the dialog. Its timeout cancels it.
class ConnectingProgress : public QProgressDialog {
    Q_OBJECT
public:
    ConnectingProgress(QWidget* parent, DeviceObserver* observer, int timeoutMs);
    ~ConnectingProgress() override;

    // Runs the dialog modally; the timeout counts from here.
    int exec() override;
    // Cancels the dialog while it runs; nothing otherwise.
    void abort();

    bool isActive() const { return active_; }

    // The dialog is seen only while a connection attempt runs: Qt's own
    // minimum-duration timer, which starts at construction and again on a
    // value at the minimum, must never bring it up over the page by itself.
    void setVisible(bool visible) override;
    const QStringList& stateTexts() const { return texts_; }

public slots:
    void onWorkingStatus(int status);
    void onTimeout();
    void onDone();

private:
    QStringList texts_;
    bool active_ = false;
    int timeoutMs_;
    QTimer* timer_;  // child: it dies with the dialog, so a late timeout cannot fire
};
