#include "program/pages/ServerWidget.h"

#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/ServerStore.h"
#include "program/pages/PageFields.h"
#include "program/pages/Source_Add.h"
#include "protocol/Em_Types.h"
#include "protocol/newproto/Em_OvTypes.h"
#include "ui_ServerWidget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

namespace {

// The protocols a user may choose for a server; "ZELT One To Multi" (2) is
// not offered.
constexpr int32_t kOfferedProtocols[] = {0, 1, 3};

// The longest host name a receiver takes as its server address: the
// new-protocol server item's field, the wider of the two. A saved server
// with a longer name than the old modem's field is refused by the data link
// form of such a receiver when it is set, where the user sees why.
constexpr int kAddressText = int(sizeof(Fjarnis2011::FJParse::OV_IP_ADDRESS_STRUCT::host));

}  // namespace

ServerWidget::ServerWidget(QWidget* parent) : Widget(parent), ui_(new Ui::ServerWidget) {
    ui_->setupUi(this);
    for (int32_t code : kOfferedProtocols) ui_->comboBox_protocol->addItem(CommonHelper::translateTerm(code), code);
    ui_->source_minButton->setEnabled(false);
    ui_->listWidget_source->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_->listWidget_source->setEditTriggers(QAbstractItemView::NoEditTriggers);

    int32_t nameLimit = 0, baseIdLimit = 0, user = 0, password = 0, source = 0, total = 0;
    ValidityCheckSettings::instance()->serverLengths(nameLimit, baseIdLimit);
    ValidityCheckSettings::instance()->corsLengths(user, password, source, total);
    // What the rules refuse (an address "300.1.1.1", a port "99999") stays as
    // typed and is refused by the check; nothing is cut unseen. The address
    // is a whole IPv4 address, or the host name the data link form saves
    // for a modem that takes one.
    pagefields::SetRule(ui_->lineEdit_name, QT_TRANSLATE_NOOP("PageFields", "Name"), pagefields::Name(nameLimit));
    pagefields::SetRule(ui_->lineEdit_address, QT_TRANSLATE_NOOP("PageFields", "Address"),
                        pagefields::ServerAddress(kAddressText));
    pagefields::SetRule(ui_->lineEdit_port, QT_TRANSLATE_NOOP("PageFields", "Port"), pagefields::Port());
    pagefields::SetRule(ui_->lineEdit_BaseID, QT_TRANSLATE_NOOP("PageFields", "Base ID"),
                        pagefields::AsciiText(baseIdLimit));
    // The login a caster gets: one rule for both of its parts.
    pagefields::SetRule(ui_->lineEdit_guestName, QT_TRANSLATE_NOOP("PageFields", "User name"),
                        pagefields::CasterLogin(user, true));
    pagefields::SetRule(ui_->lineEdit_psw, QT_TRANSLATE_NOOP("PageFields", "Password"),
                        pagefields::CasterLogin(password, false));

    ui_->comboBox_protocol->setCurrentIndex(0);
    updateProtocolFields();
}

ServerWidget::~ServerWidget() { delete ui_; }

QLineEdit* ServerWidget::nameField() const { return ui_->lineEdit_name; }
QComboBox* ServerWidget::protocolField() const { return ui_->comboBox_protocol; }
QLineEdit* ServerWidget::addressField() const { return ui_->lineEdit_address; }
QLineEdit* ServerWidget::portField() const { return ui_->lineEdit_port; }
QLineEdit* ServerWidget::baseIdField() const { return ui_->lineEdit_BaseID; }
QLineEdit* ServerWidget::userField() const { return ui_->lineEdit_guestName; }
QLineEdit* ServerWidget::passwordField() const { return ui_->lineEdit_psw; }
QListWidget* ServerWidget::sourceList() const { return ui_->listWidget_source; }

void ServerWidget::updateProtocolFields() {
    const QVariant data = ui_->comboBox_protocol->currentData();
    const int32_t p = data.isValid() ? data.toInt() : 0;
    const bool baseId = p != 1 && p != 3;
    ui_->label_BaseID->setVisible(baseId);
    ui_->lineEdit_BaseID->setVisible(baseId);
    const bool ntrip = p == 1;
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->label_source, ui_->listWidget_source,
                                                      ui_->source_addButton, ui_->source_minButton,
                                                      ui_->label_guestName, ui_->lineEdit_guestName,
                                                      ui_->label_psw, ui_->lineEdit_psw, ui_->cbSavePsw})
        w->setVisible(ntrip);
    markField(ui_->comboBox_protocol, 0);
}

void ServerWidget::on_comboBox_protocol_currentIndexChanged() { updateProtocolFields(); }
void ServerWidget::on_lineEdit_name_textChanged() { markField(ui_->lineEdit_name, 0); }
void ServerWidget::on_lineEdit_address_textChanged() { markField(ui_->lineEdit_address, 0); }
void ServerWidget::on_lineEdit_port_textChanged() { markField(ui_->lineEdit_port, 0); }
void ServerWidget::on_lineEdit_BaseID_textChanged() { markField(ui_->lineEdit_BaseID, 0); }

bool ServerWidget::checkInput() {
    bool rejected = false;
    const std::initializer_list<std::pair<QWidget*, bool>> required = {
        {ui_->comboBox_protocol, ui_->comboBox_protocol->currentText().isEmpty()},
        {ui_->lineEdit_address, ui_->lineEdit_address->text().isEmpty()},
        {ui_->lineEdit_port, ui_->lineEdit_port->text().isEmpty()},
        {ui_->lineEdit_name, ui_->lineEdit_name->text().isEmpty()},
    };
    for (const auto& [field, empty] : required) {
        if (!empty) continue;
        markField(field, 1);
        rejected = true;
    }
    // A text its field's rule does not accept is refused too, and the box
    // says which field and why.
    return pagefields::RefuseForm(this, rejected, tr("Please enter parameters."));
}

void ServerWidget::fillRecord(ServerRecord& record) const {
    record.name = ui_->lineEdit_name->text();
    const QVariant protocol = ui_->comboBox_protocol->currentData();
    record.protocol = protocol.isValid() ? protocol.toInt() : -1;
    record.address = ui_->lineEdit_address->text();
    // Read by the port field's own rule, so what the check let through is
    // what is kept; the form is saved only once the check passed.
    record.port = pagefields::WholeNumberOf(ui_->lineEdit_port).value_or(0);
    record.user = ui_->lineEdit_guestName->text();
    record.password = ui_->cbSavePsw->isChecked() ? ui_->lineEdit_psw->text() : QString();
    record.sources.clear();
    for (int i = 0; i < ui_->listWidget_source->count(); ++i)
        record.sources.push_back(ui_->listWidget_source->item(i)->text());
    record.source = ui_->lineEdit_BaseID->text();
}

void ServerWidget::loadServer(int32_t key) {
    ServerRecord record;
    if (!ServerStore::instance()->read(record, key)) return;
    ui_->lineEdit_name->setText(record.name);
    // A code the form does not offer leaves no protocol chosen.
    ui_->comboBox_protocol->setCurrentIndex(ui_->comboBox_protocol->findData(record.protocol));
    ui_->lineEdit_address->setText(record.address);
    ui_->lineEdit_port->setText(QString::number(record.port));
    ui_->lineEdit_guestName->setText(record.user);
    ui_->lineEdit_psw->setText(record.password);
    if (!record.sources.isEmpty()) {
        ui_->listWidget_source->clear();
        ui_->listWidget_source->addItems(record.sources);
    }
    ui_->lineEdit_BaseID->setText(record.source);
}

void ServerWidget::clearForm() {
    for (QLineEdit* field : {ui_->lineEdit_name, ui_->lineEdit_address, ui_->lineEdit_port, ui_->lineEdit_BaseID,
                             ui_->lineEdit_guestName, ui_->lineEdit_psw})
        field->clear();
    ui_->listWidget_source->clear();
    ui_->source_minButton->setEnabled(false);
    ui_->comboBox_protocol->setCurrentIndex(0);
    // Already current when it was the first item: the fields follow anyway.
    updateProtocolFields();
    ui_->cbSavePsw->setChecked(true);
}

void ServerWidget::on_source_addButton_clicked() {
    ServerRecord scratch;
    fillRecord(scratch);
    Source_Add dialog(this);
    dialog.setSources(scratch.sources);
    if (dialog.exec() == QDialog::Accepted) ui_->listWidget_source->addItem(dialog.source());
}

void ServerWidget::on_source_minButton_clicked() {
    QListWidget* list = ui_->listWidget_source;
    int row = list->currentRow();
    if (row < 0) return;
    delete list->takeItem(row);
    if (list->count() == 0) {
        ui_->source_minButton->setEnabled(false);
        return;
    }
    if (row >= list->count()) row = list->count() - 1;
    list->setCurrentRow(row);
}

void ServerWidget::on_listWidget_source_itemSelectionChanged() {
    ui_->source_minButton->setEnabled(!ui_->listWidget_source->selectedItems().isEmpty());
}
