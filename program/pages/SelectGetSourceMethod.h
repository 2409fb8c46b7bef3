#pragma once

#include <QDialog>

namespace Ui {
class SelectGetSourceMethodClass;
}

// Asks how a caster's source table is fetched: over the program's own
// connection ("Local Net") or by the receiver's modem ("Device GPRS").
class SelectGetSourceMethod : public QDialog {
    Q_OBJECT

public:
    explicit SelectGetSourceMethod(QWidget* parent = nullptr);
    ~SelectGetSourceMethod() override;

    // 1 by the receiver's modem, 0 over the program's own connection.
    int method() const;

public slots:
    void on_cancelButton_clicked();
    void on_okButton_clicked();

private:
    Ui::SelectGetSourceMethodClass* ui_;
};
