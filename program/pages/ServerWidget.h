#pragma once

#include "program/Widget.h"

#include <cstdint>

class QComboBox;
class QLineEdit;
class QListWidget;
struct ServerRecord;

namespace Ui {
class ServerWidget;
}

// The form of one correction server: name, protocol, address and port, and
// by protocol a base ID ("ZELT") or the caster login with its sources
// ("Ntrip Client"). Hosted by the add and the detail page.
class ServerWidget : public Widget {
    Q_OBJECT

public:
    explicit ServerWidget(QWidget* parent = nullptr);
    ~ServerWidget() override;

    // True when the input is rejected: a required field is empty, or a
    // field's rule does not accept its text (it is marked and the reason
    // shown).
    bool checkInput();
    // Every field goes into the record, hidden ones included; the store
    // decides what each protocol keeps. The key is not touched.
    void fillRecord(ServerRecord& record) const;
    // Loads the live server with this key; nothing when there is none.
    void loadServer(int32_t key);
    void clearForm();

    QLineEdit* nameField() const;
    QComboBox* protocolField() const;
    QLineEdit* addressField() const;
    QLineEdit* portField() const;
    QLineEdit* baseIdField() const;
    QLineEdit* userField() const;
    QLineEdit* passwordField() const;
    QListWidget* sourceList() const;

public slots:
    void on_source_addButton_clicked();
    void on_source_minButton_clicked();
    void on_comboBox_protocol_currentIndexChanged();
    void on_lineEdit_name_textChanged();
    void on_lineEdit_address_textChanged();
    void on_lineEdit_port_textChanged();
    void on_lineEdit_BaseID_textChanged();
    void on_listWidget_source_itemSelectionChanged();

private:
    void updateProtocolFields();

    Ui::ServerWidget* ui_;
};
