#include "program/pages/ServerPages.h"

#include "program/ServerStore.h"
#include "program/SettingsSaveFailure.h"
#include "program/pages/ServerWidget.h"

#include <QAction>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

// The form fills its page; "Back" and the page's own end return to the
// server list (the main window closes the page on top).
template <typename Page>
ServerWidget* BuildPage(Page* page, QWidget* parent, void (Page::*save)(), const QString& backText,
                        const QString& okText) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* form = new ServerWidget(page);
    layout->addWidget(form);
    QAction* back = page->createAction(backText, page);
    QAction* ok = page->createAction(okText, page);
    if (parent) {
        QObject::connect(back, &QAction::triggered, parent, &QWidget::close);
        QObject::connect(page, &Page::backToConfig, parent, &QWidget::close);
    }
    QObject::connect(ok, &QAction::triggered, page, save);
    return form;
}


}  // namespace

// ---- new server --------------------------------------------------------------

ServerConfig_Add::ServerConfig_Add(QWidget* parent) : Widget(parent), form_(nullptr) {
    setWindowTitle(tr("New Server"));
    form_ = BuildPage(this, parent, &ServerConfig_Add::set, tr("Back"), tr("OK"));
}

ServerConfig_Add::~ServerConfig_Add() { clearActions(); }

void ServerConfig_Add::refresh() { form_->clearForm(); }

bool ServerConfig_Add::writesSettings() const { return true; }

void ServerConfig_Add::set() {
    if (form_->checkInput()) return;
    ServerRecord record;
    form_->fillRecord(record);
    ServerStore* store = ServerStore::instance();
    if (store->nameExists(record.name, -1)) {
        QMessageBox::warning(this, tr("Warning"), tr("Server with the name exits."), QMessageBox::Ok);
        return;
    }
    // A server that could not be saved is not claimed to be: the form stays
    // as it is, for another try.
    if (const int32_t error = store->append(record)) {
        ShowSettingsSaveFailure(this, error);
        return;
    }
    QMessageBox::information(this, tr("Information"), tr("Success!"), QMessageBox::Ok);
    emit backToConfig();
}

// ---- server details ----------------------------------------------------------

ServerDetail::ServerDetail(QWidget* parent) : Widget(parent), form_(nullptr) {
    setWindowTitle(tr("Server Details"));
    form_ = BuildPage(this, parent, &ServerDetail::accepted, tr("Back"), tr("OK"));
}

ServerDetail::~ServerDetail() { clearActions(); }

void ServerDetail::setParams(QHash<QString, QVariant>& params) {
    // A map without a key names no server (0 would name the first one).
    bool ok = false;
    key_ = params.value(QStringLiteral("Key")).toInt(&ok);
    if (!ok) key_ = -1;
    form_->clearForm();
    form_->loadServer(key_);
}

bool ServerDetail::writesSettings() const { return true; }

void ServerDetail::accepted() {
    if (form_->checkInput()) return;
    ServerRecord record;
    form_->fillRecord(record);
    ServerStore* store = ServerStore::instance();
    if (store->nameExists(record.name, key_)) {
        QMessageBox::warning(this, tr("Warning"), tr("Server with the name exits."), QMessageBox::Ok);
        return;
    }
    record.key = key_;
    int32_t keptAs = key_;
    if (const int32_t error = store->update(record, &keptAs)) {
        ShowSettingsSaveFailure(this, error);
        return;
    }
    if (keptAs != key_) ShowServerKeptAsNew(this);
    emit backToConfig();
}
