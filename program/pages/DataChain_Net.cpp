#include "program/pages/DataChain_Net.h"

#include "program/Client.h"
#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/ServerStore.h"
#include "program/SettingsSaveFailure.h"
#include "program/pages/PageFields.h"
#include "program/pages/SelectGetSourceMethod.h"
#include "program/pages/SourceList.h"
#include "ui_DataChain_Net.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <cstring>

using namespace Fjarnis2011;

namespace {

// The network protocols of the modem link, in the order they are offered:
// "ZELT", "Ntrip Client", "TCP Direct".
constexpr int kProtocolZelt = 0;
constexpr int kProtocolNtrip = 1;
constexpr int kProtocolTcp = 3;
const QList<int> kAllProtocols = {kProtocolZelt, kProtocolNtrip, kProtocolTcp};

constexpr int kModeBase = 0;
constexpr int kModeRover = 1;

// Record fields the form's texts go into.
constexpr int kMountField = int(sizeof(FJParse::cors_info::mountPoint));
constexpr int kUserField = int(sizeof(FJParse::cors_info::userName));
constexpr int kPasswordField = int(sizeof(FJParse::cors_info::password));
constexpr int kBaseIdField = int(sizeof(FJParse::WirelessInfo::baseId));
constexpr int kAddressField = int(sizeof(FJParse::IP_ADRES::text));
// A receiver on the new protocol holds its server's host name in a wider field.
constexpr int kNetLinkHostField = int(sizeof(FJParse::OV_IP_ADDRESS_STRUCT::host));

// Modem states that decide a fetch by the receiver.
constexpr int kStatusCasterConnected = 3;
constexpr int kStatusRadioMode = 9;

// Copies at most `size` bytes of `bytes` into a text field; the rest of the
// field is zero, so a shorter text is terminated.
void putField(char* field, size_t size, const QByteArray& bytes) {
    std::memset(field, 0, size);
    std::memcpy(field, bytes.constData(), std::min<size_t>(size, size_t(bytes.size())));
}

// A text field that need not be terminated.
QString fieldText(const char* field, size_t size) {
    return QString::fromLatin1(field, qsizetype(::strnlen(field, size)));
}

// The port the form holds, read by the port field's own rule: what "Set"
// let through is what goes out. A port the rule refuses never gets this far.
unsigned portNumber(const QLineEdit* field) { return unsigned(pagefields::WholeNumberOf(field).value_or(0)); }

}  // namespace

DataChain_Net::DataChain_Net(QWidget* parent)
    : Widget(parent), ui_(new Ui::DataChain_Net), store_(ServerStore::instance()) {
    ui_->setupUi(this);

    ui_->comboBox_WorkMode->addItem(tr("Base"), kModeBase);
    ui_->comboBox_WorkMode->addItem(tr("Rover"), kModeRover);
    ui_->comboBox_WorkMode->setCurrentIndex(-1);
    for (int code : kAllProtocols) ui_->comboBox_protocol->addItem(CommonHelper::translateTerm(code), code);
    ui_->comboBox_protocol->setCurrentIndex(-1);
    ui_->comboBox_server->setCurrentIndex(-1);
    ui_->comboBox_sourceList->setCurrentIndex(-1);
    protocolCodes_ = kAllProtocols;

    errorTexts_.insert(-1, tr("Unknown Error"));
    errorTexts_.insert(1, tr("Signal Low"));
    errorTexts_.insert(2, tr("No SIM card"));
    errorTexts_.insert(3, tr("TCP connection Unavailable"));
    errorTexts_.insert(4, tr("UserName or password Wrong"));
    errorTexts_.insert(5, tr("Source Table Wrong"));
    errorTexts_.insert(6, tr("GPGGA data Invalid"));
    errorTexts_.insert(7, tr("Dial connection Fail"));
    errorTexts_.insert(8, tr("Server no Respond"));

    int32_t baseIdLimit = 0;
    ValidityCheckSettings* limits = ValidityCheckSettings::instance();
    limits->serverLengths(nameLimit_, baseIdLimit);
    limits->corsLengths(userLimit_, passwordLimit_, sourceLimit_, totalLimit_);
    // The limits come from a file the user may edit; a text never gets more
    // characters than its record field holds, so no login is cut on the way.
    const int source = std::min<int>(sourceLimit_, kMountField);
    const int user = std::min<int>(userLimit_, kUserField);
    const int password = std::min<int>(passwordLimit_, kPasswordField);
    // What the rules refuse (a port "99999", a name too long) stays as typed
    // and is refused on "Set"; nothing is cut unseen.
    pagefields::SetRule(ui_->comboBox_server->lineEdit(), QT_TRANSLATE_NOOP("PageFields", "Server"),
                        pagefields::Name(nameLimit_));
    pagefields::SetRule(ui_->comboBox_sourceList->lineEdit(), QT_TRANSLATE_NOOP("PageFields", "Mount point"),
                        pagefields::MountPoint(source));
    pagefields::SetRule(ui_->lineEdit_port, QT_TRANSLATE_NOOP("PageFields", "Port"), pagefields::Port());
    // The login a caster gets: one rule for both of its parts.
    pagefields::SetRule(ui_->lineEdit_guestName, QT_TRANSLATE_NOOP("PageFields", "User name"),
                        pagefields::CasterLogin(user, true));
    pagefields::SetRule(ui_->lineEdit_psw, QT_TRANSLATE_NOOP("PageFields", "Password"),
                        pagefields::CasterLogin(password, false));
    pagefields::SetRule(ui_->lineEdit_BaseID, QT_TRANSLATE_NOOP("PageFields", "Base ID"),
                        pagefields::Latin1Text(kBaseIdField));
    // A caster's table may list a mount point the receiver cannot take: it
    // is offered and shown whole, and choosing it says at once what "Set"
    // would refuse, as does the program putting it in the box itself.
    connect(ui_->comboBox_sourceList, &QComboBox::textActivated, this, &DataChain_Net::tellRefusedSource);
    ui_->comboBox_server->setInsertPolicy(QComboBox::NoInsert);
    ui_->comboBox_sourceList->setInsertPolicy(QComboBox::NoInsert);

    connect(ui_->comboBox_sourceList->lineEdit(), &QLineEdit::editingFinished, this,
            &DataChain_Net::onSourceEditFinished);
    connect(ui_->comboBox_sourceList->lineEdit(), &QLineEdit::textChanged, this,
            &DataChain_Net::onSourceListTextChanged);
    connect(ui_->lineEdit_address, &QLineEdit::textChanged, this, &DataChain_Net::onClearSource);
    connect(ui_->lineEdit_port, &QLineEdit::textChanged, this, &DataChain_Net::onClearSource);
    connect(ui_->comboBox_WorkMode, &QComboBox::currentIndexChanged, this, &DataChain_Net::onWorkModeChanged);
    connect(ui_->comboBox_protocol, &QComboBox::currentIndexChanged, this, &DataChain_Net::onProtocolChanged);
    connect(ui_->comboBox_server, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
    ui_->checkBox_autoLog->hide();
    // Long server and mount-point names must not widen the form past a
    // handheld's screen.
    for (QComboBox* box : {ui_->comboBox_server, ui_->comboBox_protocol, ui_->comboBox_sourceList,
                           ui_->comboBox_WorkMode}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(2);
    }
    // Each mount point and server name shows whole: the source box has a row
    // of its own, as wide as the form, and the lists open as wide as their
    // longest name.
    pagefields::ShowItemsWhole(ui_->comboBox_sourceList);
    pagefields::ShowItemsWhole(ui_->comboBox_server);
    ui_->gridLayout->setColumnStretch(1, 1);
    QPushButton* get = ui_->getsourceButton;
    get->setMinimumWidth(get->fontMetrics().horizontalAdvance(get->text()) + 2 * get->fontMetrics().height());
    get->setSizePolicy(QSizePolicy::Fixed, get->sizePolicy().verticalPolicy());
    ui_->sourceLayout->setAlignment(get, Qt::AlignLeft);
}

// Connections to the observer end with the page; the timers, the client and
// its socket are the page's children. A fetch still running ends without a
// word: the data link page that would hear it is going too.
DataChain_Net::~DataChain_Net() { delete ui_; }

int DataChain_Net::currentData(const QComboBox* box, int none) const {
    const QVariant data = box->currentData();
    return data.isValid() ? data.toInt() : none;
}

// ---------------------------------------------------------------------------
// Operations for the data link page

void DataChain_Net::clearForm() {
    for (QComboBox* box : {ui_->comboBox_WorkMode, ui_->comboBox_server, ui_->comboBox_protocol,
                           ui_->comboBox_sourceList})
        box->setCurrentIndex(-1);
    for (QLineEdit* field : {ui_->lineEdit_address, ui_->lineEdit_port, ui_->lineEdit_BaseID,
                             ui_->lineEdit_guestName, ui_->lineEdit_psw})
        field->clear();
    ui_->checkBox_autoLog->setChecked(false);
    ui_->checkBox_save->setChecked(false);
}

void DataChain_Net::setFormEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->comboBox_server, ui_->comboBox_protocol, ui_->lineEdit_address, ui_->lineEdit_port,
             ui_->comboBox_sourceList, ui_->getsourceButton, ui_->lineEdit_BaseID, ui_->lineEdit_guestName,
             ui_->lineEdit_psw, ui_->checkBox_autoLog, ui_->comboBox_WorkMode})
        w->setEnabled(on);
    ui_->checkBox_save->setEnabled(on && !ui_->comboBox_server->currentText().isEmpty());
}

void DataChain_Net::hookReadSignals(bool on) {
    DeviceObserver* observer = DeviceObserver::instance();
    disconnect(observer, &DeviceObserver::wirelessParamters, this, &DataChain_Net::onWirelessParameters);
    disconnect(observer, &DeviceObserver::corsInfo, this, &DataChain_Net::onCorsInfo);
    disconnect(observer, &DeviceObserver::loginMode, this, &DataChain_Net::onLoginMode);
    if (!on) return;
    connect(observer, &DeviceObserver::wirelessParamters, this, &DataChain_Net::onWirelessParameters,
            Qt::QueuedConnection);
    connect(observer, &DeviceObserver::corsInfo, this, &DataChain_Net::onCorsInfo, Qt::QueuedConnection);
    connect(observer, &DeviceObserver::loginMode, this, &DataChain_Net::onLoginMode, Qt::QueuedConnection);
}

void DataChain_Net::read() {
    updateVisibility(ui_->comboBox_protocol->count() > 0 ? 0 : -1, ui_->comboBox_WorkMode->currentIndex());
    // A server file that cannot be read lists no server, which is not the
    // user's list: it is told, once a read, not at every change of mode.
    listedThisRead_ = false;
    if (const int32_t failure = refillServers(); failure != 0) ShowSettingsSaveFailure(this, failure);
    ui_->comboBox_server->setCurrentIndex(-1);
    receivedMask_ = 0;
    DeviceManager::instance()->sendNetRequests();
}

int DataChain_Net::checkInput() {
    const bool present = requiredFieldsPresent();
    // Every field the form refuses is marked and told in one box, in the
    // form's order: the address, then each text its field's rule does not
    // accept, with its field and rule, then a login too long for the
    // receiver. A source-table fetch needs only the address and port of the
    // fields with rules.
    QStringList refused;
    addressValid(&refused);
    if (fetchingSource_)
        pagefields::MarkRefused(ui_->lineEdit_port, &refused);
    else
        pagefields::MarkRefusedFields(this, &refused);
    loginLengthValid(&refused);
    if (!refused.isEmpty()) {
        QMessageBox::critical(this, tr("Error"),
                              pagefields::RefusalMessage(!present, tr("Please enter parameters!"), refused),
                              QMessageBox::Ok);
        return -1;
    }
    return present ? 1 : 0;
}

bool DataChain_Net::applySettings() {
    ServerRecord record;
    record.key = currentData(ui_->comboBox_server);
    record.address = ui_->lineEdit_address->text();
    record.port = int32_t(portNumber(ui_->lineEdit_port));
    record.protocol = currentData(ui_->comboBox_protocol);
    record.name = ui_->comboBox_server->currentText();
    record.user = ui_->lineEdit_guestName->text();
    record.password = ui_->checkBox_save->isChecked() ? ui_->lineEdit_psw->text() : QString();
    record.source = ui_->lineEdit_BaseID->text();
    for (int i = 0; i < ui_->comboBox_sourceList->count(); ++i)
        record.sources.push_back(ui_->comboBox_sourceList->itemText(i));

    if (!record.name.isEmpty() && ui_->checkBox_save->isChecked()) {
        // A name belongs to one server, whether the server is new or edited.
        if (store_->nameExists(record.name, record.key > -1 ? record.key : -1)) {
            QMessageBox::warning(this, tr("Warning"), tr("Server with the name exits."), QMessageBox::Ok);
            return false;
        }
        // The receiver is set all the same; only the server is not kept, and
        // the user is told so (a new one is then not offered in the list).
        if (record.key > -1) {
            int32_t keptAs = record.key;
            if (const int32_t error = store_->update(record, &keptAs)) {
                ShowSettingsSaveFailure(this, error);
            } else if (keptAs != record.key) {
                ShowServerKeptAsNew(this);
                ui_->comboBox_server->setItemData(ui_->comboBox_server->currentIndex(), keptAs);
            }
        } else if (const int32_t error = store_->append(record)) {
            ShowSettingsSaveFailure(this, error);
        } else {
            QStringList names;
            QList<int32_t> keys;
            store_->list(names, keys, -1);
            const QSignalBlocker silent(ui_->comboBox_server);
            if (!keys.isEmpty()) ui_->comboBox_server->addItem(record.name, keys.last());
        }
    }
    sendSettings();
    return true;
}

// ---------------------------------------------------------------------------
// Address checks

bool DataChain_Net::isIpv4Address(const QString& text) { return pagefields::IsIpv4Address(text); }

bool DataChain_Net::isHostName(const QString& text) { return pagefields::IsHostName(text, kAddressField); }

DataChain_Net::IP_ADRES DataChain_Net::addressRecord(const QString& text, bool asText) {
    IP_ADRES address{};
    if (asText) {
        const QByteArray bytes = text.toUtf8().left(kAddressField);
        std::memcpy(address.text, bytes.constData(), size_t(bytes.size()));
        address.textLength = uint32_t(bytes.size());
        return address;
    }
    if (!isIpv4Address(text)) return address;
    const QStringList parts = text.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i) address.ip[i] = uint8_t(parts[i].toUInt());
    return address;
}

// The old modem takes a host name where it holds its server as text; the new
// protocol's server item always has a place for one.
bool DataChain_Net::takesHostName() const { return addressAsText_ || DeviceManager::instance()->newProtocol(); }

int DataChain_Net::hostNameField() const {
    return DeviceManager::instance()->newProtocol() ? kNetLinkHostField : kAddressField;
}

std::string DataChain_Net::typedHostName() const {
    const QString address = ui_->lineEdit_address->text();
    if (!DeviceManager::instance()->newProtocol() || isIpv4Address(address)) return {};
    return address.toUtf8().toStdString();
}

bool DataChain_Net::addressValid(QStringList* refused) {
    const QString address = ui_->lineEdit_address->text();
    // An empty address is the missing-field check's business.
    if (address.isEmpty()) return true;
    if (isIpv4Address(address) || (takesHostName() && pagefields::IsHostName(address, hostNameField()))) return true;
    markField(ui_->lineEdit_address, 1);
    // Told as the server form tells the same address.
    const QString refusal = pagefields::AddressRefusal(address, takesHostName(), hostNameField());
    refused->push_back(refusal.isEmpty() ? tr("The server address is not valid!") : refusal);
    return false;
}

// ---------------------------------------------------------------------------
// Form

void DataChain_Net::fillProtocolsForMode(int mode) {
    QList<int> allowed;
    if (mode == kModeBase) allowed = {kProtocolZelt};
    if (mode == kModeRover) allowed = kAllProtocols;
    QComboBox* box = ui_->comboBox_protocol;
    disconnect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onProtocolChanged);
    box->clear();
    for (int code : std::as_const(protocolCodes_))
        if (allowed.contains(code)) box->addItem(CommonHelper::translateTerm(code), code);
    connect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onProtocolChanged);
}

void DataChain_Net::updateVisibility(int protocolIndex, int modeIndex) {
    if (protocolIndex < 0 || modeIndex < 0) return;
    const int protocol = ui_->comboBox_protocol->itemData(protocolIndex).toInt();
    const bool rover = currentData(ui_->comboBox_WorkMode, kModeBase) != kModeBase;
    const bool ntrip = protocol == kProtocolNtrip;
    ui_->checkBox_autoLog->setVisible(rover && ntrip && canAutoLogin_);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->comboBox_sourceList, ui_->label_guestName,
                                                      ui_->lineEdit_guestName, ui_->label_psw, ui_->lineEdit_psw,
                                                      ui_->getsourceButton})
        w->setVisible(rover && ntrip);
    ui_->label_source->setVisible(rover && protocol != kProtocolTcp);
    const bool baseId = rover && protocol == kProtocolZelt;
    ui_->lineEdit_BaseID->setVisible(baseId);
    ui_->label_source->setText(baseId ? tr("BaseID:") : tr("Source:"));
}

int32_t DataChain_Net::refillServers() {
    QComboBox* box = ui_->comboBox_server;
    QList<int> protocols;
    for (int i = 0; i < ui_->comboBox_protocol->count(); ++i)
        protocols.append(ui_->comboBox_protocol->itemData(i).toInt());
    disconnect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
    if (listedThisRead_ && protocols == listedProtocols_) {
        box->setCurrentIndex(-1);
        connect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
        return 0;
    }
    listedProtocols_ = protocols;
    listedThisRead_ = true;
    box->clear();
    box->addItem(tr("<New>"), -1);
    // A user may keep thousands of servers: the file is read once, not once
    // per protocol, and the servers go into the box's model in one
    // insertion, so the box, its list and its completer take them in once,
    // not once per server.
    QList<ServerRecord> servers;
    const int32_t failure = store_->readAll(servers);
    QList<const ServerRecord*> listed;
    listed.reserve(servers.size());
    for (const int protocol : std::as_const(protocols)) {
        for (const ServerRecord& server : std::as_const(servers))
            if (server.protocol == protocol) listed.append(&server);
    }
    if (auto* model = qobject_cast<QStandardItemModel*>(box->model())) {
        // The items as QComboBox::addItem makes them: the name shown, the
        // key as the item's data.
        QList<QStandardItem*> items;
        items.reserve(listed.size());
        for (const ServerRecord* server : std::as_const(listed)) {
            auto* item = new QStandardItem(server->name);
            item->setData(server->key, Qt::UserRole);
            items.append(item);
        }
        model->invisibleRootItem()->appendRows(items);
    } else {
        for (const ServerRecord* server : std::as_const(listed)) box->addItem(server->name, server->key);
    }
    box->setCurrentIndex(-1);
    connect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
    return failure;
}

void DataChain_Net::clearServerFields() {
    ui_->lineEdit_address->clear();
    ui_->lineEdit_port->clear();
    ui_->comboBox_protocol->setCurrentIndex(-1);
    ui_->lineEdit_BaseID->clear();
    ui_->lineEdit_guestName->clear();
    ui_->lineEdit_psw->clear();
    ui_->comboBox_sourceList->clear();
}

void DataChain_Net::loadServer(int32_t key) {
    ServerRecord record;
    if (!store_->read(record, key)) return;
    clearServerFields();
    ui_->comboBox_protocol->setCurrentIndex(ui_->comboBox_protocol->findData(record.protocol));
    ui_->lineEdit_address->setText(record.address);
    ui_->lineEdit_address->setCursorPosition(0);
    ui_->lineEdit_port->setText(QString::number(record.port));
    ui_->lineEdit_guestName->setText(record.user);
    ui_->lineEdit_psw->setText(record.password);
    ui_->lineEdit_BaseID->setText(record.source);
    // The address and port just set emptied the list; the server's own
    // sources come after them, the first of them chosen.
    ui_->comboBox_sourceList->addItems(record.sources);
    // Choosing a server may load it more than once (its index and its text
    // both change): its mount point is told once, after the last load.
    if (!sourceTellQueued_) {
        sourceTellQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            sourceTellQueued_ = false;
            tellRefusedSource();
        });
    }
}

void DataChain_Net::onServerChanged(int index) {
    const int32_t key = index >= 0 ? ui_->comboBox_server->itemData(index).toInt() : -1;
    if (index < 0) return;
    if (key >= 0) {
        updateSaveButtonStatus(false);
        if (!ui_->comboBox_server->currentText().isEmpty()) {
            updateSaveButtonStatus(true);
            loadServer(key);
        }
        return;
    }
    clearServerFields();
    ui_->comboBox_server->setFocus();
    ui_->comboBox_server->lineEdit()->selectAll();
}

void DataChain_Net::onWorkModeChanged(int index) {
    if (index < 0) return;
    markField(ui_->comboBox_WorkMode, 0);
    fillProtocolsForMode(ui_->comboBox_WorkMode->itemData(index).toInt());
    refillServers();
    updateVisibility(ui_->comboBox_protocol->currentIndex(), index);
}

void DataChain_Net::onProtocolChanged(int index) {
    markField(ui_->comboBox_protocol, 0);
    updateVisibility(index, ui_->comboBox_WorkMode->currentIndex());
}

void DataChain_Net::on_comboBox_server_editTextChanged(const QString& text) {
    markField(ui_->comboBox_server, 0);
    updateSaveButtonStatus(!text.isEmpty());
    const int index = ui_->comboBox_server->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) loadServer(ui_->comboBox_server->itemData(index).toInt());
}

void DataChain_Net::updateSaveButtonStatus(bool on) {
    ui_->checkBox_save->setEnabled(on);
    ui_->checkBox_save->setChecked(on);
}

void DataChain_Net::on_lineEdit_address_textChanged() { markField(ui_->lineEdit_address, 0); }
void DataChain_Net::on_lineEdit_port_textChanged() { markField(ui_->lineEdit_port, 0); }
void DataChain_Net::on_lineEdit_BaseID_textChanged() { markField(ui_->lineEdit_BaseID, 0); }

void DataChain_Net::onSourceEditFinished() {
    QComboBox* box = ui_->comboBox_sourceList;
    const QString text = box->currentText();
    if (text.isEmpty() || box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return;
    const QSignalBlocker silent(box);
    box->addItem(text);
}

void DataChain_Net::tellRefusedSource() {
    // Only where the form shows the mount point (an NTRIP rover's).
    if (!ui_->comboBox_sourceList->isVisibleTo(this)) return;
    QStringList refused;
    if (pagefields::MarkRefused(ui_->comboBox_sourceList->lineEdit(), &refused)) return;
    QMessageBox::warning(this, tr("Warning"), refused.join(QLatin1Char('\n')), QMessageBox::Ok);
}

void DataChain_Net::onSourceListTextChanged(const QString&) {
    markField(ui_->comboBox_sourceList, 0);
    markField(ui_->comboBox_sourceList->lineEdit(), 0);
}

void DataChain_Net::onClearSource() {
    ui_->comboBox_sourceList->clear();
    ui_->comboBox_sourceList->clearEditText();
}

bool DataChain_Net::requiredFieldsPresent() {
    bool present = true;
    auto require = [&](QWidget* field, bool missing) {
        if (!missing) return;
        markField(field, 1);
        present = false;
    };
    const QString server = ui_->comboBox_server->currentText();
    require(ui_->comboBox_server,
            ui_->checkBox_save->isChecked() && !server.isEmpty() && server == tr("<New>"));
    // A protocol the receiver did not report may stay unchosen (it is then
    // not written); the new protocol keeps no work mode of its own.
    const bool protocolOpen = (unreportedParts() & DeviceManager::NetLinkServerType) != 0;
    require(ui_->comboBox_WorkMode, !protocolOpen && ui_->comboBox_WorkMode->currentText().isEmpty());
    require(ui_->comboBox_protocol, !protocolOpen && ui_->comboBox_protocol->currentText().isEmpty());
    require(ui_->lineEdit_address, ui_->lineEdit_address->text().isEmpty());
    require(ui_->lineEdit_port, ui_->lineEdit_port->text().isEmpty());
    if (!fetchingSource_) {
        const int protocol = currentData(ui_->comboBox_protocol);
        const bool rover = currentData(ui_->comboBox_WorkMode) == kModeRover;
        // The base id is asked for only where the form shows it.
        if (protocol == kProtocolZelt && rover) require(ui_->lineEdit_BaseID, ui_->lineEdit_BaseID->text().isEmpty());
        if (protocol == kProtocolNtrip && ui_->comboBox_sourceList->currentText().isEmpty()) {
            require(ui_->comboBox_sourceList, true);
            markField(ui_->comboBox_sourceList->lineEdit(), 1);
        }
    }
    return present;
}

bool DataChain_Net::loginLengthValid(QStringList* refused) {
    const qsizetype total = ui_->comboBox_sourceList->currentText().size() + ui_->lineEdit_guestName->text().size() +
                            ui_->lineEdit_psw->text().size();
    if (total >= 0 && total < totalLimit_) return true;
    refused->push_back(tr("Total length of source\nuserName and password\nis beyond %1!",
                          "How to describe this error is not sure.")
                           .arg(totalLimit_));
    return false;
}

// ---------------------------------------------------------------------------
// Reading

void DataChain_Net::replied(uint32_t bit) {
    const bool completedNow = receivedMask_ != kReadComplete && (receivedMask_ | bit) == kReadComplete;
    receivedMask_ |= bit;
    if (receivedMask_ == kReadComplete) emit enableInterface(true);
    if (completedNow) tellUnreported();
}

QString DataChain_Net::receiverAddressText(const WirelessInfo& info) const {
    // The new protocol's host name is kept whole beside the record, whose
    // text holds only its first part.
    if (addressAsText_ && DeviceManager::instance()->newProtocol()) {
        const std::string host = DeviceManager::instance()->netLinkHost();
        if (!host.empty()) return QString::fromUtf8(host.data(), qsizetype(host.size()));
    }
    if (addressAsText_) {
        const size_t n = std::min<size_t>(info.address.textLength, sizeof info.address.text);
        return QString::fromUtf8(info.address.text, qsizetype(::strnlen(info.address.text, n)));
    }
    return QStringLiteral("%1.%2.%3.%4")
        .arg(info.address.ip[0])
        .arg(info.address.ip[1])
        .arg(info.address.ip[2])
        .arg(info.address.ip[3]);
}

unsigned DataChain_Net::unreportedParts() const {
    const DeviceManager* manager = DeviceManager::instance();
    if (manager->newProtocol()) return DeviceManager::NetLinkAll & ~manager->netLinkReported();
    // The old modem's login mode and NTRIP login come by replies of their
    // own; its server, protocol and work mode by one reply, without which
    // the form holds none of them and asks for them.
    unsigned missing = 0;
    if (!(receivedMask_ & kLoginModeBit)) missing |= DeviceManager::NetLinkLoginMode;
    if (!(receivedMask_ & kLoginBit)) missing |= DeviceManager::NetLinkLogin;
    return missing;
}

void DataChain_Net::tellUnreported() {
    const unsigned missing = unreportedParts();
    if (missing == 0 || nothingRead()) return;
    QStringList parts;
    if (missing & DeviceManager::NetLinkAddress) parts << tr("server address");
    if (missing & DeviceManager::NetLinkServerType) parts << tr("protocol and work mode");
    if (missing & DeviceManager::NetLinkLoginMode) parts << tr("login mode");
    if (missing & DeviceManager::NetLinkLogin) parts << tr("NTRIP login");
    QMessageBox::warning(this, tr("Warning"),
                         tr("Failed to get net parameters: %1!\nThey are left empty and are not set unless "
                            "you enter them.")
                             .arg(parts.join(QStringLiteral(", "))),
                         QMessageBox::Ok);
}

void DataChain_Net::showLoginOfUnknownProtocol() {
    if (ui_->comboBox_protocol->currentIndex() >= 0 || !DeviceManager::instance()->newProtocol()) return;
    const bool login = !(unreportedParts() & DeviceManager::NetLinkLogin);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->label_source, ui_->comboBox_sourceList,
                                                      ui_->label_guestName, ui_->lineEdit_guestName,
                                                      ui_->label_psw, ui_->lineEdit_psw, ui_->getsourceButton})
        w->setVisible(login);
    ui_->label_source->setText(tr("Source:"));
    ui_->lineEdit_BaseID->setVisible(false);
}

void DataChain_Net::onWirelessParameters() {
    WirelessInfo info{};
    DeviceManager::instance()->gprsInfo(info);
    // What the receiver did not report is not shown: the record holds
    // defaults there, not its settings.
    const unsigned missing = unreportedParts();
    if (info.protocolOffers != 0) {
        QComboBox* box = ui_->comboBox_protocol;
        disconnect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onProtocolChanged);
        box->clear();
        protocolCodes_.clear();
        const struct {
            uint32_t bit;
            int code;
        } offers[] = {{FJParse::kOfferZelt, kProtocolZelt},
                      {FJParse::kOfferNtripClient, kProtocolNtrip},
                      {FJParse::kOfferTcpDirect, kProtocolTcp}};
        for (const auto& o : offers) {
            if (!(info.protocolOffers & o.bit)) continue;
            protocolCodes_.push_back(o.code);
            box->addItem(CommonHelper::translateTerm(o.code), o.code);
        }
        connect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onProtocolChanged);
    }
    canFetchByDevice_ = info.linkOptions & FJParse::kLinkSourceTable;
    canAutoLogin_ = info.linkOptions & FJParse::kLinkAutoNtripLogin;
    addressAsText_ = info.linkOptions & FJParse::kLinkAddressAsText;
    ui_->checkBox_autoLog->setVisible(canAutoLogin_);

    if (missing & DeviceManager::NetLinkServerType) {
        // The receiver's protocol is not known: every protocol is offered,
        // none chosen, and no work mode.
        fillProtocolsForMode(kModeRover);
        refillServers();
        ui_->comboBox_WorkMode->setCurrentIndex(-1);
        ui_->comboBox_protocol->setCurrentIndex(-1);
    } else {
        ui_->comboBox_WorkMode->setCurrentIndex(ui_->comboBox_WorkMode->findData(int(info.workMode)));
        ui_->comboBox_protocol->setCurrentIndex(ui_->comboBox_protocol->findData(int(info.protocol)));
    }
    if (!(missing & DeviceManager::NetLinkAddress)) {
        ui_->lineEdit_address->setText(receiverAddressText(info));
        // A long host name shows from its start, as the receiver's mount points do.
        ui_->lineEdit_address->setCursorPosition(0);
        ui_->lineEdit_port->setText(QString::number(info.port));
    }
    ui_->lineEdit_BaseID->setText(fieldText(info.baseId, sizeof info.baseId));
    showLoginOfUnknownProtocol();
    replied(kParamsBit);
}

void DataChain_Net::onCorsInfo() {
    cors_info login{};
    DeviceManager::instance()->corsInfo(login);
    ui_->lineEdit_guestName->setText(fieldText(login.userName, sizeof login.userName));
    ui_->lineEdit_psw->setText(fieldText(login.password, sizeof login.password));
    const QString mount = fieldText(login.mountPoint, sizeof login.mountPoint);
    QComboBox* box = ui_->comboBox_sourceList;
    if (!mount.isEmpty() && box->findText(mount, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) box->addItem(mount);
    box->setCurrentIndex(box->findText(mount, Qt::MatchExactly | Qt::MatchCaseSensitive));
    showLoginOfUnknownProtocol();
    replied(kLoginBit);
}

void DataChain_Net::onLoginMode() {
    ui_->checkBox_autoLog->setChecked(DeviceManager::instance()->gprsCosMdl() >= 1);
    replied(kLoginModeBit);
}

// ---------------------------------------------------------------------------
// Writing

void DataChain_Net::buildLogin(cors_info& login) const {
    std::memset(&login, 0, sizeof login);
    putField(login.mountPoint, sizeof login.mountPoint, ui_->comboBox_sourceList->currentText().toLatin1());
    putField(login.userName, sizeof login.userName, ui_->lineEdit_guestName->text().toLatin1());
    putField(login.password, sizeof login.password, ui_->lineEdit_psw->text().toLatin1());
}

void DataChain_Net::buildLink(WirelessInfo& link) {
    std::memset(&link, 0, sizeof link);
    // With no work mode chosen the protocol tells it: only a rover speaks
    // another than the relay one.
    const int protocol = currentData(ui_->comboBox_protocol);
    const bool roverProtocol = protocol >= 0 && protocol != kProtocolZelt;
    link.workMode = uint32_t(currentData(ui_->comboBox_WorkMode, roverProtocol ? kModeRover : kModeBase));
    // The new protocol's server item carries the four numbers and a host name
    // side by side: a dotted address goes as the numbers, a name as text.
    const QString address = ui_->lineEdit_address->text();
    const bool asText = DeviceManager::instance()->newProtocol() ? !isIpv4Address(address) : addressAsText_;
    link.address = addressRecord(address, asText);
    link.port = portNumber(ui_->lineEdit_port);
    link.protocol = uint32_t(currentData(ui_->comboBox_protocol, kProtocolZelt));
    const QByteArray baseId = ui_->lineEdit_BaseID->text().toLatin1().left(kBaseIdField);
    putField(link.baseId, sizeof link.baseId, baseId);
    baseIdLength_ = int(baseId.size());
}

void DataChain_Net::sendSettings() {
    cors_info login{};
    buildLogin(login);
    WirelessInfo link{};
    buildLink(link);
    const unsigned loginMode = ui_->checkBox_autoLog->isChecked() ? 1u : 0u;
    // A part the receiver did not report is written only when the user gave
    // it: a protocol chosen, the automatic login checked, a login entered.
    // An unchanged form writes back what the receiver holds, never defaults.
    const unsigned missing = unreportedParts();
    unsigned parts = DeviceManager::NetLinkAll;
    if (ui_->comboBox_protocol->currentIndex() < 0) parts &= ~unsigned(DeviceManager::NetLinkServerType);
    if ((missing & DeviceManager::NetLinkLoginMode) && loginMode == 0)
        parts &= ~unsigned(DeviceManager::NetLinkLoginMode);
    if ((missing & DeviceManager::NetLinkLogin) && ui_->comboBox_sourceList->currentText().isEmpty() &&
        ui_->lineEdit_guestName->text().isEmpty() && ui_->lineEdit_psw->text().isEmpty())
        parts &= ~unsigned(DeviceManager::NetLinkLogin);
    DeviceManager::instance()->setGprsParams(FJParse::Gprs_Modle(link.workMode), unsigned(baseIdLength_), link,
                                             loginMode, login, typedHostName(), parts);
}

// ---------------------------------------------------------------------------
// Source-table fetch

void DataChain_Net::on_getsourceButton_clicked() {
    if (fetch_ != Fetch::None) return;
    fetchingSource_ = true;
    const int checked = checkInput();
    fetchingSource_ = false;
    if (checked != 1) return;
    if (canFetchByDevice_) {
        SelectGetSourceMethod dialog(this);
        if (dialog.exec() != QDialog::Accepted) return;
        if (dialog.method() == 1) {
            startReceiverFetch();
            return;
        }
    }
    startSocketFetch();
}

void DataChain_Net::killTimerId(int& id) {
    if (id != -1) killTimer(id);
    id = -1;
}

void DataChain_Net::restartTimer(int& id) {
    killTimerId(id);
    id = startTimer(kPollMs, Qt::PreciseTimer);
}

void DataChain_Net::startReceiverFetch() {
    DeviceObserver* observer = DeviceObserver::instance();
    connect(observer, &DeviceObserver::wirelessStatus, this, &DataChain_Net::onWirelessStatus,
            Qt::ConnectionType(Qt::UniqueConnection | Qt::QueuedConnection));
    connect(observer, &DeviceObserver::wirelessError, this, &DataChain_Net::onWirelessError,
            Qt::ConnectionType(Qt::UniqueConnection | Qt::QueuedConnection));
    connect(observer, &DeviceObserver::sourceTable, this, &DataChain_Net::onSourceTable,
            Qt::ConnectionType(Qt::UniqueConnection | Qt::QueuedConnection));
    if (queryTimer_) {
        queryTimer_->stop();
        queryTimer_->disconnect(this);
    }
    killTimerId(statusTimer_);
    killTimerId(errorTimer_);
    fetch_ = Fetch::Receiver;
    sourceListRequested_ = false;
    emit enableInterface(false);

    // The modem fetches from the server it was last told; a form that names
    // another one is sent first.
    DeviceManager* manager = DeviceManager::instance();
    WirelessInfo reported{};
    manager->gprsInfo(reported);
    const int protocol = currentData(ui_->comboBox_protocol);
    if (int(reported.protocol) != protocol || receiverAddressText(reported) != ui_->lineEdit_address->text() ||
        reported.port != portNumber(ui_->lineEdit_port)) {
        WirelessInfo link{};
        buildLink(link);
        manager->setGprsIp(link.address, link.port, static_cast<FJParse::Protocol_Net>(link.protocol),
                           typedHostName());
    }

    restartTimer(statusTimer_);
    restartTimer(errorTimer_);
    if (!queryTimer_) {
        queryTimer_ = new QTimer(this);
        queryTimer_->setSingleShot(true);
        queryTimer_->setTimerType(Qt::PreciseTimer);
    }
    connect(queryTimer_, &QTimer::timeout, this, &DataChain_Net::onQueryTimeout, Qt::UniqueConnection);
    queryTimer_->start(kFetchLimitMs);
}

void DataChain_Net::endReceiverFetch() {
    DeviceObserver* observer = DeviceObserver::instance();
    disconnect(observer, &DeviceObserver::wirelessStatus, this, &DataChain_Net::onWirelessStatus);
    disconnect(observer, &DeviceObserver::wirelessError, this, &DataChain_Net::onWirelessError);
    disconnect(observer, &DeviceObserver::sourceTable, this, &DataChain_Net::onSourceTable);
    if (queryTimer_) {
        queryTimer_->stop();
        queryTimer_->disconnect(this);
    }
    killTimerId(statusTimer_);
    killTimerId(errorTimer_);
    sourceListRequested_ = false;
    fetch_ = Fetch::None;
    emit enableInterface(true);
}

void DataChain_Net::timerEvent(QTimerEvent* event) {
    // A poll belongs to a running fetch by the receiver; a late tick of
    // one that ended asks nothing.
    if (fetch_ != Fetch::Receiver) return;
    if (event->timerId() == statusTimer_)
        DeviceManager::instance()->sendGprsStatus();
    else if (event->timerId() == errorTimer_)
        DeviceManager::instance()->sendGprsEroinfo();
}

void DataChain_Net::onWirelessStatus() {
    if (fetch_ != Fetch::Receiver) return;
    const int status = int(DeviceManager::instance()->gprsStatus());
    qDebug() << "GPRS Status: " << status;
    if (status == kStatusRadioMode) {
        endReceiverFetch();
        QMessageBox::warning(this, tr("Warning"), tr("Device mode is radio now!"), QMessageBox::Ok);
        return;
    }
    if (!sourceListRequested_ && status == kStatusCasterConnected) {
        sourceListRequested_ = true;
        DeviceManager::instance()->sendGprsGetList();
    }
    restartTimer(statusTimer_);
}

void DataChain_Net::onWirelessError() {
    if (fetch_ != Fetch::Receiver) return;
    const int code = int(DeviceManager::instance()->gprsEroinfo());
    qDebug() << "GPRS Error: " << code;
    const auto text = errorTexts_.constFind(code);
    if (text != errorTexts_.cend()) {
        const QString message = *text;
        endReceiverFetch();
        QMessageBox::warning(this, tr("Warning"), message, QMessageBox::Ok);
        return;
    }
    restartTimer(errorTimer_);
}

void DataChain_Net::onSourceTable() {
    if (fetch_ != Fetch::Receiver) return;
    endReceiverFetch();
    DeviceManager* manager = DeviceManager::instance();
    sourceNames_ = manager->sourceTableNames();
    fillSourceList();
    tellSourceTableResult(manager->sourceTableCut());
    tellRefusedSource();
}

void DataChain_Net::tellSourceTableResult(bool cut) {
    // A table cut at the limit is no success: the user is told that the
    // list holds only the mount points of its first part.
    if (cut)
        QMessageBox::warning(this, tr("Warning"),
                             tr("The source table is larger than %1 MiB and was cut: only the mount points "
                                "of its first %1 MiB are listed.")
                                 .arg(sourcetable::kLargestTable / (1024 * 1024)),
                             QMessageBox::Ok);
    else
        QMessageBox::information(this, tr("Info"), tr("Successed to get source table !"), QMessageBox::Ok);
}

void DataChain_Net::onQueryTimeout() {
    if (fetch_ != Fetch::Receiver) return;
    endReceiverFetch();
    QMessageBox::information(this, tr("Brantor"), tr("Failed to get source table!"), QMessageBox::Ok);
}

void DataChain_Net::startSocketFetch() {
    if (!client_) client_ = new Client(this);
    fetch_ = Fetch::Socket;
    emit enableInterface(false);
    const QString host = ui_->lineEdit_address->text();
    const unsigned port = portNumber(ui_->lineEdit_port);
    if (!socketTimer_) {
        socketTimer_ = new QTimer(this);
        socketTimer_->setSingleShot(true);
        socketTimer_->setTimerType(Qt::PreciseTimer);
    }
    connect(socketTimer_, &QTimer::timeout, this, &DataChain_Net::onSocketTimeout, Qt::UniqueConnection);
    socketTimer_->start(kFetchLimitMs);
    // A port beyond 16 bits names no server: the connection fails.
    if (port > 0xFFFF || !client_->connectToServer(host, quint16(port), kConnectWaitMs)) {
        endSocketFetch();
        QMessageBox::critical(this, tr("Error"), tr("Failed to connect to server!"), QMessageBox::Ok);
        return;
    }
    sourceNames_.clear();
    socketText_.clear();
    connect(client_, &Client::message, this, &DataChain_Net::onGetSourceBySocket, Qt::UniqueConnection);
    connect(client_, &Client::closed, this, &DataChain_Net::onSourceConnectionClosed, Qt::UniqueConnection);
    client_->requestSourceTable();
}

void DataChain_Net::endSocketFetch() {
    if (socketTimer_) {
        socketTimer_->stop();
        socketTimer_->disconnect(this);
    }
    if (client_) {
        disconnect(client_, &Client::message, this, &DataChain_Net::onGetSourceBySocket);
        disconnect(client_, &Client::closed, this, &DataChain_Net::onSourceConnectionClosed);
        client_->disconnectFromServer();
    }
    sourceListRequested_ = false;
    fetch_ = Fetch::None;
    emit enableInterface(true);
}

void DataChain_Net::onGetSourceBySocket(QString& piece) {
    if (fetch_ != Fetch::Socket) return;
    // Pieces are joined before parsing: a line or the end marker may arrive
    // split across two of them.
    const QByteArray bytes = piece.toLatin1();
    if (!socketText_.append(bytes.constData(), bytes.size())) return;
    const bool cut = socketText_.cut();
    QString text = QString::fromLatin1(socketText_.text());
    socketText_.clear();
    DeviceManager::parseSourceTable(text, sourceNames_);
    endSocketFetch();
    fillSourceList();
    tellSourceTableResult(cut);
    tellRefusedSource();
}

void DataChain_Net::onSocketTimeout() {
    if (fetch_ != Fetch::Socket) return;
    failSocketFetch();
}

void DataChain_Net::onSourceConnectionClosed(QAbstractSocket::SocketError why) {
    if (fetch_ != Fetch::Socket) return;
    // The caster closed (or the connection broke) before the table's end:
    // no more of it can come, so the fetch fails now, not at the time limit.
    qDebug() << "Source table connection closed before its end: " << why;
    failSocketFetch();
}

void DataChain_Net::failSocketFetch() {
    // What came so far is kept, parsed; the list is not refilled.
    QString text = QString::fromLatin1(socketText_.text());
    socketText_.clear();
    DeviceManager::parseSourceTable(text, sourceNames_);
    endSocketFetch();
    QMessageBox::information(this, tr("Brantor"), tr("Failed to get source table!"), QMessageBox::Ok);
}

void DataChain_Net::fillSourceList() { FillSourceList(ui_->comboBox_sourceList, sourceNames_); }
