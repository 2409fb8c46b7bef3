#include "program/MenuManager.h"

#include "program/CloseAppDialog.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QTimerEvent>
#include <QToolButton>

namespace {

struct Entry {
    const char* text;
    const char* command;
    unsigned capability;  // bits of DeviceManager::capabilityMask that must all be set; 0: always offered
    // Offered on a receiver connected on the maker's new protocol. The other
    // pages read and write the receiver only through requests of the old
    // protocol, which such a receiver does not answer; the data link page
    // works there with its network form only, and the server list is the
    // program's own.
    bool onNewProtocol;
};

constexpr Entry kEntryTable[MenuManager::kEntries] = {
    {QT_TRANSLATE_NOOP("MenuManager", "Connection"), "Connection", 0, true},
    {QT_TRANSLATE_NOOP("MenuManager", "Device Info."), "Info", 0x1, true},
    {QT_TRANSLATE_NOOP("MenuManager", "Internal Recording"), "Static", 0x2, false},
    {QT_TRANSLATE_NOOP("MenuManager", "RTK"), "RTK", 0x4, false},
    {QT_TRANSLATE_NOOP("MenuManager", "GPRS And Internal UHF"), "DataLink", 0x8 | 0x10, true},
    {QT_TRANSLATE_NOOP("MenuManager", "APN Settings"), "APNConfig", 0x8, false},
    {QT_TRANSLATE_NOOP("MenuManager", "NMEA Output"), "0183OutPut", 0x20, false},
    {QT_TRANSLATE_NOOP("MenuManager", "Radio Channel"), "RadioChannel", 0x10, false},
    {QT_TRANSLATE_NOOP("MenuManager", "Server Settings"), "ServerConfig", 0x8, true},
    {QT_TRANSLATE_NOOP("MenuManager", "Exit"), "Exit", 0, true},
};

constexpr int kConnectionEntry = 0;
constexpr int kExitEntry = MenuManager::kEntries - 1;

}  // namespace

MenuManager::MenuManager(QWidget* parent) : Widget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    for (int i = 0; i < kEntries; ++i) {
        const Entry& e = kEntryTable[i];
        auto* action = new QAction(tr(e.text), this);
        action->setData(QString::fromLatin1(e.command));
        entries_.push_back(action);

        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("menuButton_%1").arg(QString::fromLatin1(e.command)));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setDefaultAction(action);
        grid->addWidget(button, i, 0, 1, -1);
        if (i == kExitEntry)
            connect(button, &QToolButton::triggered, this, &MenuManager::onStartCloseDialog);
        else
            connect(button, &QToolButton::triggered, this, &MenuManager::onAction);
    }
    applyStatus(0);

    DeviceObserver* observer = DeviceObserver::instance();
    observer->subscribe(this, SIGNAL(workingStatus(int)), SLOT(onWorkingStatus(int)));
    observer->subscribe(this, SIGNAL(deviceClosed()), SLOT(onDeviceColsed()));
}

MenuManager::~MenuManager() {
    if (QLayout* grid = layout()) {
        while (QLayoutItem* item = grid->takeAt(0)) {
            delete item->widget();
            delete item;
        }
    }
}

QAction* MenuManager::entry(int index) const {
    return index >= 0 && index < entries_.size() ? entries_[index] : nullptr;
}

QAction* MenuManager::entry(const QString& command) const {
    for (QAction* a : entries_)
        if (a->data().toString() == command) return a;
    return nullptr;
}

void MenuManager::setAvailablePages(const QStringList& commands) {
    available_ = QSet<QString>(commands.begin(), commands.end());
    applyStatus(status_);
}

void MenuManager::onAction(QAction* a) {
    if (a) emit command(a->data().toString());
}

void MenuManager::onWorkingStatus(int status) { applyStatus(status); }

void MenuManager::applyStatus(int status) {
    status_ = status;
    unsigned mask = 0;
    bool newProtocol = false;
    if (status == 4) {
        DeviceManager* manager = DeviceManager::instance();
        manager->capabilityMask(mask);
        newProtocol = manager->newProtocol();
    }
    for (int i = 0; i < kEntries; ++i) {
        const Entry& e = kEntryTable[i];
        bool on = true;
        if (i != kConnectionEntry && i != kExitEntry)
            on = status == 4 && (mask & e.capability) == e.capability && (e.onNewProtocol || !newProtocol) &&
                 available_.contains(QString::fromLatin1(e.command));
        entries_[i]->setEnabled(on);
    }
}

void MenuManager::onStartCloseDialog() {
    // A second Exit while the receiver is being powered off or switched
    // would send the command twice.
    if (exitTimer_ != 0 || closing_) return;
    DeviceManager* manager = DeviceManager::instance();
    if (manager->connectionState() != 4) {
        // Still opening or closing: there is nothing to ask, but the
        // receiver is let go before the program ends.
        shutDown();
        return;
    }

    CloseAppDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    // The connection may have ended while the dialog was open; a command
    // then has no receiver to go to.
    if (manager->connectionState() != 4) {
        shutDown();
        return;
    }
    switch (dialog.choice()) {
    case 1:
        manager->powerOffReceiver();
        exitTimer_ = startTimer(kExitWaitMs, Qt::PreciseTimer);
        break;
    case 2:
        manager->setPassThrough(true);
        exitTimer_ = startTimer(kExitWaitMs, Qt::PreciseTimer);
        break;
    default:
        shutDown();
        break;
    }
}

void MenuManager::onDeviceColsed() {
    if (exitTimer_ != 0) {
        killTimer(exitTimer_);
        exitTimer_ = 0;
    }
    shutDown();
}

void MenuManager::timerEvent(QTimerEvent* event) {
    if (event->timerId() != exitTimer_ || exitTimer_ == 0) {
        Widget::timerEvent(event);
        return;
    }
    killTimer(exitTimer_);
    exitTimer_ = 0;
    shutDown();
}

void MenuManager::shutDown() {
    closing_ = true;
    if (DeviceManager* manager = DeviceManager::existing()) manager->disconnectDevice();
    QApplication::closeAllWindows();
    // With a page on top of the menu the main window stays open and the
    // program goes on.
    closing_ = false;
}
