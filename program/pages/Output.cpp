#include "program/pages/Output.h"

#include "program/CommonHelper.h"
#include "program/DeviceManager.h"
#include "program/pages/PageFields.h"
#include "ui_Output.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// Com_Baudrate codes of the receiver port.
struct Baud {
    int rate;
    int code;
};
constexpr Baud kBauds[] = {{9600, 0}, {19200, 1}, {38400, 2}, {57600, 3}, {115200, 4}};

struct Method {
    const char* text;
    int selector;
};
constexpr Method kMethods[] = {
    {QT_TRANSLATE_NOOP("Output", "BlueTooth"), 2},
    {QT_TRANSLATE_NOOP("Output", "Cable"), 1},
    {QT_TRANSLATE_NOOP("Output", "Both"), 3},
};

constexpr int kOneHz = 3;

}  // namespace

Output::Output(QWidget* parent) : Widget(parent), ui_(new Ui::Output) {
    ui_->setupUi(this);

    QAction* back = createAction(tr("Back"), this);
    QAction* pickAll = createAction(tr("AllPick"), this);
    QAction* accept = createAction(tr("Accept"), this);
    QAction* stop = createAction(tr("Stop"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(pickAll, &QAction::triggered, this, &Output::onPickAll);
    connect(accept, &QAction::triggered, this, &Output::onAccept);
    connect(stop, &QAction::triggered, this, &Output::onStop);

    for (const Baud& b : kBauds)
        ui_->comboBox_baudrate->addItem(tr("%1 b/s").arg(b.rate), QVariant(b.code));
    ui_->comboBox_baudrate->setCurrentIndex(0);
    for (const Method& m : kMethods) ui_->cbMethods->addItem(tr(m.text), QVariant(m.selector));
    ui_->cbMethods->setCurrentIndex(pagefields::IndexOfData(ui_->cbMethods, kBothPorts));

    pauseTimer_.setSingleShot(true);
    pauseTimer_.setTimerType(Qt::PreciseTimer);
    pauseTimer_.setInterval(kSetPauseMs);
    connect(&pauseTimer_, &QTimer::timeout, this, &Output::onSetTimeout);
}

Output::~Output() {
    pauseTimer_.stop();
    removeRows();
    setBusy(false);
    clearActions();
    delete ui_;
    ui_ = nullptr;
}

QCheckBox* Output::rowCheck(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].check : nullptr; }

QComboBox* Output::rowRate(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].rate : nullptr; }

void Output::removeRows() {
    for (const Row& row : std::as_const(rows_)) {
        ui_->formLayout->removeRow(row.check);  // deletes the row's widgets
    }
    rows_.clear();
}

void Output::refresh() {
    // The baud row belongs to a serial connection; the connection may have
    // changed since the page was last shown.
    sendBaud_ = CommonHelper::instance()->portType() == 0;
    ui_->label_baudrate->setVisible(sendBaud_);
    ui_->comboBox_baudrate->setVisible(sendBaud_);

    QStringList names;
    QList<uint32_t> masks;
    QStringList rateNames;
    QList<int> rateCodes;
    DeviceManager* manager = DeviceManager::instance();
    manager->nmeaMessages(names, masks);
    manager->outputRates(rateNames, rateCodes);

    removeRows();
    const qsizetype count = std::min(names.size(), masks.size());
    for (qsizetype i = 0; i < count; ++i) {
        auto* check = new QCheckBox(names[i], ui_->scrollAreaWidgetContents);
        auto* rate = new QComboBox(ui_->scrollAreaWidgetContents);
        for (qsizetype r = 0; r < rateNames.size() && r < rateCodes.size(); ++r)
            rate->addItem(QCoreApplication::translate("Output", rateNames[r].toUtf8().constData()),
                          QVariant(rateCodes[r]));
        rate->setCurrentIndex(pagefields::IndexOfData(rate, kOneHz));
        rate->setEnabled(false);
        connect(check, &QCheckBox::clicked, rate, &QWidget::setEnabled);
        ui_->formLayout->addRow(check, rate);
        rows_.push_back({check, rate, masks[i]});
    }
    showOutputSet();
    setFormEnabled(!pauseBusy_);
}

void Output::showOutputSet() {
    // The receiver never reports its NMEA output: what it was last told
    // shows instead, so that a second "Accept" sends what is seen.
    DeviceManager* manager = DeviceManager::instance();
    std::vector<Fjarnis2011::FJParse::_set_nmea> told;
    int port = 0;
    if (manager->nmeaOutput(told, port)) {
        for (const Row& row : std::as_const(rows_)) {
            const auto sent =
                std::find_if(told.begin(), told.end(), [&](const auto& e) { return e.sentence == row.mask; });
            row.check->setChecked(sent != told.end());
            const int rate = sent != told.end() ? pagefields::IndexOfData(row.rate, int(sent->rate)) : -1;
            if (rate >= 0) row.rate->setCurrentIndex(rate);
        }
        const int method = pagefields::IndexOfData(ui_->cbMethods, port);
        if (method >= 0) ui_->cbMethods->setCurrentIndex(method);
    }
    const int baud = pagefields::IndexOfData(ui_->comboBox_baudrate, manager->comBaudrate());
    if (baud >= 0) ui_->comboBox_baudrate->setCurrentIndex(baud);
}

void Output::setFormEnabled(bool on) {
    ui_->comboBox_baudrate->setEnabled(on && ui_->comboBox_baudrate->isVisibleTo(this));
    ui_->cbMethods->setEnabled(on);
    for (const Row& row : std::as_const(rows_)) {
        row.check->setEnabled(on);
        row.rate->setEnabled(on && row.check->isChecked());
    }
    const QList<QAction*> keys = actions();
    for (QAction* key : keys) key->setEnabled(on);
}

void Output::onPickAll() {
    for (const Row& row : std::as_const(rows_)) row.check->click();
}

void Output::startPause(bool busy) {
    if (busy) {
        pauseBusy_ = true;
        setBusy(true);
        setFormEnabled(false);
    }
    pauseTimer_.start();
}

void Output::onAccept() {
    std::vector<Fjarnis2011::FJParse::_set_nmea> selection;
    for (const Row& row : std::as_const(rows_)) {
        if (!row.check->isChecked()) continue;
        const uint32_t rate = row.rate->currentIndex() >= 0 ? uint32_t(row.rate->currentData().toInt()) : 0u;
        selection.push_back({row.mask, rate});
    }
    if (selection.empty()) {
        QMessageBox::warning(this, tr("Brantor"), tr("No data selected."), QMessageBox::Yes);
        return;
    }
    const bool reboot = QMessageBox::question(this, tr("Brantor"), tr("Output selected data after reboot?"),
                                              QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::Yes) == QMessageBox::Yes;
    DeviceManager* manager = DeviceManager::instance();
    manager->setOrvelNmea(selection, reboot, ui_->cbMethods->currentData().toInt());
    if (sendBaud_)
        manager->setComBaudrate(DeviceManager::Com_Baudrate(ui_->comboBox_baudrate->currentData().toInt()));
    startPause(reboot);
}

void Output::onStop() {
    std::vector<Fjarnis2011::FJParse::_set_nmea> selection(size_t(rows_.size()), {0u, 0u});
    startPause(true);
    DeviceManager::instance()->setOrvelNmea(selection, false, kBothPorts);
}

void Output::onSetTimeout() {
    if (!pauseBusy_) return;
    pauseBusy_ = false;
    setBusy(false);
    setFormEnabled(true);
}
