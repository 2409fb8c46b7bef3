#include "program/pages/InlayNet.h"

#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/PageFields.h"
#include "ui_InlayNet_Widget.h"

#include <QAction>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

// A modem text of the receiver's record up to its first zero byte, never
// past its field.
template <size_t N>
QString FieldText(const char (&field)[N]) {
    return QString::fromLatin1(field, qsizetype(strnlen(field, N)));
}

// A field text into a fixed record field, cut to leave room for the
// terminating zero.
template <size_t N>
void PutField(char (&field)[N], const QString& text) {
    const QByteArray bytes = text.toLatin1();
    std::memset(field, 0, N);
    std::memcpy(field, bytes.constData(), std::min<size_t>(size_t(bytes.size()), N - 1));
}

int32_t FieldLimit(int32_t configured) { return std::clamp(configured, 1, InlayNet_Widget::kFieldCapacity); }

}  // namespace

// ---- the form ---------------------------------------------------------------

InlayNet_Widget::InlayNet_Widget(QWidget* parent) : Widget(parent), ui_(new Ui::InlayNet_Widget) {
    ui_->setupUi(this);
    int32_t user = 0, password = 0;
    ValidityCheckSettings::instance()->apnLengths(user, password, total_);
    // The limits come from a file the user may edit; a field never takes
    // more than its record field holds.
    // A text the rules refuse (a character beyond ASCII in the APN, one
    // too many) stays as typed and is refused on "Set".
    pagefields::SetRule(ui_->lineEdit_APN, QT_TRANSLATE_NOOP("PageFields", "APN"),
                        pagefields::AsciiText(FieldLimit(29)));
    pagefields::SetRule(ui_->lineEdit_serverNum, QT_TRANSLATE_NOOP("PageFields", "Dial number"),
                        pagefields::AsciiText(FieldLimit(13)));
    pagefields::SetRule(ui_->lineEdit_guestName, QT_TRANSLATE_NOOP("PageFields", "User name"),
                        pagefields::Word(FieldLimit(user)));
    pagefields::SetRule(ui_->lineEdit_psw, QT_TRANSLATE_NOOP("PageFields", "Password"),
                        pagefields::AsciiText(FieldLimit(password)));
}

InlayNet_Widget::~InlayNet_Widget() { delete ui_; }

QLineEdit* InlayNet_Widget::apn() const { return ui_->lineEdit_APN; }
QLineEdit* InlayNet_Widget::dialNumber() const { return ui_->lineEdit_serverNum; }
QLineEdit* InlayNet_Widget::userName() const { return ui_->lineEdit_guestName; }
QLineEdit* InlayNet_Widget::password() const { return ui_->lineEdit_psw; }

void InlayNet_Widget::clearFields() {
    for (QLineEdit* field : {ui_->lineEdit_APN, ui_->lineEdit_serverNum, ui_->lineEdit_guestName, ui_->lineEdit_psw})
        field->clear();
}

void InlayNet_Widget::on_lineEdit_APN_textChanged() { markField(ui_->lineEdit_APN, 0); }

void InlayNet_Widget::on_lineEdit_serverNum_textChanged() { markField(ui_->lineEdit_serverNum, 0); }

bool InlayNet_Widget::checkForm() {
    bool missing = false;
    for (QLineEdit* field : {ui_->lineEdit_APN, ui_->lineEdit_serverNum}) {
        if (!field->text().isEmpty()) continue;
        markField(field, 1);
        missing = true;
    }
    // A login too long for the modem is told in the same box as the fields
    // refused.
    QStringList more;
    const qsizetype length = ui_->lineEdit_guestName->text().size() + ui_->lineEdit_psw->text().size();
    if (length > total_)
        more.push_back(tr("Total length of\nuser name and password\nis beyond %1!",
                          "How to describe this error is not sure.")
                           .arg(total_));
    return !pagefields::RefuseForm(this, missing, tr("Please enter parameters."), more);
}

// ---- the page ---------------------------------------------------------------

InlayNet::InlayNet(QWidget* parent) : Widget(parent), form_(nullptr) {
    setWindowTitle(tr("APN Settings"));
    resize(240, 320);
    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form_ = new InlayNet_Widget(this);
    layout->addRow(form_);

    QAction* back = createAction(tr("Back"), this);
    QAction* get = createAction(tr("Get"), this);
    QAction* set = createAction(tr("Set"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(get, &QAction::triggered, this, &InlayNet::sendCommand);
    connect(set, &QAction::triggered, this, &InlayNet::setInfo);
    pageRead().expect(kAllReplies);
    pageRead().onTimeout([this](unsigned received) {
        setBusy(false);
        hookObserver(false);
        if (received == 0)
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get parameters!"), QMessageBox::Ok);
        setFormEnabled(true);
    });
}

InlayNet::~InlayNet() {
    hookObserver(false);
    pageRead().stop();
    setBusy(false);
    clearActions();
}

bool InlayNet::writesSettings() const { return true; }

void InlayNet::hookObserver(bool hook) {
    DeviceObserver* observer = hook ? DeviceObserver::instance() : DeviceObserver::existing();
    hooked_ = hook;
    if (!observer) return;
    observer->unsubscribe(SIGNAL(wirelessParamters()), this);
    if (hook) observer->subscribe(this, SIGNAL(wirelessParamters()), SLOT(onWirelessParamters()));
}

void InlayNet::setFormEnabled(bool enabled) {
    form_->setEnabled(enabled);
    const QList<QAction*> keys = actions();
    for (QAction* key : keys) key->setEnabled(enabled);
}

void InlayNet::refresh() {
    // The fields fill from the receiver while the form stays usable.
    hookObserver(true);
    DeviceManager::instance()->sendGprsInfo();
}

void InlayNet::sendCommand() {
    setBusy(true);
    hookObserver(false);
    form_->clearFields();
    setFormEnabled(false);

    hookObserver(true);
    DeviceManager::instance()->sendGprsInfo();
    pageRead().start(kAllReplies, kReadTimeoutMs);
}

void InlayNet::onWirelessParamters() {
    if (!hooked_) return;
    DeviceManager::WirelessInfo info{};
    DeviceManager::instance()->gprsInfo(info);
    form_->apn()->setText(FieldText(info.apn));
    form_->dialNumber()->setText(FieldText(info.dialNumber));
    form_->userName()->setText(FieldText(info.userName));
    form_->password()->setText(FieldText(info.password));
    if (!pageRead().arrive(kModemRecordBit)) return;
    setBusy(false);
    setFormEnabled(true);
    hookObserver(false);
}

void InlayNet::setInfo() {
    if (!form_->checkForm()) return;
    setBusy(true);
    setFormEnabled(false);
    writing_ = true;

    DeviceManager::SvcInfo info{};
    PutField(info.userName, form_->userName()->text());
    PutField(info.password, form_->password()->text());
    PutField(info.apn, form_->apn()->text());
    PutField(info.dialNumber, form_->dialNumber()->text());
    DeviceManager::instance()->setGprsSvcInfo(info);

    QTimer::singleShot(kSetPauseMs, Qt::PreciseTimer, this, &InlayNet::onSetTimeout);
}

void InlayNet::onSetTimeout() {
    writing_ = false;
    setBusy(false);
    setFormEnabled(true);
}
