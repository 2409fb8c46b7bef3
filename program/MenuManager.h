#pragma once

#include "program/Widget.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

class QAction;
class QTimerEvent;

// The first page of the main window: one large button per function of the
// program. A function is offered when a receiver is ready and able to do it
// (and its page exists; on a receiver of the maker's new protocol, only the
// functions the program can carry out there); "Exit" ends the program
// through CloseAppDialog.
class MenuManager : public Widget {
    Q_OBJECT

public:
    static constexpr int kEntries = 10;
    // The exit road's pause that lets the receiver object write the
    // power-off or pass-through command before the port closes.
    static constexpr int kExitWaitMs = 500;

    explicit MenuManager(QWidget* parent = nullptr);
    ~MenuManager() override;

    QAction* entry(int index) const;
    QAction* entry(const QString& command) const;
    // The commands that have a page in the main window; the other entries
    // (but "Exit") stay disabled.
    void setAvailablePages(const QStringList& commands);
    bool exitPending() const { return exitTimer_ != 0; }

signals:
    void command(const QString& cmd);

public slots:
    void onAction(QAction* a);
    void onWorkingStatus(int status);
    void onStartCloseDialog();
    void onDeviceColsed();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void shutDown();
    void applyStatus(int status);

    QVector<QAction*> entries_;
    QSet<QString> available_;
    int status_ = 0;
    int exitTimer_ = 0;
    bool closing_ = false;
};
