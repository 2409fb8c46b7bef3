#include "program/pages/ServerConfig.h"

#include "program/CommonHelper.h"
#include "program/ServerStore.h"
#include "program/SettingsSaveFailure.h"
#include "ui_ServerConfig.h"

#include <QAction>
#include <QHeaderView>
#include <QTableWidget>

ServerConfig::ServerConfig(QWidget* parent)
    : Widget(parent), ui_(new Ui::ServerConfig), store_(ServerStore::instance()) {
    ui_->setupUi(this);
    QTableWidget* table = ui_->tableWidget_serverConfig;
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    table->setContentsMargins(2, 2, 2, 2);

    QAction* back = createAction(tr("Back"), this);
    new_ = createAction(tr("New"), this);
    new_->setData(QStringLiteral("Add"));
    delete_ = createAction(tr("Delete"), this);
    detail_ = createAction(tr("Detail"), this);
    detail_->setData(QStringLiteral("Detail"));
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(new_, &QAction::triggered, this, &ServerConfig::add);
    connect(delete_, &QAction::triggered, this, &ServerConfig::del);
    connect(detail_, &QAction::triggered, this, &ServerConfig::detail);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, &ServerConfig::onListSort);

    if (table->currentRow() < 0) setRowKeysEnabled(false);
}

ServerConfig::~ServerConfig() {
    delete ui_;
    clearActions();
}

void ServerConfig::refresh() { onUpdateList(); }

void ServerConfig::setRowKeysEnabled(bool enabled) {
    delete_->setEnabled(enabled);
    detail_->setEnabled(enabled);
}

void ServerConfig::onUpdateList() {
    QTableWidget* table = ui_->tableWidget_serverConfig;
    if (table->rowCount() > 0) table->clearContents();
    QList<ServerRecord> servers;
    // A file that cannot be read is no empty list of servers: it is told.
    if (const int32_t failure = store_->readAll(servers)) ShowSettingsSaveFailure(this, failure);
    table->setRowCount(int(servers.size()));
    for (int i = 0; i < int(servers.size()); ++i) {
        const ServerRecord& s = servers[i];
        auto* name = new QTableWidgetItem(s.name);
        name->setData(kKeyRole, int(s.key));
        table->setItem(i, 0, name);
        table->setItem(i, 1, new QTableWidgetItem(CommonHelper::translateTerm(s.protocol)));
        table->setItem(i, 2, new QTableWidgetItem(s.address));
        table->setItem(i, 3, new QTableWidgetItem(QString::number(s.port)));
    }
    on_tableWidget_serverConfig_itemSelectionChanged();
}

int ServerConfig::currentKey() const {
    const QTableWidget* table = ui_->tableWidget_serverConfig;
    const int row = table->currentRow();
    const QTableWidgetItem* item = row >= 0 ? table->item(row, 0) : nullptr;
    bool ok = false;
    const int key = item ? item->data(kKeyRole).toInt(&ok) : -1;
    return ok ? key : -1;
}

void ServerConfig::add() { emit command(new_->data().toString()); }

void ServerConfig::detail() {
    const int key = currentKey();
    if (key <= -1) return;
    params.clear();
    params.insert(QStringLiteral("Key"), key);
    emit command(detail_->data().toString());
}

void ServerConfig::del() {
    QTableWidget* table = ui_->tableWidget_serverConfig;
    int row = table->currentRow();
    const int count = table->rowCount();
    if (row < 0 || row >= count) return;
    const QTableWidgetItem* item = table->item(row, 0);
    // A deletion that could not be saved leaves the server listed, as the
    // file still holds it.
    if (item)
        if (const int32_t error = store_->remove(item->data(kKeyRole).toInt())) {
            ShowSettingsSaveFailure(this, error);
            return;
        }
    table->removeRow(row);
    if (table->rowCount() == 0) {
        setRowKeysEnabled(false);
        return;
    }
    if (row == count - 1) row = table->rowCount() - 1;
    table->setCurrentCell(row, 0);
}

void ServerConfig::on_tableWidget_serverConfig_itemSelectionChanged() {
    const bool selected = !ui_->tableWidget_serverConfig->selectionModel()->selectedRows().isEmpty();
    setRowKeysEnabled(selected);
}

void ServerConfig::on_tableWidget_serverConfig_itemDoubleClicked() { detail(); }

void ServerConfig::onListSort(int column) {
    QHeaderView* header = ui_->tableWidget_serverConfig->horizontalHeader();
    ui_->tableWidget_serverConfig->sortItems(column, header->sortIndicatorOrder());
}
