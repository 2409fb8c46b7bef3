#include "program/pages/Connect.h"

#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/ConnectingProgress.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/SettingsSaveFailure.h"
#include "protocol/Em_Types.h"
#include "ui_Connect.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <atomic>
#include <cstring>
#include <string>

namespace {

// Read by the handheld's device-found callback on the search thread.
std::atomic<Connect*> g_connectPage{nullptr};

// The search row's texts by state: idle, searching, stopping.
const char* const kSearchTexts[3] = {
    QT_TRANSLATE_NOOP("Connect", "Search Device"),
    QT_TRANSLATE_NOOP("Connect", "Stop Searching"),
    QT_TRANSLATE_NOOP("Connect", "Stopping Searching..."),
};

const QColor kSelectedDevice(Qt::lightGray);

QString translateTerm(const std::wstring& text) {
    const QByteArray source = QString::fromStdWString(text).toUtf8();
    return QCoreApplication::translate("Translate", source.constData());
}

// A fixed text field of the device record up to its first zero byte, never
// past the field.
template <size_t N>
std::wstring FieldText(const char (&field)[N]) {
    const size_t n = strnlen(field, N);
    std::wstring out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) out.push_back(wchar_t(static_cast<unsigned char>(field[i])));
    return out;
}

QString DeviceRowText(const QString& name, uint64_t address) {
    const QString hex = QString::number(qulonglong(address), 16);
    if (name.contains(QStringLiteral("GNSS-"), Qt::CaseSensitive))
        return QStringLiteral("%1 (%2)").arg(name, hex);
    return QStringLiteral("GNSS-%1 (%2)").arg(name, hex);
}

}  // namespace

Connect::Connect(QWidget* parent) : Widget(parent), ui_(new Ui::Connect), parentWindow_(parent) {
    ui_->setupUi(this);

    back_ = createAction(tr("Back"), this);
    connect_ = createAction(tr("Connect"), this);
    break_ = createAction(tr("Break"), this);
    if (parentWindow_) connect(back_, &QAction::triggered, parentWindow_, &QWidget::close);
    connect(connect_, &QAction::triggered, this, &Connect::onConnect);
    connect(break_, &QAction::triggered, this, &Connect::onDisConn);
    break_->setEnabled(false);
    ui_->toolButton->hide();
    ui_->listWidget->hide();
    ui_->cbAuto->setChecked(true);

    fillForm();
    loadLastConnection();
    // Lists that could be filled only from the built-in defaults are told
    // once a run, when the page is up.
    QTimer::singleShot(0, this, [this] { ShowPendingSettingsFailure(this); });

    g_connectPage = this;
    if (parentWindow_) connect(this, &Connect::backToMenu, parentWindow_, &QWidget::close);
}

Connect::~Connect() {
    Connect* self = this;
    g_connectPage.compare_exchange_strong(self, nullptr);
    // The search thread may still report devices to the form: it ends first.
    if (listSetUp_) releaseSearchObjects();
    delete ui_;
    clearActions();
    delete progress_;
    delete bindingsStore_;
    delete wirelessManager_;
}

Connect* Connect::current() { return g_connectPage.load(); }

void Connect::fillForm() {
    ui_->comboBox_manufacture->addItem(tr("KVX"), 2);
    ui_->comboBox_manufacture->addItem(tr("Quarel"), 2);

    disconnect(ui_->comboBox_connect, &QComboBox::currentIndexChanged, this, &Connect::onConnectionTypeChanged);
    std::vector<std::wstring> methodNames;
    std::vector<int32_t> methods;
    ConnectMethodsConfig().read(methodNames, methods);
    for (size_t i = 0; i < methodNames.size() && i < methods.size(); ++i)
        ui_->comboBox_connect->addItem(translateTerm(methodNames[i]), methods[i]);
    ui_->comboBox_connect->setCurrentIndex(-1);
    connect(ui_->comboBox_connect, &QComboBox::currentIndexChanged, this, &Connect::onConnectionTypeChanged);

    std::vector<int32_t> bauds, ports, deviceData;
    std::vector<std::wstring> deviceNames;
    ConnectBaudsConfig().read(bauds, ports, deviceNames, deviceData);
    for (int32_t baud : bauds) ui_->comboBox_baud->addItem(tr("%1 b/s").arg(baud), baud);
    // The port number travels to the receiver object in one byte; a number
    // the file holds beyond that names no port the program could open.
    for (int32_t port : ports)
        if (port <= 255) ui_->comboBox_port->addItem(tr("COM") + QString::number(port), port);
    for (size_t i = 0; i < deviceNames.size() && i < deviceData.size(); ++i)
        ui_->cbDeviceType->addItem(translateTerm(deviceNames[i]), deviceData[i]);
    ui_->cbDeviceType->setCurrentIndex(ui_->cbDeviceType->count() - 1);
}

void Connect::loadLastConnection() {
    ConnectionParams last;
    ConnectionParamsConfig().read(last);

    int method = ui_->comboBox_connect->findData(last.type);
    if (method < 0) method = ui_->comboBox_connect->findData(101);
    if (method < 0) method = ui_->comboBox_connect->findData(0);
    ui_->comboBox_connect->setCurrentIndex(method);
    ui_->comboBox_port->setCurrentIndex(ui_->comboBox_port->findData(last.port));
    ui_->comboBox_baud->setCurrentIndex(ui_->comboBox_baud->findData(last.baud));

    if (ui_->listWidget->count() > 1) {
        ui_->listWidget->item(1)->setBackground(QBrush(kSelectedDevice, Qt::SolidPattern));
        ui_->listWidget->setCurrentRow(1);
    }
}

void Connect::refresh() { makeProgressDialog(); }

void Connect::makeProgressDialog() {
    if (progress_) return;
    progress_ = new ConnectingProgress(parentWindow_, DeviceObserver::instance(), kConnectTimeoutMs);
    connect(progress_, &ConnectingProgress::canceled, this, &Connect::onConnectingCanceled);
    connect(progress_, &ConnectingProgress::accepted, this, &Connect::onConnectSucceeded);
}

int Connect::connectionState() const { return DeviceManager::instance()->connectionState(); }

void Connect::onConnectionTypeChanged(int index) {
    connectionMethod_ = ui_->comboBox_connect->itemData(index).toInt();
    ui_->toolButton->hide();
    switch (connectionMethod_) {
    case 0:
        ui_->listWidget->hide();
        break;
    case 1:
        setUpDeviceList();
        ui_->listWidget->show();
        updateSearchItem(0);
        break;
    case 101:
        setUpWirelessManager();
        ui_->listWidget->hide();
        break;
    default:
        break;
    }
}

void Connect::setUpDeviceList() {
    if (listSetUp_) return;
    listSetUp_ = true;
    QListWidget* list = ui_->listWidget;
    list->clear();
    auto* search = new QListWidgetItem(list);
    search->setData(kSearchStateRole, 0);
    search->setText(tr(kSearchTexts[0]));
    createBluetoothSearch();

    bindingsStore_ = new BtBindingsConfig();
    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    bindingsStore_->read(names, addresses);
    boundAddresses_.clear();
    for (size_t i = 0; i < addresses.size(); ++i) {
        const QString name = i < names.size() ? QString::fromStdWString(names[i]) : QString();
        auto* row = new QListWidgetItem(DeviceRowText(name, addresses[i]), list);
        row->setData(kDeviceNameRole, name);
        row->setData(kDeviceAddressRole, QVariant::fromValue<qulonglong>(addresses[i]));
        boundAddresses_.push_back(addresses[i]);
    }
    if (!addresses.empty() && currentDeviceRow_ < list->count()) list->setCurrentRow(currentDeviceRow_);
    connect(list, &QListWidget::itemClicked, this, &Connect::onItemClicked);
    connect(list, &QListWidget::itemDoubleClicked, this, &Connect::onItemDoubleClicked);
}

void Connect::setUpWirelessManager() {
    if (processSetUp_) return;
    processSetUp_ = true;
    wirelessManager_ = new QProcess(this);
    connect(ui_->toolButton, &QToolButton::clicked, this, &Connect::onBtSystemClicked);
}

void Connect::updateSearchItem(int state) {
    if (ui_->listWidget->count() < 1 || state < 0 || state > 2) return;
    QListWidgetItem* search = ui_->listWidget->item(0);
    search->setData(kSearchStateRole, state);
    search->setText(tr(kSearchTexts[state]));
}

void Connect::on_comboBox_manufacture_currentIndexChanged(int index) {
    const int code = ui_->comboBox_manufacture->itemData(index).toInt();
    const int rate = code == 2 ? 9600 : 38400;
    const int at = ui_->comboBox_baud->findData(rate);
    if (at >= 0) ui_->comboBox_baud->setCurrentIndex(at);
}

void Connect::on_comboBox_port_currentIndexChanged(int index) {
    portNumber_ = ui_->comboBox_port->itemData(index).toInt();
}

void Connect::on_cbAuto_stateChanged(int state) { ui_->comboBox_baud->setEnabled(state != Qt::Checked); }

void Connect::onItemClicked(QListWidgetItem* item) {
    QListWidget* list = ui_->listWidget;
    const int row = list->currentRow();
    if (row >= 1) {
        previousDeviceRow_ = currentDeviceRow_;
        currentDeviceRow_ = row;
    }
    if (item && list->row(item) == 0) {
        const int state = item->data(kSearchStateRole).toInt();
        if (state == 0 && !searchStopping_)
            onSearch();
        else if (state == 1)
            onStop();
    }
}

void Connect::onItemDoubleClicked(QListWidgetItem* item) {
    if (item && ui_->listWidget->row(item) >= 1) onConnect();
}

void Connect::addDeviceItem(const QString& name, uint64_t address) {
    if (!name.contains(QStringLiteral("GNSS-"), Qt::CaseSensitive)) return;
    boundAddresses_.push_back(address);
    auto* row = new QListWidgetItem(DeviceRowText(name, address), ui_->listWidget);
    row->setData(kDeviceNameRole, name);
    row->setData(kDeviceAddressRole, QVariant::fromValue<qulonglong>(address));
}

void Connect::clearDeviceRows() {
    QListWidget* list = ui_->listWidget;
    while (list->count() > 1) delete list->takeItem(list->count() - 1);
    boundAddresses_.clear();
    // The rows the indexes named are gone; until a row is chosen again none
    // is selected.
    currentDeviceRow_ = 0;
    previousDeviceRow_ = 0;
}

void Connect::setControlsEnabled(bool enabled) {
    const bool autoBaud = ui_->cbAuto->isChecked();
    ui_->comboBox_connect->setEnabled(enabled);
    ui_->comboBox_manufacture->setEnabled(enabled);
    ui_->comboBox_port->setEnabled(enabled);
    ui_->cbAuto->setEnabled(enabled);
    ui_->cbDeviceType->setEnabled(enabled);
    ui_->comboBox_baud->setEnabled(enabled && !autoBaud);
    back_->setEnabled(enabled);
    const int state = connectionState();
    connect_->setEnabled(enabled && state == 0);
    break_->setEnabled(enabled && state == 4);
}

void Connect::onConnect() {
    if (attempting_) return;
    if (connectionMethod_ != 101) {
        resultCode_ = 0;
        QListWidget* list = ui_->listWidget;
        if (!list->isHidden() && list->currentRow() < 1) resultCode_ = 2405;
        if (resultCode_ == 0 && connectionState() == 4) {
            const auto answer = QMessageBox::warning(
                this, tr("Disconnect Device"),
                tr("Before you connect to a device, the currently connected device must be disconnected.\n"
                   "Continue?"),
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
            if (answer != QMessageBox::Ok) resultCode_ = 2;
        }
        if (resultCode_ == 0 && !DeviceManager::instance()->disconnectDevice()) resultCode_ = 3;

        if (resultCode_ == 0 && bindSelectedDevice() && connectionMethod_ == 1) {
            const int row = list->currentRow();
            QListWidgetItem* previous = previousDeviceRow_ >= 1 ? list->item(previousDeviceRow_) : nullptr;
            if (previous) previous->setBackground(QBrush());
            if (QListWidgetItem* selected = list->item(row))
                selected->setBackground(QBrush(kSelectedDevice, Qt::SolidPattern));
            moveDeviceToFront(row);
        }
        if (resultCode_ != 0) {
            showResult(resultCode_);
            return;
        }
    }

    makeProgressDialog();
    attempting_ = true;
    // Each attempt listens for the end of an automatic baud search of its
    // own; the binding is dropped again when the attempt is over.
    DeviceObserver* observer = DeviceObserver::instance();
    observer->unsubscribe(SIGNAL(connectionFailed()), this);
    observer->subscribe(this, SIGNAL(connectionFailed()), SLOT(onConnectionFailed()));
    QTimer::singleShot(50, Qt::PreciseTimer, this, &Connect::exec);
    progress_->exec();
    attempting_ = false;
    if (DeviceObserver* o = DeviceObserver::existing()) o->unsubscribe(SIGNAL(connectionFailed()), this);
}

void Connect::exec() {
    if (!attempting_ || !progress_ || !progress_->isActive()) return;
    DeviceManager* manager = DeviceManager::instance();
    manager->setManufacturer(ui_->comboBox_manufacture->currentData().toInt());
    QList<int> bauds;
    for (int i = 0; i < ui_->comboBox_baud->count(); ++i) bauds.push_back(ui_->comboBox_baud->itemData(i).toInt());
    manager->setAutoConnect(ui_->cbAuto->isChecked(), bauds);
    manager->setDeviceType(ui_->cbDeviceType->currentData().toInt());
    const int portType = connectionMethod_ == 0 ? 0 : 1;
    const int baud = ui_->comboBox_baud->currentData().toInt();
    if (portNumber_ < 0 || portNumber_ > 255 ||
        !manager->connectDevice(portType, uint8_t(portNumber_), baud)) {
        resultCode_ = 1;
        progress_->abort();
        showResult(1);
        return;
    }
    resultCode_ = 2406;
}

void Connect::onConnectSucceeded() {
    if (!attempting_) return;
    setControlsEnabled(false);
    break_->setEnabled(true);

    const int at = ui_->comboBox_baud->findData(DeviceManager::instance()->baudRate());
    if (at >= 0) ui_->comboBox_baud->setCurrentIndex(at);

    saveConnection();
    CommonHelper::instance()->setConnection(connectionMethod_, portNumber_);
    DeviceManager::instance()->send200Data(false);
    QMessageBox::information(this, tr("Information"), tr("Successfully connected"), QMessageBox::Ok);

    back_->setEnabled(true);
    dropObserverBindings();
    emit backToMenu();
}

void Connect::saveConnection() {
    ConnectionParamsConfig store;
    ConnectionParams params;
    store.read(params);
    const DeviceManager::DEVICE_STR info = DeviceManager::instance()->deviceInfo();
    params.device = FieldText(info.serialNumber);
    uint64_t address = 0;
    if (currentDeviceRow_ >= 1 && size_t(currentDeviceRow_ - 1) < boundAddresses_.size())
        address = boundAddresses_[size_t(currentDeviceRow_ - 1)];
    params.address = std::to_wstring(address);
    params.type = connectionMethod_ == 0 ? 0 : 1;
    params.baud = ui_->comboBox_baud->currentData().toInt();
    params.port = portNumber_;
    // The connection stands; only its remembering failed, and the user is
    // told before the connection is confirmed, unless he has heard of that
    // failure already (a folder that cannot be written, told at start).
    ShowSettingsFailureOnce(this, store.write(params));
}

void Connect::onConnectingCanceled() {
    if (!attempting_) return;
    resultCode_ = 2;
    DeviceManager::instance()->disconnectDevice();
}

void Connect::onConnectionFailed() {
    if (!attempting_ || !progress_ || !progress_->isActive()) return;
    resultCode_ = 1;
    progress_->abort();
    showResult(1);
}

void Connect::onDisConn() {
    setBusy(true);
    const bool closed = DeviceManager::instance()->disconnectDevice();
    setBusy(false);
    if (!closed) {
        QMessageBox::warning(this, tr("Warning"), tr("Failed to close port"), QMessageBox::Ok);
        return;
    }
    setControlsEnabled(true);
    break_->setEnabled(false);
    back_->setEnabled(true);
    dropObserverBindings();
}

void Connect::dropObserverBindings() {
    if (DeviceObserver* observer = DeviceObserver::existing()) QObject::disconnect(observer, nullptr, this, nullptr);
}

void Connect::moveDeviceToFront(int row) {
    QListWidgetItem* item = ui_->listWidget->item(row);
    if (!item || row < 1 || !bindingsStore_) return;
    QString name = item->data(kDeviceNameRole).toString();
    name.remove(QStringLiteral("GNSS-"));
    const uint64_t address = item->data(kDeviceAddressRole).toULongLong();

    std::vector<std::wstring> names;
    std::vector<uint64_t> addresses;
    bindingsStore_->read(names, addresses);
    names.resize(addresses.size());
    size_t at = 0;
    while (at < addresses.size() && addresses[at] != address) ++at;
    if (at < addresses.size()) {
        addresses.erase(addresses.begin() + std::ptrdiff_t(at));
        names.erase(names.begin() + std::ptrdiff_t(at));
    }
    addresses.insert(addresses.begin(), address);
    names.insert(names.begin(), name.toStdWString());
    ShowSettingsFailureOnce(this, bindingsStore_->write(names, addresses));
}

void Connect::onBtSystemClicked() {
    if (!wirelessManager_) return;
    bool start = true;
    if (wirelessManager_->state() != QProcess::NotRunning) {
        wirelessManager_->kill();
        start = wirelessManager_->waitForFinished(3000);
    }
    if (start) {
        showSipButton();
        wirelessManager_->start(QStringLiteral("\\windows\\wrlsmgr.exe"), QStringList(), QIODevice::ReadWrite);
    }
    hideSipButton();
}

void Connect::showResult(int code) {
    QString text;
    switch (code) {
    case 0:
    case 2:
    case 2406:
        return;
    case 1:
        text = tr("Connection Failed!");
        break;
    case 3:
        text = tr("Failed to disconnect previous connection.");
        break;
    case 1413:
        text = tr("No matched port.");
        break;
    case 2404:
        text = tr("Port is in use.");
        break;
    case 2405:
        text = tr("No Device Selected.");
        break;
    default:
        text = tr("Error Code: ") + QString::number(code) + QLatin1Char('\n') + tr("Failed to bind device!");
        break;
    }
    QMessageBox::warning(this, tr("Confirm"), text, QMessageBox::Ok);
}
