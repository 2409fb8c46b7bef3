#include "program/pages/DataChain_Radio.h"

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "ui_DataChain_Radio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <iterator>

using namespace Fjarnis2011;

// ---------------------------------------------------------------------------
// Grid arithmetic

namespace radiogrid {

namespace {
constexpr double kUnitsPerMHz = 10000.0;
constexpr double kUnitLimit = 1e15;
}  // namespace

int64_t toUnits(double v) {
    const double units = v * kUnitsPerMHz;
    if (std::isnan(units)) return 0;
    return int64_t(std::nearbyint(std::clamp(units, -kUnitLimit, kUnitLimit)));
}

bool offGrid(double v, double lower, double step) {
    const int64_t s = toUnits(step);
    if (s <= 0) return false;
    return (toUnits(v) - toUnits(lower)) % s != 0;
}

double gridValue(double v, double lower, double upper, double step) {
    const int64_t value = toUnits(v);
    const int64_t a = toUnits(lower);
    const int64_t b = toUnits(upper);
    const int64_t s = toUnits(step);
    const double kept = double(value) / kUnitsPerMHz;
    if (s <= 0 || b <= a) return kept;
    // Lines a, a + s, ... up to the last whole step inside the range; a value
    // strictly between two of them goes to the nearer one.
    const int64_t steps = (b - a) / s;
    const int64_t offset = value - a;
    if (steps < 1 || offset <= 0 || offset >= steps * s || offset % s == 0) return kept;
    const int64_t lo = a + offset / s * s;
    return double(value - lo > s / 2 ? lo + s : lo) / kUnitsPerMHz;
}

}  // namespace radiogrid

// ---------------------------------------------------------------------------

namespace {

// Form rows, top to bottom.
enum Row { RowRange, RowProtocol, RowSpacing, RowBaud, RowType, RowFrequency, RowPower, RowSensitivity, RowFec };

// The radio protocols, in the order they are offered, with the bit of the
// radio information that offers each and the receiver's code for it.
struct ProtocolItem {
    uint32_t bit;
    const char* text;
    int code;
};

// Code 0 is not a radio protocol: sent as one, it switches the receiver's
// data link to the modem. Trimmark3 has no known code of its own yet, so it
// is not offered until it has one.
constexpr int kNoProtocolCode = 0;
constexpr ProtocolItem kProtocols[] = {
    {0x10000000, "KVX", 1},     {0x20000000, "TT450s", 6}, {0x40000000, "Transparent", 5},
    {0x80000000, "3AS", 8},     {0x01000000, "PCC4FSK", 9}, {0x02000000, "Trimmark3", kNoProtocolCode},
};

struct PowerItem {
    uint32_t bit;
    const char* text;
    int code;
};
constexpr PowerItem kPowers[] = {{1, "0.1 w", 2}, {2, "0.5 w", 3}, {4, "1 w", 4}, {8, "2 w", 5}};

// Over-the-air baud codes.
constexpr int kBaud9600 = 0;
constexpr int kBaud4800 = 1;
constexpr int kBaud19200 = 2;

constexpr uint32_t kBaudQuery = 0x00200000;

// The spacing codes' steps in MHz.
constexpr double kSpacingSteps[] = {0.0125, 0.02, 0.025};

// The band of the channel table that holds all three bands' frequencies.
constexpr int kAllBands = 3;
constexpr int kMiddleBand = 1;
constexpr int kLowBand = 2;

QString sixDigits(double v) { return QString::number(v, 'g', 6); }

// The frequency field takes any frequency of up to four digits before the
// point, not only the radio's range: a value outside the range stays as
// typed (480 is not cut to 48, nor moved to an end of the range) and "Set"
// refuses it with the range.
constexpr double kTypedFrequencyMax = 9999.9999;

int itemCode(const QComboBox* box, bool* ok = nullptr) {
    const QVariant data = box->currentData();
    if (ok) *ok = data.isValid();
    return data.toInt();
}

}  // namespace

DataChain_Radio::DataChain_Radio(QWidget* parent) : Widget(parent), ui_(new Ui::DataChain_Radio) {
    ui_->setupUi(this);

    ui_->cbType->addItem(tr("High"), 0);
    ui_->cbType->addItem(tr("Middle"), 1);
    ui_->cbType->addItem(tr("Low"), 2);
    for (int channel = 0; channel <= 9; ++channel)
        ui_->comboBox_signalChannel_RX->addItem(QString::number(channel), channel);
    ui_->comboBox_sensitivity->addItem(tr("High"), 0);
    ui_->comboBox_sensitivity->addItem(tr("Medium"), 1);
    ui_->comboBox_sensitivity->addItem(tr("Low"), 2);
    for (int code = 0; code < 3; ++code)
        ui_->comboBox_freqstep->addItem(sixDigits(kSpacingSteps[code] * 1000.0), code);
    // Until the radio says which powers it has, the list names them all.
    for (const PowerItem& p : kPowers) ui_->comboBox_sendPower->addItem(QString::fromLatin1(p.text));

    ui_->formLayout->setRowVisible(RowPower, false);
    ui_->comboBox_sendPower->setCurrentIndex(-1);
    ui_->comboBox_protocol_radio->setCurrentIndex(-1);
    ui_->lineEdit_radioRange->setReadOnly(true);
    ui_->lineEdit_radioRange->setEnabled(false);
    ui_->doubleSpinBox_currentFrq_RX->installEventFilter(this);
    ui_->doubleSpinBox_currentFrq_RX->setDecimals(4);
    // Frequencies read the same on every desktop: a decimal point, never a
    // group separator. A comma, and the user's own decimal separator, typed,
    // go in as the point in every locale (see eventFilter): "463,125" is
    // 463.125, not the 4631 a comma read as a group separator would make of
    // it.
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    ui_->doubleSpinBox_currentFrq_RX->setLocale(plain);
    ui_->doubleSpinBox_currentFrq_RX->setRange(0.0, kTypedFrequencyMax);
    {
        // As wide as a frequency with three digits before the point needs,
        // as every radio's has; room for the fourth that only a mistyped one
        // has would push the row past a 240-pixel screen.
        QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
        frequency->setMinimumWidth(frequency->minimumSizeHint().width() -
                                   frequency->fontMetrics().horizontalAdvance(QLatin1Char('9')));
    }
    ui_->formLayout->setRowVisible(RowType, false);
    ui_->formLayout->setRowVisible(RowBaud, true);
    ui_->formLayout->setRowVisible(RowSensitivity, false);
    ui_->comboBox_sensitivity->setCurrentIndex(-1);
    ui_->checkBox_fec->hide();
    // A row whose fields do not fit beside its label (the frequency's, in
    // the data link page's scrolled area at 240 pixels) goes below it rather
    // than past the page's edge.
    ui_->formLayout->setRowWrapPolicy(QFormLayout::WrapLongRows);
}

DataChain_Radio::~DataChain_Radio() { delete ui_; }

QPushButton* DataChain_Radio::callsignButton() const { return ui_->pushButton_callsign; }

// ---------------------------------------------------------------------------
// Operations for the data link page

void DataChain_Radio::resetForm() {
    QComboBox* protocol = ui_->comboBox_protocol_radio;
    QComboBox* spacing = ui_->comboBox_freqstep;
    QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
    disconnect(protocol, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onProtocolChanged);
    disconnect(frequency, &QDoubleSpinBox::valueChanged, this, &DataChain_Radio::onFreqChanged);
    disconnect(spacing, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onFreqStepChanged);
    disconnect(protocol, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onStepAndProChanged);
    disconnect(spacing, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onStepAndProChanged);

    protocol->setCurrentIndex(-1);
    ui_->comboBox_signalChannel_RX->setCurrentIndex(0);
    ui_->comboBox_sendPower->setCurrentIndex(-1);
    ui_->lineEdit_radioRange->clear();
    frequency->setValue(0.0);
    QComboBox* baud = ui_->comboBox_baudrate;
    baud->setCurrentIndex(baud->count() == 1 ? 0 : -1);
    ui_->comboBox_sensitivity->setCurrentIndex(-1);
    spacing->setCurrentIndex(-1);
    ui_->checkBox_fec->setChecked(false);

    connect(protocol, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onStepAndProChanged);
    connect(spacing, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onStepAndProChanged);
    connect(protocol, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onProtocolChanged);
    connect(frequency, &QDoubleSpinBox::valueChanged, this, &DataChain_Radio::onFreqChanged);
    connect(spacing, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onFreqStepChanged);
    QComboBox* channel = ui_->comboBox_signalChannel_RX;
    disconnect(channel, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onChannelChanged);
    connect(channel, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onChannelChanged);
}

void DataChain_Radio::load() {
    DeviceManager* manager = DeviceManager::instance();
    manager->radioInfo(info_);

    {
        QComboBox* protocol = ui_->comboBox_protocol_radio;
        const QSignalBlocker silent(protocol);
        protocol->clear();
        for (const ProtocolItem& p : kProtocols)
            if ((info_.protocolBits & p.bit) && p.code != kNoProtocolCode)
                protocol->addItem(QString::fromLatin1(p.text), p.code);
        protocol->setCurrentIndex(-1);
    }

    const uint32_t features = info_.featureBits;
    powerShown_ = features & FJParse::kRadioOffersPower;
    baudQuery_ = features & kBaudQuery;
    baudSettable_ = features & FJParse::kRadioOffersBaud;
    sensitivityShown_ = features & FJParse::kRadioOffersSensitivity;
    spacingShown_ = features & FJParse::kRadioOffersSpacing;
    fecCapable_ = features & FJParse::kRadioOffersFec;
    callsignShown_ = features & FJParse::kRadioOffersCallsign;
    ui_->formLayout->setRowVisible(RowPower, powerShown_);
    ui_->formLayout->setRowVisible(RowSensitivity, sensitivityShown_);
    ui_->formLayout->setRowVisible(RowSpacing, spacingShown_);
    ui_->checkBox_fec->setVisible(fecCapable_);
    ui_->pushButton_callsign->setVisible(callsignShown_);

    {
        QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
        const QSignalBlocker silent(frequency);
        frequency->setDecimals(4);
        frequency->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        ui_->lineEdit_radioRange->setText(
            QStringLiteral("%1--%2 Hz").arg(sixDigits(info_.lowerMHz), sixDigits(info_.upperMHz)));
        if (!spacingShown_) {
            freqStep_ = info_.channelStepKHz / 1000.0;
            frequency->setSingleStep(freqStep_);
        }
    }

    receivedMask_ = 0;
    requestedMask_ = 0;

    fillBaudList(manager->deviceInfo().otaBaudSet);
    if (baudQuery_ && ui_->comboBox_baudrate->count() > 1) ask(kBaudBit);
    if (!baudSettable_) ui_->comboBox_baudrate->setEnabled(false);

    if (sensitivityShown_) ask(kSensitivityBit);
    if (spacingShown_) ask(kSpacingBit);

    const double f = manager->radioFrq();
    typeShown_ = RadioChannelStore::bandOfRadioCode(int32_t(info_.moduleCode)) == kAllBands;
    ui_->formLayout->setRowVisible(RowType, typeShown_);
    loadChannels(f);
    // The channel shown follows the frequency even when the field already
    // held it (and so would say nothing of a change).
    setFrequencySilently(f);
    onFreqChanged(f);

    if (callsignShown_) {
        ask(kCallsignBit);
        InitCallsign();
    }
    if (fecCapable_ && fecApplies_) ask(kFecBit);
    if (powerShown_) {
        fillPowerList(info_.powerBits);
        ask(kPowerBit);
    }
    if (requestedMask_ == 0) emit gotData();
}

void DataChain_Radio::setProtocol(int code) {
    QComboBox* protocol = ui_->comboBox_protocol_radio;
    protocol->setCurrentIndex(code == 0 ? 0 : protocol->findData(code));
}

void DataChain_Radio::watchReceiver(bool on) {
    DeviceObserver* observer = DeviceObserver::instance();
    if (on) {
        observer->subscribe(this, SIGNAL(radioPower()), SLOT(onRadioPower()));
        observer->subscribe(this, SIGNAL(radioBaudrate()), SLOT(onRadioBaudrate()));
        observer->subscribe(this, SIGNAL(radioSensitive()), SLOT(onRadioSensitive()));
        observer->subscribe(this, SIGNAL(radioFreqStep()), SLOT(onRadioFreqStep()));
        observer->subscribe(this, SIGNAL(radioFEC()), SLOT(onRadioFEC()));
        observer->subscribe(this, SIGNAL(radioCallsign()), SLOT(onRadioCallsign()));
    } else {
        observer->unsubscribe(SIGNAL(radioPower()), this);
        observer->unsubscribe(SIGNAL(radioBaudrate()), this);
        observer->unsubscribe(SIGNAL(radioSensitive()), this);
        observer->unsubscribe(SIGNAL(radioFreqStep()), this);
        observer->unsubscribe(SIGNAL(radioFEC()), this);
        observer->unsubscribe(SIGNAL(radioCallsign()), this);
    }
}

void DataChain_Radio::setFieldsEnabled(bool enabled) {
    QComboBox* protocol = ui_->comboBox_protocol_radio;
    for (QWidget* w : {static_cast<QWidget*>(protocol), static_cast<QWidget*>(ui_->comboBox_signalChannel_RX),
                       static_cast<QWidget*>(ui_->comboBox_sendPower), static_cast<QWidget*>(ui_->comboBox_sensitivity),
                       static_cast<QWidget*>(ui_->comboBox_freqstep), static_cast<QWidget*>(ui_->cbType),
                       static_cast<QWidget*>(ui_->checkBox_fec), static_cast<QWidget*>(ui_->pushButton_callsign)})
        w->setEnabled(enabled);
    ui_->doubleSpinBox_currentFrq_RX->setEnabled(enabled && isFreeChannel(currentChannel()) &&
                                                 protocol->currentIndex() != -1);
    if (baudSettable_) ui_->comboBox_baudrate->setEnabled(enabled && ui_->comboBox_baudrate->count() > 1);
}

int DataChain_Radio::check() {
    bool missing = false;
    auto require = [&](QWidget* field, bool present) {
        if (present) return;
        markField(field, 1);
        missing = true;
    };
    QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
    require(ui_->comboBox_protocol_radio, !ui_->comboBox_protocol_radio->currentText().isEmpty());
    if (powerShown_) require(ui_->comboBox_sendPower, !ui_->comboBox_sendPower->currentText().isEmpty());
    require(frequency, frequency->value() != 0.0);
    if (baudSettable_) require(ui_->comboBox_baudrate, !ui_->comboBox_baudrate->currentText().isEmpty());
    if (sensitivityShown_) require(ui_->comboBox_sensitivity, !ui_->comboBox_sensitivity->currentText().isEmpty());
    if (missing) return 0;

    double lower = 0.0;
    double upper = 0.0;
    double step = 0.0;
    DeviceManager::instance()->radioRange(lower, upper, step);
    const double f = frequency->value();
    if (f < lower || f > upper) {
        markField(frequency, 1);
        QMessageBox::critical(this, tr("Error"),
                              tr("Radio frq is out of %1 - %2!").arg(sixDigits(lower), sixDigits(upper)),
                              QMessageBox::Ok);
        return -1;
    }
    return 1;
}

void DataChain_Radio::apply() {
    Radio_Callsign sign = callsign;
    clampCallsign(sign);
    const int power = ui_->comboBox_sendPower->currentText().isEmpty() ? 0 : itemCode(ui_->comboBox_sendPower);
    DeviceManager::instance()->setRadioParams(
        DeviceManager::Rdo_Mdl(itemCode(ui_->comboBox_protocol_radio)), ui_->doubleSpinBox_currentFrq_RX->value(),
        DeviceManager::Radio_Power(power), DeviceManager::Radio_Baudrate(itemCode(ui_->comboBox_baudrate)),
        DeviceManager::Rdo_Sensitv(itemCode(ui_->comboBox_sensitivity)),
        DeviceManager::Channel_Space(itemCode(ui_->comboBox_freqstep)), ui_->checkBox_fec->isChecked(), sign);
}

// ---------------------------------------------------------------------------
// Reading

void DataChain_Radio::ask(uint32_t bit) {
    requestedMask_ |= bit;
    DeviceManager* manager = DeviceManager::instance();
    switch (bit) {
    case kPowerBit: manager->sendRadioPower(); break;
    case kBaudBit: manager->sendRadioBaudrate(); break;
    case kSensitivityBit: manager->sendRadioSensitivity(); break;
    case kSpacingBit: manager->sendRadioChannelSpace(); break;
    case kFecBit: manager->sendRadioFec(); break;
    case kCallsignBit: manager->sendRadioCallsign(); break;
    default: break;
    }
}

void DataChain_Radio::replied(uint32_t bit) {
    receivedMask_ |= bit;
    if (receivedMask_ == requestedMask_) emit gotData();
}

void DataChain_Radio::onRadioPower() {
    DeviceManager::Radio_Power power{};
    DeviceManager::instance()->radioPower(power);
    selectByData(ui_->comboBox_sendPower, int(power));
    replied(kPowerBit);
}

void DataChain_Radio::onRadioBaudrate() {
    DeviceManager::Radio_Baudrate baud{};
    DeviceManager::instance()->radioBaudrate(baud);
    selectByData(ui_->comboBox_baudrate, int(baud));
    replied(kBaudBit);
}

void DataChain_Radio::onRadioSensitive() {
    DeviceManager::Rdo_Sensitv sensitivity{};
    DeviceManager::instance()->radioSensitivity(sensitivity);
    selectByData(ui_->comboBox_sensitivity, int(sensitivity));
    replied(kSensitivityBit);
}

void DataChain_Radio::onRadioFreqStep() {
    DeviceManager::Channel_Space spacing{};
    DeviceManager::instance()->radioChannelSpace(spacing);
    selectByData(ui_->comboBox_freqstep, int(spacing));
    replied(kSpacingBit);
}

void DataChain_Radio::onRadioFEC() {
    ui_->checkBox_fec->setChecked(DeviceManager::instance()->radioFec());
    replied(kFecBit);
}

void DataChain_Radio::onRadioCallsign() {
    InitCallsign();
    replied(kCallsignBit);
}

void DataChain_Radio::InitCallsign() {
    callsign = DeviceManager::instance()->radioCallsign();
    clampCallsign(callsign);
}

// ---------------------------------------------------------------------------
// The fields

void DataChain_Radio::onProtocolChanged(int index) {
    QComboBox* protocol = ui_->comboBox_protocol_radio;
    markField(protocol, 0);
    bool ok = false;
    const int code = index < 0 ? -1 : protocol->itemData(index).toInt(&ok);
    if (ok && code == kFecProtocol) {
        ui_->checkBox_fec->setVisible(fecCapable_);
        if (fecCapable_) ui_->checkBox_fec->setChecked(true);
        fecApplies_ = true;
    } else {
        ui_->checkBox_fec->hide();
        fecApplies_ = false;
    }
    ui_->doubleSpinBox_currentFrq_RX->setEnabled(protocol->isEnabled() && isFreeChannel(currentChannel()) &&
                                                 index != -1);
}

void DataChain_Radio::onChannelChanged(int index) {
    if (index < 0 || index > 9 || channelFreqs_.empty()) return;
    applyChannel();
    if (index == 0 && typeShown_) {
        {
            const QSignalBlocker silent(ui_->cbType);
            ui_->cbType->setCurrentIndex(-1);
        }
        ui_->cbType->setCurrentIndex(ui_->cbType->findData(kMiddleBand));
    }
}

void DataChain_Radio::onChannelTypeChanged(int index) {
    if (index < 0) return;
    channelStore_.frequencies(ui_->cbType->itemData(index).toInt(), channelFreqs_);
    applyChannel();
}

void DataChain_Radio::onFreqChanged(double f) {
    markField(ui_->doubleSpinBox_currentFrq_RX, 0);
    if (channelFreqs_.empty()) return;
    {
        QComboBox* channelBox = ui_->comboBox_signalChannel_RX;
        const QSignalBlocker silent(channelBox);
        if (f < channelFreqs_.front() || f > channelFreqs_.back()) loadChannels(f);
        int channel = channelStore_.channelOfFrequency(f);
        // A longer hand-made table may name a channel the list does not
        // offer; the frequency is then a free one.
        if (channelBox->findData(channel) < 0) channel = 0;
        channelBox->setCurrentIndex(channelBox->findData(channel));
        ui_->doubleSpinBox_currentFrq_RX->setEnabled(channel == 0);
    }
    updateChannelTypeByFreq(f);
}

void DataChain_Radio::updateChannelTypeByFreq(double f) {
    const int band = currentChannel() > 0 ? RadioChannelStore::bandOfFrequency(f) : kLowBand;
    selectTypeSilently(ui_->cbType->findData(band));
}

void DataChain_Radio::on_comboBox_sendPower_currentIndexChanged() { markField(ui_->comboBox_sendPower, 0); }

void DataChain_Radio::onFreqStepChanged(int index) {
    QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
    bool ok = false;
    const int code = index < 0 ? -1 : ui_->comboBox_freqstep->itemData(index).toInt(&ok);
    if (ok && code >= 0 && code < int(std::size(kSpacingSteps))) frequency->setSingleStep(kSpacingSteps[code]);
    freqStep_ = frequency->singleStep();
    Radio_Info info{};
    DeviceManager::instance()->radioInfo(info);
    const double snapped = radiogrid::gridValue(frequency->value(), info.lowerMHz, info.upperMHz, freqStep_);
    if (snapped == frequency->value()) return;
    setFrequencySilently(snapped);
    // A frequency moved onto the new grid may leave its channel's: the
    // channel shown follows it.
    onFreqChanged(snapped);
}

void DataChain_Radio::onStepAndProChanged() {
    QComboBox* baud = ui_->comboBox_baudrate;
    if (!spacingShown_ || baud->count() == 1) return;
    int32_t code = -1;
    baudTable_.baudRate(itemCode(ui_->comboBox_freqstep), itemCode(ui_->comboBox_protocol_radio), code);
    baud->setCurrentIndex(code < 0 ? -1 : baud->findData(code));
}

bool DataChain_Radio::eventFilter(QObject* object, QEvent* event) {
    QDoubleSpinBox* frequency = ui_->doubleSpinBox_currentFrq_RX;
    if (object == frequency && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString separator = QLocale().decimalPoint();
        const QString typed = key->text();
        if (typed == QLatin1String(",") || (separator != QLatin1String(".") && typed == separator)) {
            QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, key->modifiers(), QStringLiteral("."),
                            key->isAutoRepeat(), ushort(key->count()));
            QCoreApplication::sendEvent(frequency, &point);
            return true;
        }
    }
    if (object == frequency && frequency->isEnabled() &&
        (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut)) {
        const double v = frequency->value();
        if (v != 0.0) {
            double lower = 0.0;
            double upper = 0.0;
            double step = 0.0;
            DeviceManager::instance()->radioRange(lower, upper, step);
            if (radiogrid::offGrid(v, lower, freqStep_))
                frequency->setValue(radiogrid::gridValue(v, lower, upper, freqStep_));
        }
    }
    return Widget::eventFilter(object, event);
}

// ---------------------------------------------------------------------------
// Helpers

void DataChain_Radio::loadChannels(double f) {
    const int band = RadioChannelStore::bandOfFrequency(f);
    if (typeShown_) selectTypeSilently(ui_->cbType->findData(band));
    channelStore_.frequencies(band, channelFreqs_);
}

bool DataChain_Radio::isFreeChannel(int channel) const {
    return channel <= 0 || (!channelFreqs_.empty() && size_t(channel) >= channelFreqs_.size());
}

int DataChain_Radio::currentChannel() const { return itemCode(ui_->comboBox_signalChannel_RX); }

void DataChain_Radio::applyChannel() {
    const int channel = currentChannel();
    // A channel the table does not reach is the free channel: the user types
    // its frequency.
    const bool free = isFreeChannel(channel);
    const size_t entry = free ? 0 : size_t(channel);
    double f = entry < channelFreqs_.size() ? channelFreqs_[entry] : 0.0;
    // The free channel's entry (0.0 in the default table) starts at the
    // nearer end of the radio's range; a table channel shows its own
    // frequency, which "Set" checks against the range.
    if (free && info_.upperMHz >= info_.lowerMHz) f = std::clamp(f, info_.lowerMHz, info_.upperMHz);
    setFrequencySilently(f);
    ui_->doubleSpinBox_currentFrq_RX->setEnabled(ui_->comboBox_protocol_radio->isEnabled() && free);
}

void DataChain_Radio::selectTypeSilently(int index) {
    {
        const QSignalBlocker silent(ui_->cbType);
        ui_->cbType->setCurrentIndex(index);
    }
    // From the first type the page selects itself on, the user's choice of
    // type loads that band's channels.
    connect(ui_->cbType, &QComboBox::currentIndexChanged, this, &DataChain_Radio::onChannelTypeChanged,
            Qt::UniqueConnection);
}

void DataChain_Radio::setFrequencySilently(double f) {
    const QSignalBlocker silent(ui_->doubleSpinBox_currentFrq_RX);
    ui_->doubleSpinBox_currentFrq_RX->setValue(f);
}

void DataChain_Radio::fillBaudList(uint8_t otaBaudSet) {
    QComboBox* baud = ui_->comboBox_baudrate;
    baud->clear();
    auto add = [baud](int rate, int code) { baud->addItem(QString::number(rate), code); };
    switch (otaBaudSet) {
    case 1: add(4800, kBaud4800); add(9600, kBaud9600); break;
    case 2: add(4800, kBaud4800); add(9600, kBaud9600); add(19200, kBaud19200); break;
    case 3: add(4800, kBaud4800); add(19200, kBaud19200); break;
    case 4: add(9600, kBaud9600); add(19200, kBaud19200); break;
    case 5: add(4800, kBaud4800); break;
    case 6: add(19200, kBaud19200); break;
    case 255: add(9600, kBaud9600); break;
    default: break;
    }
    if (baud->count() == 1) {
        baud->setCurrentIndex(0);
        baud->setEnabled(false);
    } else {
        baud->setCurrentIndex(-1);
    }
}

void DataChain_Radio::fillPowerList(uint32_t powerBits) {
    QComboBox* power = ui_->comboBox_sendPower;
    power->clear();
    for (const PowerItem& p : kPowers)
        if (powerBits & p.bit) power->addItem(QString::fromLatin1(p.text), p.code);
    power->setCurrentIndex(power->count() - 1);
}

void DataChain_Radio::selectByData(QComboBox* box, int code) { box->setCurrentIndex(box->findData(code)); }

void DataChain_Radio::clampCallsign(Radio_Callsign& record) {
    char& length = record.message[Radio_Callsign::kLengthByte];
    if (uint8_t(length) > Radio_Callsign::kMaxText) length = char(Radio_Callsign::kMaxText);
}
