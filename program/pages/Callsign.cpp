#include "program/pages/Callsign.h"

#include "ui_Callsign.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

Callsign::Callsign(QWidget* parent) : Widget(parent), ui_(new Ui::Callsign) {
    ui_->setupUi(this);
    ui_->comboBox_callsign_state->addItem(tr("On"), true);
    ui_->comboBox_callsign_state->addItem(tr("Off"), false);
    // 1 to 30 minutes, 1 to 9 also with a leading 0.
    ui_->lineEdit_callsign_interval->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(^[1-9]{1}|[1-2]\d|0[1-9]|30$)")), this));
    // Word characters of every script, as a user's keyboard gives them.
    ui_->lineEdit_callsign_message->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(\w{1,14})"), QRegularExpression::UseUnicodePropertiesOption), this));
    ui_->lineEdit_callsign_message->setMaxLength(kMessageLength);

    QAction* back = createAction(tr("Back"), this);
    QAction* ok = createAction(tr("Ok"), this);
    connect(back, &QAction::triggered, this, &Callsign::onBack);
    connect(ok, &QAction::triggered, this, &Callsign::onBack);
    if (parent) connect(this, &Callsign::finish, parent, &QWidget::close);
}

Callsign::~Callsign() {
    delete ui_;
    clearActions();
}

bool Callsign::writesSettings() const { return true; }

QComboBox* Callsign::stateField() const { return ui_->comboBox_callsign_state; }
QLineEdit* Callsign::intervalField() const { return ui_->lineEdit_callsign_interval; }
QLineEdit* Callsign::messageField() const { return ui_->lineEdit_callsign_message; }

void Callsign::setParams(QHash<QString, QVariant>& params) {
    const bool state = params.value(QStringLiteral("CSState")).toBool();
    const int interval = params.value(QStringLiteral("CSInterval")).toInt();
    const int length = std::max(0, params.value(QStringLiteral("CSLength")).toInt());
    const QString message = params.value(QStringLiteral("CSMessage")).toString().left(length);
    ui_->comboBox_callsign_state->setCurrentIndex(ui_->comboBox_callsign_state->findData(state));
    ui_->lineEdit_callsign_interval->setText(QString::number(interval));
    ui_->lineEdit_callsign_message->setText(message);
}

void Callsign::onBack() {
    const bool state = ui_->comboBox_callsign_state->currentData().toBool();
    const int interval = ui_->lineEdit_callsign_interval->text().toInt();
    // The radio takes the message as one byte per character: a character
    // that Latin-1 lacks goes as '?'.
    const QByteArray bytes = ui_->lineEdit_callsign_message->text().left(kMessageLength).toLatin1();
    const QString message = QString::fromLatin1(bytes);
    params.clear();
    params.insert(QStringLiteral("CSState"), state);
    params.insert(QStringLiteral("CSInterval"), interval);
    params.insert(QStringLiteral("CSMessage"), message);
    params.insert(QStringLiteral("CSLength"), int(message.size()));
    params.insert(QStringLiteral("InSetting"), true);
    emit finish();
}
