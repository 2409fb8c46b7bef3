#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

namespace Ui {
class Source_Add;
}

// The small dialog in which the user types the name of one source (an NTRIP
// mount point) for a server's source list; a name the list holds already is
// refused.
class Source_Add : public QDialog {
    Q_OBJECT

public:
    explicit Source_Add(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Source_Add() override;

    // The names already in the caller's list.
    void setSources(const QStringList& sources);
    QString source() const;

    QLineEdit* field() const;
    QPushButton* okButton() const;
    QString prompt() const;

public slots:
    void on_lineEdit_textChanged();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    Ui::Source_Add* ui_;
    QStringList sources_;
};
