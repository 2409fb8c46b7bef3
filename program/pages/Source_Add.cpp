#include "program/pages/Source_Add.h"

#include "program/CommonHelper.h"
#include "program/ConfigFiles.h"
#include "program/pages/PageFields.h"
#include "ui_Source_Add.h"

#include <QLineEdit>
#include <QPushButton>

Source_Add::Source_Add(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags), ui_(new Ui::Source_Add) {
    ui_->setupUi(this);
    setWindowModality(Qt::WindowModal);
    // No context-help button (Qt 6 has no title-bar OK button to drop).
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Its own copy of the limits, read when the dialog is built.
    const ValidityCheckSettings limits;
    int32_t user = 0, password = 0, source = 0, total = 0;
    limits.corsLengths(user, password, source, total);
    // A name the rule refuses stays as typed and is refused on "OK".
    pagefields::SetRule(ui_->lineEdit, QT_TRANSLATE_NOOP("PageFields", "Mount point"), pagefields::MountPoint(source));
    ui_->okButton->setEnabled(false);
}

Source_Add::~Source_Add() { delete ui_; }

void Source_Add::setSources(const QStringList& sources) { sources_ = sources; }

QString Source_Add::source() const { return ui_->lineEdit->text(); }

QLineEdit* Source_Add::field() const { return ui_->lineEdit; }
QPushButton* Source_Add::okButton() const { return ui_->okButton; }
QString Source_Add::prompt() const { return ui_->label->text(); }

void Source_Add::on_lineEdit_textChanged() {
    ui_->label->setText(tr("Enter source:"));
    ui_->okButton->setEnabled(!ui_->lineEdit->text().isEmpty());
}

void Source_Add::on_okButton_clicked() {
    const QString text = ui_->lineEdit->text();
    // An empty name cannot be taken either (the button is disabled then,
    // but a key press may still reach it).
    if (text.isEmpty()) return;
    // Marked red, as the forms mark a field they refuse, and the prompt says
    // why; both go with the next edit.
    QStringList refused;
    if (!pagefields::MarkRefusedFields(this, &refused)) {
        ui_->label->setText(refused.join(QLatin1Char('\n')));
        return;
    }
    if (sources_.contains(text, Qt::CaseSensitive)) {
        ui_->lineEdit->clear();
        ui_->lineEdit->setFocus();
        ui_->label->setText(tr("Already existed..."));
        return;
    }
    accept();
}

void Source_Add::on_cancelButton_clicked() { reject(); }
