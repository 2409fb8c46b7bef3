#include "program/pages/DataChain.h"

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "ui_DataChain.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kItemGprs = 0;
constexpr int kItemRadio = 1;
// The call-sign record's text holds at most this many characters; the byte
// behind them is the text's length.
constexpr int kCallsignChars = int(Fjarnis2011::FJParse::Radio_Callsign::kMaxText);
constexpr int kCallsignLengthByte = int(Fjarnis2011::FJParse::Radio_Callsign::kLengthByte);

}  // namespace

DataChain::DataChain(QWidget* parent) : Widget(parent), ui_(new Ui::DataChain) {
    ui_->setupUi(this);
    back_ = createAction(tr("Back"), this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    if (parent) connect(back_, &QAction::triggered, parent, &QWidget::close);
    connect(get_, &QAction::triggered, this, &DataChain::sendCommand);
    connect(set_, &QAction::triggered, this, &DataChain::setInfo);

    radio_ = new DataChain_Radio(this);
    radio_->hide();
    net_ = new DataChain_Net(this);
    net_->hide();

    ui_->cbDataChain->addItem(tr("GPRS"), kItemGprs);
    ui_->cbDataChain->addItem(tr("Internal UHF"), kItemRadio);
    ui_->cbDataChain->setCurrentIndex(-1);
    ui_->datachainLayout->setColumnStretch(1, 1);
    connect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this, &DataChain::onDataLinkTypeChanged);

    connect(net_, &DataChain_Net::enableInterface, this, &DataChain::onEnableNetInterface);
    connect(radio_, &DataChain_Radio::gotData, this, &DataChain::onGotRadioData);

    pageRead().expect(kLinkTypeBit);
    pageRead().onTimeout([this](unsigned received) {
        setBusy(false);
        watchLinkType(false);
        if (received != kLinkTypeBit &&
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get data link type!"), QMessageBox::Ok) ==
                QMessageBox::Ok)
            setPageEnabled(true);
    });
    netRead_.onTimeout([this](unsigned) {
        setBusy(false);
        net_->hookReadSignals(false);
        // Nothing read is told as a whole; a part of the link not reported,
        // by its name.
        if (net_->nothingRead())
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get net parameters!"), QMessageBox::Ok);
        else
            net_->tellUnreported();
        setPageEnabled(true);
    });
    radioRead_.onTimeout([this](unsigned) {
        setBusy(false);
        radio_->watchReceiver(false);
        if (radio_->noReply())
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get parameters!"), QMessageBox::Ok);
        setPageEnabled(true);
    });
}

DataChain::~DataChain() {
    delete ui_;
    clearActions();
}

bool DataChain::writesSettings() const { return true; }

void DataChain::watchLinkType(bool on) {
    DeviceObserver* observer = DeviceObserver::instance();
    disconnect(observer, &DeviceObserver::radioProtocol, this, &DataChain::onRadioProtocol);
    // The observer emits on the receiver's thread: the automatic connection
    // runs the slot later on the GUI thread.
    if (on) connect(observer, &DeviceObserver::radioProtocol, this, &DataChain::onRadioProtocol);
}

void DataChain::resetLinkType() {
    disconnect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this, &DataChain::onDataLinkTypeChanged);
    ui_->cbDataChain->setCurrentIndex(-1);
    connect(ui_->cbDataChain, &QComboBox::currentIndexChanged, this, &DataChain::onDataLinkTypeChanged);
}

void DataChain::setPageEnabled(bool enabled) {
    ui_->cbDataChain->setEnabled(enabled);
    for (QAction* a : {back_, get_, set_}) a->setEnabled(enabled);
    net_->setFormEnabled(enabled);
    radio_->setFieldsEnabled(enabled);
}

void DataChain::onSetEditorEnabled(bool enabled) {
    ui_->cbDataChain->setEnabled(enabled);
    for (QAction* a : {back_, get_, set_}) a->setEnabled(enabled);
}

void DataChain::sendCommand() {
    setBusy(true);
    watchLinkType(false);
    pageRead().forget(kLinkTypeBit);
    resetLinkType();
    setPageEnabled(false);
    if (DeviceManager::instance()->newProtocol()) {
        // The network form reads again, and gives the page back.
        ui_->cbDataChain->setCurrentIndex(kItemGprs);
        return;
    }
    watchLinkType(true);
    radio_->inSetting = false;
    DeviceManager::instance()->sendRadioFrq();
    pageRead().start(kLinkTypeBit, kLinkTypeWaitMs);
}

void DataChain::refresh() {
    // Back from the call sign page: the page keeps what it shows.
    if (radio_->inSetting) return;
    resetLinkType();
    // A receiver on the maker's new protocol reports no link type, and its
    // radio is reached by no request of this page: its link is the network
    // link, whose form reads and writes it.
    const bool newProtocol = DeviceManager::instance()->newProtocol();
    if (auto* choices = qobject_cast<QStandardItemModel*>(ui_->cbDataChain->model()))
        if (QStandardItem* radio = choices->item(kItemRadio)) radio->setEnabled(!newProtocol);
    if (newProtocol) {
        ui_->cbDataChain->setCurrentIndex(kItemGprs);
        return;
    }
    watchLinkType(true);
    DeviceManager::instance()->sendRadioFrq();
}

void DataChain::onRadioProtocol() {
    DeviceManager::Rdo_Mdl protocol{};
    DeviceManager::instance()->transmitMdl(protocol);
    if (int(protocol) == -1) return;
    linkMode_ = int(protocol);
    const bool complete = pageRead().arrive(kLinkTypeBit);
    ui_->cbDataChain->setCurrentIndex(linkMode_ != 0 ? kItemRadio : kItemGprs);
    if (complete) watchLinkType(false);
}

void DataChain::onDataLinkTypeChanged(int index) {
    if (index == kItemGprs) showNetPage();
    if (index == kItemRadio) showRadioPage();
}

void DataChain::swapIn(QWidget* page) {
    for (QWidget* old : std::as_const(shown_)) {
        old->hide();
        ui_->datachainLayout->removeWidget(old);
    }
    shown_.clear();
    ui_->datachainLayout->addWidget(page, 1, 0, 1, 2);
    page->show();
    shown_.push_back(page);
}

void DataChain::showNetPage() {
    net_->clearForm();
    swapIn(net_);
    net_->hookReadSignals(false);
    radio_->inSetting = false;
    radioRead_.stop();
    netRead_.start(kNetWaitMs);
    net_->hookReadSignals(true);
    net_->read();
}

void DataChain::showRadioPage() {
    if (radio_->inSetting) return;
    radio_->resetForm();
    swapIn(radio_);
    radio_->watchReceiver(false);
    disconnect(radio_->callsignButton(), &QPushButton::clicked, this, &DataChain::onCallsign);
    netRead_.stop();
    radioRead_.start(kRadioWaitMs);
    connect(radio_->callsignButton(), &QPushButton::clicked, this, &DataChain::onCallsign);
    radio_->watchReceiver(true);
    radio_->load();
    radio_->setProtocol(linkMode_);
}

void DataChain::onEnableNetInterface(bool enabled) {
    if (enabled && netRead_.running()) {
        netRead_.stop();
        net_->hookReadSignals(false);
    }
    setBusy(!enabled);
    setPageEnabled(enabled);
}

void DataChain::onGotRadioData() {
    radio_->watchReceiver(false);
    radioRead_.stop();
    setBusy(false);
    setPageEnabled(true);
}

bool DataChain::validate() {
    QList<int> results;
    const QVariant data = ui_->cbDataChain->currentData();
    results.push_back(ui_->cbDataChain->currentIndex() >= 0 ? 1 : 0);
    if (data.isValid() && data.toInt() != 0 && ui_->cbDataChain->currentIndex() > 0) results.push_back(radio_->check());
    if (data.isValid() && data.toInt() == 0) results.push_back(net_->checkInput());
    if (results.contains(0)) {
        QMessageBox::warning(this, tr("Warning"), tr("Please enter parameters!"), QMessageBox::Ok);
        return false;
    }
    return !results.contains(-1);
}

void DataChain::setInfo() {
    setFocus();
    if (!validate()) return;
    setBusy(true);
    setPageEnabled(false);
    if (ui_->cbDataChain->currentData().toInt() != 0) {
        radio_->apply();
    } else if (!net_->applySettings()) {
        setBusy(false);
        setPageEnabled(true);
        return;
    }
    QTimer::singleShot(kSetPauseMs, Qt::PreciseTimer, this, &DataChain::onSetTimeout);
}

void DataChain::onSetTimeout() {
    setBusy(false);
    setPageEnabled(true);
}

void DataChain::onCallsign() {
    const DataChain_Radio::Radio_Callsign record = radio_->callsign;
    // The record's length byte comes from the receiver: at most the
    // characters the text area holds.
    const int length = std::clamp<int>(uint8_t(record.message[kCallsignLengthByte]), 0, kCallsignChars);
    params.clear();
    params.insert(QStringLiteral("CSState"), record.state != 0);
    params.insert(QStringLiteral("CSInterval"), int(record.interval));
    params.insert(QStringLiteral("CSMessage"), QString::fromLatin1(record.message, length));
    params.insert(QStringLiteral("CSLength"), length);
    emit command(QStringLiteral("Callsign"));
}

void DataChain::setParams(QHash<QString, QVariant>& settings) {
    DataChain_Radio::Radio_Callsign& record = radio_->callsign;
    record.state = settings.value(QStringLiteral("CSState")).toBool() ? 1 : 0;
    record.interval = decltype(record.interval)(settings.value(QStringLiteral("CSInterval")).toInt());
    const QByteArray message = settings.value(QStringLiteral("CSMessage")).toString().toLatin1();
    // Never more than the record holds, nor more than the text brings.
    const int length = std::min({std::max(0, settings.value(QStringLiteral("CSLength")).toInt()),
                                 int(message.size()), kCallsignChars});
    std::copy_n(message.constData(), length, record.message);
    record.message[kCallsignLengthByte] = char(length);
    radio_->inSetting = settings.value(QStringLiteral("InSetting")).toBool();
}
