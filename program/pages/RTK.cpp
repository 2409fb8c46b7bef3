#include "program/pages/RTK.h"

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/GlobalSettings.h"
#include "program/pages/PageFields.h"
#include "ui_RTK.h"

#include <QAction>
#include <QFormLayout>
#include <QMessageBox>
#include <QTimer>

using pagefields::IndexOfData;
using pagefields::SelectData;

namespace {

struct Item {
    const char* text;
    int data;
};

// GNSS_FRQ codes; the rate texts are shown as they stand.
using namespace Fjarnis2011::FJParse;
constexpr Item kRates[] = {{"1Hz", GNSS_FRQ_1HZ}, {"2Hz", GNSS_FRQ_2HZ}, {"5Hz", GNSS_FRQ_5HZ}};

constexpr Item kStartWays[] = {
    {QT_TRANSLATE_NOOP("RTK", "None"), 0},
    {QT_TRANSLATE_NOOP("RTK", "Auto Base"), 1},
    {QT_TRANSLATE_NOOP("RTK", "Auto Rover"), 2},
};

constexpr Item kSendPorts[] = {
    {QT_TRANSLATE_NOOP("RTK", "GPRS And Cable"), 3},
    {QT_TRANSLATE_NOOP("RTK", "GPRS Or UHF"), 2},
    {QT_TRANSLATE_NOOP("RTK", "Cable"), 1},
};

constexpr Item kFormats[] = {
    {QT_TRANSLATE_NOOP("RTK", "CMR"), 0},   {QT_TRANSLATE_NOOP("RTK", "CMR+"), 1},
    {QT_TRANSLATE_NOOP("RTK", "RTCM2"), 2}, {QT_TRANSLATE_NOOP("RTK", "RTCM3"), 3},
    {QT_TRANSLATE_NOOP("RTK", "RTCA"), 4},  {QT_TRANSLATE_NOOP("RTK", "SCMR"), 5},
    {QT_TRANSLATE_NOOP("RTK", "RTCM3.2"), 6},
};

// "GPRS And Cable": with language type 1 the radio is switched to mode 0 too.
constexpr int kPortGprsAndCable = 3;
constexpr int kRadioLanguageType = 1;

// The receiver's position rate in Hz as the rate item's GNSS_FRQ code.
int RateCode(int hz) { return hz == 5 ? GNSS_FRQ_5HZ : hz == 2 ? GNSS_FRQ_2HZ : GNSS_FRQ_1HZ; }

}  // namespace

RTK::RTK(QWidget* parent) : Widget(parent), ui_(new Ui::RTK) {
    ui_->setupUi(this);

    QAction* back = createAction(tr("Back"), this);
    QAction* get = createAction(tr("Get"), this);
    QAction* set = createAction(tr("Set"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(get, &QAction::triggered, this, &RTK::sendCommand);
    connect(set, &QAction::triggered, this, &RTK::setInfo);

    pagefields::SetRule(ui_->lineEdit_elevMask, QT_TRANSLATE_NOOP("PageFields", "Elevation mask"),
                        pagefields::WholeNumber(0, 90));
    // The distance goes out as 16 bits: a larger number is refused, never
    // sent as 0.
    pagefields::SetRule(ui_->leDis, QT_TRANSLATE_NOOP("PageFields", "Distance"), pagefields::WholeNumber(0, 65535));
    fillOutputModes();
    for (const Item& i : kRates) ui_->comboBox_output_freq->addItem(QString::fromLatin1(i.text), QVariant(i.data));
    for (const Item& i : kStartWays) ui_->comboBox_startWay->addItem(tr(i.text), QVariant(i.data));
    for (const Item& i : kSendPorts) ui_->comboBox_sendPort->addItem(tr(i.text), QVariant(i.data));
    for (const Item& i : kFormats) ui_->comboBox_diffMode->addItem(tr(i.text), QVariant(i.data));
    ui_->lblDis->hide();
    ui_->leDis->hide();
    ui_->lblMeter->hide();
    // A row whose field does not fit beside its label at 240 pixels goes
    // below it, rather than the page widening the window.
    ui_->formLayout->setRowWrapPolicy(QFormLayout::WrapLongRows);
    pageRead().onTimeout([this](unsigned received) {
        endRead();
        if (received == 0)
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get parameters!"), QMessageBox::Ok);
        setFormEnabled(true);
    });
}

RTK::~RTK() {
    hookObserver(false);
    pageRead().stop();
    setBusy(false);
    delete ui_;
    ui_ = nullptr;
    clearActions();
}

bool RTK::writesSettings() const { return true; }

void RTK::fillOutputModes() {
    // Firmware before version 8 can also output GGA alone. The list follows
    // the receiver connected now, not the one known when the page was made.
    QComboBox* box = ui_->comboBox_outPut;
    const int current = box->currentIndex() >= 0 ? box->currentData().toInt() : -1;
    box->clear();
    box->addItem(tr("Normal"), QVariant(0));
    box->addItem(tr("Raw Data"), QVariant(1));
    if (DeviceManager::instance()->isOldVersion()) box->addItem(tr("GPGGA"), QVariant(2));
    box->setCurrentIndex(IndexOfData(box, current));
}

void RTK::hookObserver(bool hook) {
    DeviceObserver* observer = hook ? DeviceObserver::instance() : DeviceObserver::existing();
    if (!hook) waitingInfo_ = false;
    if (!observer) return;
    observer->unsubscribe(SIGNAL(deviceInfo()), this);
    if (hook) observer->subscribe(this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
}

void RTK::refresh() {
    if (reading()) return;
    fillOutputModes();
    // The values cached since connecting show at once; nothing is asked for.
    pageRead().note(kDeviceInfoBit);
    showDeviceInfo();
}

void RTK::clearForm() {
    for (QComboBox* c : {ui_->comboBox_outPut, ui_->comboBox_startWay, ui_->comboBox_sendPort, ui_->comboBox_diffMode})
        c->setCurrentIndex(-1);
    ui_->lineEdit_elevMask->clear();
}

void RTK::setFormEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->comboBox_outPut, ui_->comboBox_startWay,
                                                      ui_->comboBox_sendPort, ui_->comboBox_diffMode,
                                                      ui_->lineEdit_elevMask, ui_->comboBox_output_freq, ui_->leDis})
        w->setEnabled(on);
    const QList<QAction*> keys = actions();
    for (QAction* key : keys) key->setEnabled(on);
}

void RTK::sendCommand() {
    setBusy(true);
    hookObserver(false);
    clearForm();
    setFormEnabled(false);
    hookObserver(true);
    waitingInfo_ = true;
    DeviceManager::instance()->sendDeviceInfo();
    pageRead().start(kDeviceInfoBit, kReadTimeoutMs);
}

void RTK::showDeviceInfo() {
    const DeviceManager::DEVICE_STR info = DeviceManager::instance()->deviceInfo();
    const int output = IndexOfData(ui_->comboBox_outPut, info.outputMode);
    const int start = IndexOfData(ui_->comboBox_startWay, info.startType);
    const int port = IndexOfData(ui_->comboBox_sendPort, info.transmitPort);
    const int format = IndexOfData(ui_->comboBox_diffMode, info.transmitFormat);
    ui_->leDis->setText(QString::number(info.autoBaseDist));
    ui_->comboBox_outPut->setCurrentIndex(output < 0 ? 0 : output);
    ui_->comboBox_startWay->setCurrentIndex(start < 0 ? 0 : start);
    // Setting the same index again emits nothing; the distance row must
    // still follow the receiver now connected.
    on_comboBox_startWay_currentIndexChanged(ui_->comboBox_startWay->currentIndex());
    ui_->comboBox_sendPort->setCurrentIndex(port);
    ui_->comboBox_diffMode->setCurrentIndex(format);
    ui_->lineEdit_elevMask->setText(QString::number(info.rtkElevMask));
    const int rate = IndexOfData(ui_->comboBox_output_freq, RateCode(info.positionRate));
    ui_->comboBox_output_freq->setCurrentIndex(rate < 0 ? 0 : rate);
}

void RTK::onDeviceInfo() {
    if (!waitingInfo_) return;
    showDeviceInfo();
    if (!pageRead().arrive(kDeviceInfoBit)) return;
    endRead();
    setFormEnabled(true);
}

void RTK::endRead() {
    setBusy(false);
    hookObserver(false);
    pageRead().stop();
}

void RTK::on_comboBox_startWay_currentIndexChanged(int index) {
    markField(ui_->comboBox_startWay, 0);
    // Only firmware from version 8 on has the automatic base's distance.
    if (!DeviceManager::instance()->versionFlag()) {
        ui_->lblDis->hide();
        ui_->leDis->hide();
        ui_->lblMeter->hide();
        return;
    }
    const bool show = index >= 0 && ui_->comboBox_startWay->itemData(index).toInt() == START_TYPE_AUTO_BASE;
    ui_->lblDis->setVisible(show);
    ui_->leDis->setVisible(show);
    ui_->lblMeter->setVisible(show);
}

void RTK::setInfo() {
    bool missing = false;
    auto check = [&](QWidget* field, const QString& text) {
        if (!text.isEmpty()) return;
        markField(field, 1);
        missing = true;
    };
    check(ui_->comboBox_outPut, ui_->comboBox_outPut->currentText());
    check(ui_->comboBox_startWay, ui_->comboBox_startWay->currentText());
    check(ui_->comboBox_sendPort, ui_->comboBox_sendPort->currentText());
    check(ui_->comboBox_diffMode, ui_->comboBox_diffMode->currentText());
    check(ui_->lineEdit_elevMask, ui_->lineEdit_elevMask->text());
    // A value its field's rule does not accept ("95" against 0 to 90) is
    // refused too, and the box says which field and why.
    if (pagefields::RefuseForm(this, missing, tr("Please enter parameters."))) return;

    setBusy(true);
    setFormEnabled(false);
    writing_ = true;
    const int output = ui_->comboBox_outPut->currentData().toInt();
    const int startType = ui_->comboBox_startWay->currentData().toInt();
    const int port = ui_->comboBox_sendPort->currentData().toInt();
    const int format = ui_->comboBox_diffMode->currentData().toInt();
    const int rate = ui_->comboBox_output_freq->currentData().toInt();
    // Each number read by its field's own rule, as the check above took it.
    // An empty distance (its row shown only for an automatic base) is none.
    const auto distance = uint16_t(pagefields::WholeNumberOf(ui_->leDis).value_or(0));
    const int mask = pagefields::WholeNumberOf(ui_->lineEdit_elevMask).value_or(0);

    DeviceManager* manager = DeviceManager::instance();
    manager->setRtkParams(uint8_t(output), startType, distance, uint8_t(port), uint8_t(format), unsigned(mask),
                          Fjarnis2011::FJParse::GNSS_FRQ(rate));
    if (GlobalSettings::instance()->currentType() == kRadioLanguageType && port == kPortGprsAndCable)
        manager->setRadioMdl(DeviceManager::Rdo_Mdl(0));
    QTimer::singleShot(kSetPauseMs, Qt::PreciseTimer, this, &RTK::onSetTimeout);
}

void RTK::onSetTimeout() {
    writing_ = false;
    setBusy(false);
    setFormEnabled(true);
}

void RTK::on_comboBox_outPut_currentIndexChanged() { markField(ui_->comboBox_outPut, 0); }
void RTK::on_comboBox_sendPort_currentIndexChanged() { markField(ui_->comboBox_sendPort, 0); }
void RTK::on_comboBox_diffMode_currentIndexChanged() { markField(ui_->comboBox_diffMode, 0); }
void RTK::on_lineEdit_elevMask_textChanged() { markField(ui_->lineEdit_elevMask, 0); }
