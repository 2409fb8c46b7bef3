#pragma once

#include "program/Widget.h"

class QAction;
class ServerStore;

namespace Ui {
class ServerConfig;
}

// The page "Server Settings": the correction servers of the server store in
// a table, from which the user opens an empty server form ("Add"), opens the
// selected server ("Detail") or deletes it. It never talks to the receiver.
class ServerConfig : public Widget {
    Q_OBJECT

public:
    // Column 0 keeps the server's key under this item role.
    static constexpr int kKeyRole = Qt::UserRole + 1;

    explicit ServerConfig(QWidget* parent = nullptr);
    ~ServerConfig() override;

    void refresh() override;

    QAction* deleteAction() const { return delete_; }
    QAction* detailAction() const { return detail_; }

signals:
    void command(const QString& cmd);

public slots:
    void add();
    void del();
    void detail();
    void onUpdateList();
    void on_tableWidget_serverConfig_itemSelectionChanged();
    void on_tableWidget_serverConfig_itemDoubleClicked();
    void onListSort(int column);

private:
    int currentKey() const;
    void setRowKeysEnabled(bool enabled);

    Ui::ServerConfig* ui_;
    ServerStore* store_;
    QAction* new_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* detail_ = nullptr;
};
