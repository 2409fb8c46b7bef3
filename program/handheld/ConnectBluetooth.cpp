// The handheld Connect page's Bluetooth search and binding: the port
// library's Bluetooth task runs on a worker thread, hands each device it
// finds over to the GUI thread, and the chosen one is bound to the port
// before the connection opens.

#include "fjcomm/Bluetooth.h"
#include "program/WorkerThread.h"
#include "program/pages/Connect.h"
#include "ui_Connect.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>

using Fjarnis2011::FJComm::Bluetooth;

namespace {

// Codes of a search that ended by itself: the inquiry ran out (0 once a
// device was reported, else "no more results"), or the radio went down.
constexpr int kNoMoreResults = 10110;
constexpr int kNetworkDown = 10050;

// Runs on the search thread once per device: the row belongs to the GUI
// thread, so name and address travel there by value, in call order.
void OnDeviceFound(const wchar_t* name, Fjarnis2011::FJComm::BT_ADDR* address, uint32_t* /*port*/,
                   uint32_t /*portValue*/) {
    Connect* page = Connect::current();
    if (!page || !address) return;
    const QString text = name ? QString::fromWCharArray(name) : QString();
    const uint64_t value = *address;
    QMetaObject::invokeMethod(page, [page, text, value] { page->addDeviceItem(text, value); },
                              Qt::QueuedConnection);
}

}  // namespace

void Connect::createBluetoothSearch() {
    searchWorker_ = new WorkerThread(this);
    searchTask_ = new Bluetooth();
    searchStopping_ = false;
}

void Connect::releaseSearchObjects() {
    // The task may be deleted only once the thread that runs it has ended.
    if (searchWorker_) {
        searchWorker_->stop();
        searchWorker_->wait();
    }
    delete searchWorker_;
    searchWorker_ = nullptr;
    delete searchTask_;
    searchTask_ = nullptr;
}

void Connect::onSearch() {
    if (!searchWorker_ || !searchTask_) return;
    clearDeviceRows();
    if (searchWorker_->isRunning()) {
        const auto answer = QMessageBox::warning(
            this, tr("Warning"),
            tr("Begin start the new search behavior, you must stop the current search, do you want to do so?"),
            QMessageBox::Ok);
        if (answer == QMessageBox::Ok) searchWorker_->stop();
        return;
    }
    setBusy(true);
    setControlsEnabled(false);
    connect(searchWorker_, &QThread::finished, this, &Connect::onSearchFinished, Qt::UniqueConnection);
    searchTask_->deviceFound = &OnDeviceFound;
    if (!searchWorker_->start(searchTask_)) {
        setBusy(false);
        setControlsEnabled(true);
        QMessageBox::warning(this, tr("Warning"), tr("Bluetooth closed."), QMessageBox::Ok);
        return;
    }
    updateSearchItem(1);
}

void Connect::onStop() {
    if (!searchWorker_) return;
    searchStopping_ = true;
    updateSearchItem(2);
    searchWorker_->stop();
}

void Connect::onSearchFinished() {
    updateSearchItem(0);
    setBusy(false);
    setControlsEnabled(true);
    if (searchStopping_) {
        searchStopping_ = false;
        return;
    }
    const int code = searchTask_ ? searchTask_->GetErrorCode() : 0;
    if (code == 0 || code == kNoMoreResults) {
        if (ui_->listWidget->count() > 1)
            QMessageBox::information(this, tr("Information"), tr("No more devices around."), QMessageBox::Ok);
        else
            QMessageBox::warning(this, tr("Warning"), tr("Bluetooth closed or no device around !"),
                                 QMessageBox::Ok);
    } else if (code == kNetworkDown) {
        QMessageBox::warning(this, tr("Warning"), tr("Bluetooth closed or no device around !"), QMessageBox::Ok);
    } else {
        QMessageBox::warning(this, tr("Warning"), tr("Failed to search device!\nError Code: %1").arg(code),
                             QMessageBox::Ok);
    }
}

bool Connect::bindSelectedDevice() {
    if (connectionMethod_ == 1) {
        uint64_t address = 0;
        if (currentDeviceRow_ >= 1 && size_t(currentDeviceRow_ - 1) < boundAddresses_.size())
            address = boundAddresses_[size_t(currentDeviceRow_ - 1)];
        resultCode_ = searchTask_ ? searchTask_->BindBluetooth(address, unsigned(portNumber_), 0) : 1;
    }
    return resultCode_ == 0;
}
