#include "program/pages/SelectGetSourceMethod.h"

#include "ui_SelectGetSourceMethod.h"

SelectGetSourceMethod::SelectGetSourceMethod(QWidget* parent)
    : QDialog(parent), ui_(new Ui::SelectGetSourceMethodClass) {
    ui_->setupUi(this);
    ui_->radioButton_socket->setText(tr("Local Net"));
    setWindowTitle(tr("Get source table"));
    // The choice ends with the dialog's own buttons only.
    setWindowFlags(windowFlags() & ~(Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint));
}

SelectGetSourceMethod::~SelectGetSourceMethod() { delete ui_; }

int SelectGetSourceMethod::method() const { return ui_->radioButton_deviceNet->isChecked() ? 1 : 0; }

void SelectGetSourceMethod::on_cancelButton_clicked() { reject(); }

void SelectGetSourceMethod::on_okButton_clicked() { accept(); }
