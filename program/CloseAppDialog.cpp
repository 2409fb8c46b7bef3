#include "program/CloseAppDialog.h"

#include "ui_CloseAppDialog.h"

CloseAppDialog::CloseAppDialog(QWidget* parent) : QDialog(parent), ui_(new Ui::CloseAppDialogClass) {
    ui_->setupUi(this);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) &
                   ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));
    ui_->rbExit->setChecked(true);
}

CloseAppDialog::~CloseAppDialog() { delete ui_; }

int CloseAppDialog::choice() const {
    if (ui_->rbPowerOff->isChecked()) return 1;
    if (ui_->rbPassThrough->isChecked()) return 2;
    return 0;
}

void CloseAppDialog::on_pushButton_ok_clicked() { accept(); }

void CloseAppDialog::on_pushButton_cancel_clicked() { reject(); }
