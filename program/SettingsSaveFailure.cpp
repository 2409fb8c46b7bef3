#include "program/SettingsSaveFailure.h"

#include "program/JSettings.h"

#include <QCoreApplication>
#include <QMessageBox>

void ShowSettingsSaveFailure(QWidget* parent, int32_t error) {
    const QString reason = QString::fromStdWString(JSettings::errorText(error));
    QMessageBox::warning(parent, QCoreApplication::translate("SettingsSaveFailure", "Warning"),
                         QCoreApplication::translate("SettingsSaveFailure", "The settings could not be saved: %1")
                             .arg(reason),
                         QMessageBox::Ok);
}
