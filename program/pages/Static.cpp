#include "program/pages/Static.h"

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/RadioTables.h"
#include "program/pages/PageFields.h"
#include "protocol/Em_Types.h"
#include "ui_Static.h"

#include <QAction>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using pagefields::IndexOfData;
using pagefields::SelectData;

namespace {

struct Item {
    const char* text;
    int data;
};

constexpr Item kRecordMethods[] = {
    {QT_TRANSLATE_NOOP("Static", "Manual"), 0},
    {QT_TRANSLATE_NOOP("Static", "Auto"), 1},
    {QT_TRANSLATE_NOOP("Static", "Disable"), 2},
};

// A week is 128 on the receiver, not 168 hours.
constexpr Item kRecordPeriods[] = {
    {QT_TRANSLATE_NOOP("Static", "Manual"), 0}, {QT_TRANSLATE_NOOP("Static", "1 hour"), 1},   {QT_TRANSLATE_NOOP("Static", "2 hour"), 2},
    {QT_TRANSLATE_NOOP("Static", "3 hour"), 3}, {QT_TRANSLATE_NOOP("Static", "6 hour"), 6},   {QT_TRANSLATE_NOOP("Static", "12 hour"), 12},
    {QT_TRANSLATE_NOOP("Static", "1 day"), 24}, {QT_TRANSLATE_NOOP("Static", "2 day"), 48},   {QT_TRANSLATE_NOOP("Static", "1 week"), 128},
};

// Two records a second are 250 on the receiver.
constexpr Item kSampleIntervals[] = {
    {QT_TRANSLATE_NOOP("Static", "2 Hz"), 250}, {QT_TRANSLATE_NOOP("Static", "1 Hz"), 1},   {QT_TRANSLATE_NOOP("Static", "2 s"), 2},   {QT_TRANSLATE_NOOP("Static", "5 s"), 5},
    {QT_TRANSLATE_NOOP("Static", "10 s"), 10},  {QT_TRANSLATE_NOOP("Static", "15 s"), 15}, {QT_TRANSLATE_NOOP("Static", "30 s"), 30}, {QT_TRANSLATE_NOOP("Static", "60 s"), 60},
};

constexpr Item kSurveyTo[] = {
    {QT_TRANSLATE_NOOP("Static", "Vertical"), 3},
    {QT_TRANSLATE_NOOP("Static", "Slant"), 4},
    {QT_TRANSLATE_NOOP("Static", "Phase Center"), 2},
};

// The memory codes of the device information; 255 is what a receiver
// without a memory card reports and stands for the built-in 64 MB.
constexpr const char* kMemoryTexts[] = {"64MB", "4GB", "8GB", "16GB", "32GB"};
constexpr int kNoMemoryCard = 255;

}  // namespace

Static::Static(QWidget* parent) : Widget(parent), ui_(new Ui::StaticMode) {
    ui_->setupUi(this);

    QAction* back = createAction(tr("Back"), this);
    QAction* get = createAction(tr("Get"), this);
    QAction* set = createAction(tr("Set"), this);
    start_ = createAction(tr("Start"), this);
    stop_ = createAction(tr("Stop"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    connect(get, &QAction::triggered, this, &Static::sendCommand);
    connect(set, &QAction::triggered, this, &Static::setInfo);
    connect(start_, &QAction::triggered, this, &Static::onBegin);
    connect(stop_, &QAction::triggered, this, &Static::onEnd);

    connect(ui_->checkBox_advance, &QCheckBox::stateChanged, this, &Static::onCheckBoxAdvance);
    ui_->lineEdit_memory->setReadOnly(true);
    ui_->lineEdit_memory->setEnabled(false);
    pagefields::SetRule(ui_->leMask, QT_TRANSLATE_NOOP("PageFields", "Elevation mask"), pagefields::WholeNumber(0, 90));
    // One byte less than the record's name field: the zero byte goes with
    // it. A longer name is refused on "Set", never cut unseen.
    pagefields::SetRule(ui_->lineEdit_Point, QT_TRANSLATE_NOOP("PageFields", "Point name"),
                        pagefields::Latin1Text(kPointNameBytes));
    // The height takes the user's decimal separator or a point; it goes out
    // as a number, whatever the desktop's language.
    pagefields::SetRule(ui_->lineEdit_antenna_height, QT_TRANSLATE_NOOP("PageFields", "Antenna height"),
                        pagefields::Decimal());

    for (const Item& i : kRecordMethods) ui_->comboBox_record_method->addItem(tr(i.text), QVariant(unsigned(i.data)));
    for (const Item& i : kRecordPeriods) ui_->comboBox_record_period->addItem(tr(i.text), QVariant(unsigned(i.data)));
    for (const Item& i : kSampleIntervals) ui_->comboBox_sample_gap->addItem(tr(i.text), QVariant(unsigned(i.data)));
    for (const Item& i : kSurveyTo) ui_->comboBox_survey_to->addItem(tr(i.text), QVariant(i.data));

    antennas_ = std::make_unique<AntennaTypeList>();
    std::vector<std::wstring> names;
    std::vector<int32_t> codes;
    antennas_->read(names, codes);
    for (size_t i = 0; i < names.size() && i < codes.size(); ++i)
        ui_->comboBox_antenna_type->addItem(QString::fromStdWString(names[i]), QVariant(int(codes[i])));

    // The antenna names come from a file the user may edit: a long one
    // shows whole in the list, not by widening the page past its window.
    pagefields::ShowItemsWhole(ui_->comboBox_antenna_type);
    pagefields::ShowItemsWhole(ui_->comboBox_survey_to);
    onCheckBoxAdvance(0);
    pageRead().onTimeout([this](unsigned received) {
        endRead();
        if (received == 0)
            QMessageBox::warning(this, tr("Warning"), tr("Failed to get parameters!"), QMessageBox::Ok);
        setFormEnabled(true);
    });
}

Static::~Static() {
    hookObserver(false);
    pageRead().stop();
    setBusy(false);
    delete ui_;
    ui_ = nullptr;
    clearActions();
}

bool Static::writesSettings() const { return true; }

QString Static::memoryText(int code) {
    if (code == kNoMemoryCard) return QString::fromLatin1(kMemoryTexts[0]);
    if (code >= 0 && code < int(std::size(kMemoryTexts))) return QString::fromLatin1(kMemoryTexts[code]);
    return QString();
}

void Static::hookObserver(bool hook) {
    DeviceObserver* observer = hook ? DeviceObserver::instance() : DeviceObserver::existing();
    if (!hook) waitingInfo_ = waitingPoint_ = false;
    if (!observer) return;
    observer->unsubscribe(SIGNAL(deviceInfo()), this);
    observer->unsubscribe(SIGNAL(staticPointInfo()), this);
    if (!hook) return;
    observer->subscribe(this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    observer->subscribe(this, SIGNAL(staticPointInfo()), SLOT(onStaticPointInfo()));
}

void Static::refresh() {
    // The values cached since connecting show at once; nothing is asked for,
    // so nothing is awaited.
    if (reading()) return;
    pageRead().note(kDeviceInfoBit);
    showDeviceInfo();
    // An edit of the point that never went out (a refused height, say) is
    // not what the receiver holds, and goes with the page.
    showStaticPoint();
}

void Static::clearForm() {
    for (QComboBox* c : {ui_->comboBox_record_method, ui_->comboBox_record_period, ui_->comboBox_sample_gap,
                         ui_->comboBox_antenna_type, ui_->comboBox_survey_to})
        c->setCurrentIndex(-1);
    ui_->lineEdit_Point->clear();
    ui_->lineEdit_antenna_height->clear();
}

void Static::setFormEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->comboBox_record_method, ui_->comboBox_record_period,
                                                      ui_->comboBox_sample_gap, ui_->leMask, ui_->checkBox_advance})
        w->setEnabled(on);
    onCheckBoxAdvance(on && ui_->checkBox_advance->isChecked() ? 2 : 0);
    const QList<QAction*> keys = actions();
    for (QAction* key : keys) key->setEnabled(on);
}

void Static::onCheckBoxAdvance(int state) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->lineEdit_Point, ui_->comboBox_antenna_type,
                                                      ui_->lineEdit_antenna_height, ui_->comboBox_survey_to})
        w->setEnabled(state != 0);
}

void Static::sendCommand() {
    setBusy(true);
    hookObserver(false);
    clearForm();
    setFormEnabled(false);

    const bool withPoint = ui_->checkBox_advance->isChecked();
    hookObserver(true);
    waitingInfo_ = true;
    waitingPoint_ = withPoint;
    DeviceManager* manager = DeviceManager::instance();
    manager->sendDeviceInfo();
    if (withPoint) manager->sendStaticPoint();
    pageRead().start(withPoint ? kDeviceInfoBit | kStaticPointBit : kDeviceInfoBit, kReadTimeoutMs);
}

void Static::showDeviceInfo() {
    const DeviceManager::DEVICE_STR info = DeviceManager::instance()->deviceInfo();
    // "Data Log:" always shows an item; the session and interval show none
    // for a value they do not offer, so that "Set" asks for one.
    const int method = IndexOfData(ui_->comboBox_record_method, info.recordType);
    ui_->comboBox_record_method->setCurrentIndex(method < 0 ? 0 : method);
    SelectData(ui_->comboBox_record_period, info.recordPeriod);
    SelectData(ui_->comboBox_sample_gap, info.recordInterval);
    ui_->lineEdit_memory->setText(memoryText(info.memorySize));
    ui_->leMask->setText(QString::number(info.recordElevMask));
}

void Static::onDeviceInfo() {
    if (!waitingInfo_) return;
    showDeviceInfo();
    finishIfComplete(kDeviceInfoBit);
}

void Static::onStaticPointInfo() {
    if (!waitingPoint_) return;
    showStaticPoint();
    finishIfComplete(kStaticPointBit);
}

void Static::showStaticPoint() {
    const DeviceManager::Static_Point point = DeviceManager::instance()->staticPoint();
    const size_t length = std::min<size_t>(point.nameLength, sizeof point.name);
    // A point is never set without its name: an empty one is a point not
    // yet reported nor set since connecting.
    if (length == 0 && !waitingPoint_) {
        ui_->lineEdit_Point->clear();
        ui_->lineEdit_antenna_height->clear();
        ui_->comboBox_antenna_type->setCurrentIndex(-1);
        ui_->comboBox_survey_to->setCurrentIndex(-1);
        return;
    }
    ui_->lineEdit_Point->setText(QString::fromLatin1(point.name, qsizetype(length)));
    ui_->lineEdit_antenna_height->setText(QString::number(double(point.antennaHeight), 'g', 6));
    SelectData(ui_->comboBox_antenna_type, point.antennaType);
    SelectData(ui_->comboBox_survey_to, point.surveyTo);
}

void Static::finishIfComplete(unsigned reply) {
    if (!pageRead().arrive(reply)) return;
    endRead();
    setFormEnabled(true);
}

void Static::endRead() {
    setBusy(false);
    hookObserver(false);
    pageRead().stop();
}

void Static::fillPoint() {
    if (!point_) point_ = std::make_unique<Fjarnis2011::FJParse::Static_Point>();
    Fjarnis2011::FJParse::Static_Point& p = *point_;
    // Characters outside Latin-1 become '?'; the name keeps room for its zero.
    const QByteArray name = ui_->lineEdit_Point->text().toLatin1();
    const size_t n = std::min<size_t>(size_t(name.size()), size_t(kPointNameBytes));
    std::memset(p.name, 0, sizeof p.name);
    std::memcpy(p.name, name.constData(), n);
    p.nameLength = uint8_t(n);
    double height = 0.0;
    p.antennaHeight = pagefields::ReadDecimal(ui_->lineEdit_antenna_height->text(), height)
                          ? float(height)
                          : 0.0f;
    p.surveyTo = ui_->comboBox_survey_to->currentData().toInt();
    p.antennaType = ui_->comboBox_antenna_type->currentData().toInt();
}

void Static::setInfo() {
    const bool withPoint = ui_->checkBox_advance->isChecked();
    bool missing = false;
    auto check = [&](QWidget* field, const QString& text) {
        if (!text.isEmpty()) return;
        markField(field, 1);
        missing = true;
    };
    check(ui_->comboBox_record_method, ui_->comboBox_record_method->currentText());
    check(ui_->comboBox_record_period, ui_->comboBox_record_period->currentText());
    check(ui_->comboBox_sample_gap, ui_->comboBox_sample_gap->currentText());
    if (withPoint) {
        check(ui_->lineEdit_Point, ui_->lineEdit_Point->text());
        check(ui_->comboBox_antenna_type, ui_->comboBox_antenna_type->currentText());
        check(ui_->comboBox_survey_to, ui_->comboBox_survey_to->currentText());
        check(ui_->lineEdit_antenna_height, ui_->lineEdit_antenna_height->text());
    }
    check(ui_->leMask, ui_->leMask->text());
    // A value its field's rule does not accept ("95" against 0 to 90) is
    // refused too, and the box says which field and why.
    if (pagefields::RefuseForm(this, missing, tr("Please enter parameters."))) return;

    setBusy(true);
    setFormEnabled(false);
    writing_ = true;
    const auto recordType = uint8_t(ui_->comboBox_record_method->currentData().toInt());
    const auto recordPeriod = uint8_t(ui_->comboBox_record_period->currentData().toInt());
    const auto recordInterval = uint8_t(ui_->comboBox_sample_gap->currentData().toInt());
    // Read by the field's own rule, as the check above took it.
    const auto mask = unsigned(pagefields::WholeNumberOf(ui_->leMask).value_or(0));
    DeviceManager* manager = DeviceManager::instance();
    if (withPoint) {
        fillPoint();
        manager->setRecordingAndPoint(recordType, recordPeriod, recordInterval, mask, point_.get());
    } else {
        manager->setRecording(recordType, recordPeriod, recordInterval, mask);
    }
    QTimer::singleShot(kSetPauseMs, Qt::PreciseTimer, this, &Static::onSetTimeout);
}

void Static::onSetTimeout() {
    writing_ = false;
    setBusy(false);
    setFormEnabled(true);
}

void Static::onBegin() {
    if (QMessageBox::question(this, tr("Begin Collect"), tr("Begin collecting static data?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    DeviceManager::instance()->beginStatic();
    start_->setEnabled(false);
    stop_->setEnabled(true);
}

void Static::onEnd() {
    if (QMessageBox::question(this, tr("End Collect"), tr("Sure to end collecting\nthe static data ?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    DeviceManager::instance()->endStatic();
    stop_->setEnabled(false);
    start_->setEnabled(true);
}

void Static::on_comboBox_record_method_currentIndexChanged() { markField(ui_->comboBox_record_method, 0); }
void Static::on_comboBox_record_period_currentIndexChanged() { markField(ui_->comboBox_record_period, 0); }
void Static::on_comboBox_sample_gap_currentIndexChanged() { markField(ui_->comboBox_sample_gap, 0); }
void Static::on_lineEdit_Point_textChanged() { markField(ui_->lineEdit_Point, 0); }
void Static::on_comboBox_antenna_type_currentIndexChanged() { markField(ui_->comboBox_antenna_type, 0); }
void Static::on_comboBox_survey_to_currentIndexChanged() { markField(ui_->comboBox_survey_to, 0); }
void Static::on_lineEdit_antenna_height_textChanged() { markField(ui_->lineEdit_antenna_height, 0); }
void Static::on_leMask_textChanged() { markField(ui_->leMask, 0); }
