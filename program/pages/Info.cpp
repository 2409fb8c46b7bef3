#include "program/pages/Info.h"

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "protocol/Em_Types.h"
#include "ui_Info.h"

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimerEvent>

#include <cstring>

namespace {

// A fixed text field of the device record up to its first zero byte (never
// past the field), read as Latin-1.
template <size_t N>
QString FieldText(const char (&field)[N]) {
    return QString::fromLatin1(field, qsizetype(strnlen(field, N)));
}

}  // namespace

Info::Info(QWidget* parent) : Widget(parent), ui_(new Ui::Info) {
    ui_->setupUi(this);
    const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
    for (QLineEdit* field : fields) field->setReadOnly(true);

    QAction* back = createAction(tr("Back"), this);
    QAction* reset = createAction(tr("Reset"), this);
    QAction* get = createAction(tr("Get"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(reset, &QAction::triggered, this, &Info::reset);
    connect(get, &QAction::triggered, this, &Info::sendCommand);
    pageRead().expect(kAllReplies);
    pageRead().onTimeout([this](unsigned received) {
        setBusy(false);
        hookObserver(false);
        if (received == 0)
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get parameters!"), QMessageBox::Ok);
        setKeysEnabled(true);
    });
}

Info::~Info() {
    hookObserver(false);
    pageRead().stop();
    if (resetTimer_) killTimer(resetTimer_);
    delete ui_;
    // The manager stops the receiver's threads before it goes; they report
    // through the observer, which therefore goes after it.
    delete DeviceManager::existing();
    delete DeviceObserver::existing();
    clearActions();
}

void Info::hookObserver(bool hook) {
    DeviceObserver* observer = hook ? DeviceObserver::instance() : DeviceObserver::existing();
    hooked_ = hook;
    if (!observer) return;
    observer->unsubscribe(SIGNAL(deviceInfo()), this);
    observer->unsubscribe(SIGNAL(batteryLife(int)), this);
    observer->unsubscribe(SIGNAL(gprsVersion()), this);
    if (!hook) return;
    observer->subscribe(this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    observer->subscribe(this, SIGNAL(batteryLife(int)), SLOT(onBatteryLife(int)));
    observer->subscribe(this, SIGNAL(gprsVersion()), SLOT(onGPRSVersion()));
}

void Info::setKeysEnabled(bool enabled) {
    const QList<QAction*> keys = actions();
    for (QAction* key : keys) key->setEnabled(enabled);
}

void Info::clearFields() {
    const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
    for (QLineEdit* field : fields) field->clear();
}

void Info::sendCommand() {
    setBusy(true);
    hookObserver(false);
    clearFields();
    setKeysEnabled(false);

    hookObserver(true);
    DeviceManager::instance()->sendInfoRequests();
    pageRead().start(kAllReplies, kReadTimeoutMs);
}

void Info::refresh() {
    // The cached device information and modem version show at once; the
    // battery is asked for anew, and its answer is awaited even after an
    // earlier complete read.
    pageRead().forget(kBatteryBit);
    hookObserver(true);
    onDeviceInfo();
    onGPRSVersion();
    DeviceManager::instance()->sendBattery();
}

void Info::onDeviceInfo() {
    if (!hooked_) return;
    const DeviceManager::DEVICE_STR info = DeviceManager::instance()->deviceInfo();
    ui_->lineEdit_style->setText(FieldText(info.model));
    ui_->lineEdit_SN->setText(FieldText(info.serialNumber));
    ui_->lineEdit_PN->setText(FieldText(info.partNumber));
    ui_->lineEdit_produceDate->setText(FieldText(info.productionDate));
    // The firmware version is always its four characters.
    ui_->lineEdit_version->setText(QString::fromLatin1(info.firmwareVersion, 4));
    finishIfComplete(kDeviceInfoBit);
}

void Info::onBatteryLife(int rate) {
    if (!hooked_) return;
    ui_->lineEdit_Baterry->setText(QStringLiteral("%1%").arg(rate * 10));
    finishIfComplete(kBatteryBit);
}

void Info::onGPRSVersion() {
    if (!hooked_) return;
    // A modem version the receiver never reported stays empty.
    const DeviceManager* manager = DeviceManager::instance();
    ui_->lineEdit_GPRSVersion->setText(manager->hasGprsVersion() ? QString::number(manager->gprsVersion(), 'f', 2)
                                                                 : QString());
    finishIfComplete(kGprsVersionBit);
}

void Info::finishIfComplete(unsigned reply) {
    if (!pageRead().arrive(reply)) return;
    setBusy(false);
    setKeysEnabled(true);
    hookObserver(false);
}

void Info::reset() {
    setBusy(true);
    setKeysEnabled(false);
    if (resetTimer_) killTimer(resetTimer_);
    resetTimer_ = startTimer(kResetWaitMs, Qt::PreciseTimer);
    DeviceManager::instance()->sendGnssReset();
}

void Info::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id != 0 && id == resetTimer_) {
        killTimer(resetTimer_);
        resetTimer_ = 0;
        setBusy(false);
        setKeysEnabled(true);
    } else {
        Widget::timerEvent(event);
    }
}
