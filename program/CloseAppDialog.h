#pragma once

#include <QDialog>

namespace Ui {
class CloseAppDialogClass;
}

// Asks how to leave the program with a receiver connected: exit only, power
// the receiver off, or switch it to pass-through.
class CloseAppDialog : public QDialog {
    Q_OBJECT

public:
    explicit CloseAppDialog(QWidget* parent = nullptr);
    ~CloseAppDialog() override;

    // 1 power off, 2 pass-through, 0 exit only.
    int choice() const;

public slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();

private:
    Ui::CloseAppDialogClass* ui_;
};
