// The radio link form and the radio channel page, through the real receiver
// object, protocol and port libraries against the simulated receiver: the
// radio module the receiver reports decides what the form asks and offers,
// the frequency stays on the radio's grid, and "Set" sends what the radio
// takes, which a second read then reports.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/DataChain_Radio.h"
#include "program/pages/RadioChannelWidget.h"

#include "TestSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimRadioModules.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 9;

// ---------------------------------------------------------------------------
// The grid, in units of 0.0001 MHz

TEST(RadioGrid, SnapsToTheNearerLineAndKeepsWhatItCannotPlace) {
    const struct {
        double v, lower, upper, step, expected;
    } cases[] = {
        {463.1237, 403.0, 473.0, 0.0125, 463.125},   // 112 units above a line: up
        {463.1186, 403.0, 473.0, 0.0125, 463.1125},  // 61 units above: down
        {463.1125, 403.0, 473.0, 0.0125, 463.1125},  // on a line
        {403.0062, 403.0, 473.0, 0.0125, 403.0},     // 62 units: half of 125 by whole units, down
        {403.0063, 403.0, 473.0, 0.0125, 403.0125},  // 63 units: up
        {472.9938, 403.0, 473.0, 0.0125, 473.0},     // in the last step: up to the upper end
        {402.5, 403.0, 473.0, 0.0125, 402.5},        // below the range: kept
        {473.004, 403.0, 473.0, 0.0125, 473.004},    // above the range: kept
        {463.1237, 403.0, 473.0, 0.0, 463.1237},     // no step: kept
        {463.1237, 403.0, 473.0, -0.0125, 463.1237}, // negative step: kept
        {463.1237, 473.0, 403.0, 0.0125, 463.1237},  // empty range: kept
        {463.1237, 463.0, 463.0, 0.0125, 463.1237},  // a range of no width: kept
        {463.12371, 463.0, 463.01, 0.0125, 463.1237}, // no whole step in the range: kept, to 0.0001
        {460.131, 403.0, 473.0, 0.02, 460.14},       // 20 kHz lines from 403: 460.12, 460.14
        {460.13, 403.0, 473.0, 0.02, 460.12},        // half-way between them: down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_DOUBLE_EQ(radiogrid::gridValue(c.v, c.lower, c.upper, c.step), c.expected);
    }
    EXPECT_TRUE(radiogrid::offGrid(463.1237, 403.0, 0.0125));
    EXPECT_FALSE(radiogrid::offGrid(463.1125, 403.0, 0.0125));
    // 0.1 + 0.2 style binary fractions land on whole units.
    EXPECT_FALSE(radiogrid::offGrid(410.02, 403.0, 0.02));
    EXPECT_FALSE(radiogrid::offGrid(463.1237, 403.0, 0.0));
    EXPECT_FALSE(radiogrid::offGrid(463.1237, 403.0, -1.0));
    EXPECT_EQ(radiogrid::toUnits(std::nan("")), 0);
    EXPECT_EQ(radiogrid::toUnits(1e300), int64_t(1e15));
}

// ---------------------------------------------------------------------------

// A module command as the receiver got it.
struct Sent {
    int id;
    std::vector<uint8_t> data;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Sent& s) {
    os << s.id << " [";
    for (uint8_t b : s.data) os << " " << int(b);
    return os << " ]";
}

class RadioLinkPageTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        std::string error;
        ASSERT_TRUE(sim_.Start(&error)) << error;
        sim_.RegisterAsCom(kCom);
        manager_ = DeviceManager::instance();
    }
    void TearDown() override {
        delete page_;
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
        sim_.Stop();
        platform::RegisterComPort(kCom, std::string());
        ProgramFolderTest::TearDown();
    }

    // Connects to a receiver that carries radio module `type` and waits until
    // the connection is initialised (the radio information has come by then).
    void connect(int type, const std::function<void(sim::SimSettings&)>& more = {}) {
        sim_.Update([&](sim::SimSettings& s) {
            ASSERT_TRUE(sim::SetRadioModule(s, type));
            if (more) more(s);
        });
        manager_->setManufacturer(2);
        manager_->setDeviceType(0);
        ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
        ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->connectionState() == 4; }, 10000));
    }

    std::vector<Sent> moduleCommands() const {
        std::vector<Sent> sent;
        for (const auto& c : sim_.Received())
            if (c.letters == "VS" && c.moduleId >= 0) sent.push_back({c.moduleId, c.moduleData});
        return sent;
    }

    // A read as the data link page makes it: the frequency and protocol
    // first, then the form's own requests, then the receiver's protocol.
    // Returns the radio requests the form sent; waits for gotData().
    std::vector<Sent> read() {
        if (!page_) page_ = new DataChain_Radio;
        int protocols = 0;
        QObject context;
        QObject::connect(DeviceObserver::instance(), &DeviceObserver::radioProtocol, &context,
                         [&] { ++protocols; }, Qt::QueuedConnection);
        manager_->sendRadioFrq();
        EXPECT_TRUE(QTest::qWaitFor([&] { return protocols > 0; }, 5000)) << "no frequency reply";
        sim_.ClearReceived();
        QSignalSpy got(page_, &DataChain_Radio::gotData);
        page_->setFieldsEnabled(false);
        page_->resetForm();
        page_->watchReceiver(true);
        page_->load();
        DeviceManager::Rdo_Mdl protocol{};
        manager_->transmitMdl(protocol);
        page_->setProtocol(int(protocol));
        EXPECT_TRUE(QTest::qWaitFor([&] { return got.count() > 0; }, 5000)) << "the read did not complete";
        EXPECT_EQ(got.count(), 1);
        page_->watchReceiver(false);
        page_->setFieldsEnabled(true);
        return moduleCommands();
    }

    // "Set" as the data link page makes it; returns the commands the
    // receiver got.
    std::vector<Sent> set(size_t expected) {
        EXPECT_EQ(page_->check(), 1);
        sim_.ClearReceived();
        page_->apply();
        std::vector<Sent> sent;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (sent = moduleCommands()).size() >= expected; }, 5000))
            << sent.size() << " of " << expected;
        QTest::qWait(300);  // nothing more follows
        return moduleCommands();
    }

    template <typename T>
    T* field(const char* name) const {
        T* w = page_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList items(const char* name) const {
        QStringList out;
        QComboBox* box = field<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
    bool rowShown(const char* label) const { return field<QLabel>(label)->isVisibleTo(page_); }

    sim::SimReceiver sim_;
    DeviceManager* manager_ = nullptr;
    DataChain_Radio* page_ = nullptr;
};

// The older module types offer the air baud rate and the frequency only.
TEST_F(RadioLinkPageTest, OtherModuleAsksForTheBaudRateOnly) {
    connect(3, [](sim::SimSettings& s) {
        s.radio.protocol = 6;
        s.radio.baud = 0;
    });
    EXPECT_EQ(read(), (std::vector<Sent>{{121, {}}}));
    EXPECT_EQ(page_->requestedMask(), DataChain_Radio::kBaudBit);
    EXPECT_EQ(page_->receivedMask(), DataChain_Radio::kBaudBit);
    EXPECT_FALSE(page_->noReply());

    // KVX, TT450s, Transparent; Trimmark3 has no code that would not switch
    // the link to the modem, so it is not offered.
    EXPECT_EQ(items("comboBox_protocol_radio"), (QStringList{"KVX", "TT450s", "Transparent"}));
    EXPECT_EQ(field<QComboBox>("comboBox_protocol_radio")->currentText(), QStringLiteral("TT450s"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_radioRange")->text(), QStringLiteral("450--470 Hz"));
    EXPECT_EQ(items("comboBox_baudrate"), (QStringList{"4800", "9600"}));
    EXPECT_EQ(field<QComboBox>("comboBox_baudrate")->currentText(), QStringLiteral("9600"));
    EXPECT_TRUE(field<QComboBox>("comboBox_baudrate")->isEnabled());
    EXPECT_FALSE(rowShown("label_sendPower"));
    EXPECT_FALSE(rowShown("label_sensitivity"));
    EXPECT_FALSE(rowShown("label_freqstep"));
    EXPECT_FALSE(rowShown("lblType"));
    EXPECT_FALSE(field<QCheckBox>("checkBox_fec")->isVisibleTo(page_));
    EXPECT_FALSE(field<QPushButton>("pushButton_callsign")->isVisibleTo(page_));
    EXPECT_DOUBLE_EQ(page_->freqStep(), 0.0125);
    EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->value(), 460.125);

    // "Set": the protocol, then the air baud rate and the frequency (a
    // channel of 12.5 kHz: 457.05 MHz, channel 3 of the high band, is 36564
    // = 8ED4).
    field<QComboBox>("comboBox_baudrate")->setCurrentIndex(0);
    field<QComboBox>("comboBox_signalChannel_RX")->setCurrentIndex(3);
    EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->value(), 457.05);
    EXPECT_FALSE(field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->isEnabled());
    EXPECT_EQ(set(3), (std::vector<Sent>{{96, {6}}, {120, {1}}, {109, {0xD4, 0x8E}}}));
}

// The three-band module: power, sensitivity, spacing and call sign, and FEC
// while its protocol is "3AS"; the grid follows the spacing.
TEST_F(RadioLinkPageTest, FullModuleReadSnapSetAndReadBack) {
    connect(8, [](sim::SimSettings& s) {
        s.radio.protocol = 8;
        s.radio.power = 3;
        s.radio.sensitivity = 1;
        s.radio.fec = 0;
    });
    // The form asks in its own order: sensitivity, spacing, call sign, power.
    EXPECT_EQ(read(), (std::vector<Sent>{{129, {}}, {137, {}}, {145, {}}, {118, {}}}));
    const uint32_t four = DataChain_Radio::kPowerBit | DataChain_Radio::kSensitivityBit |
                          DataChain_Radio::kSpacingBit | DataChain_Radio::kCallsignBit;
    EXPECT_EQ(page_->requestedMask(), four);
    EXPECT_EQ(page_->receivedMask(), four);
    EXPECT_EQ(items("comboBox_protocol_radio"), (QStringList{"TT450s", "Transparent", "3AS", "PCC4FSK"}));
    EXPECT_EQ(field<QComboBox>("comboBox_protocol_radio")->currentText(), QStringLiteral("3AS"));
    EXPECT_EQ(items("comboBox_sendPower"), (QStringList{"0.1 w", "0.5 w", "1 w"}));
    EXPECT_EQ(field<QComboBox>("comboBox_sendPower")->currentText(), QStringLiteral("0.5 w"));
    EXPECT_EQ(field<QComboBox>("comboBox_sensitivity")->currentText(), QStringLiteral("Medium"));
    EXPECT_EQ(field<QComboBox>("comboBox_freqstep")->currentText(), QStringLiteral("12.5"));
    EXPECT_EQ(std::string(page_->callsign.message, size_t(page_->callsign.message[14])), "BX4ABC");
    EXPECT_TRUE(rowShown("lblType"));
    EXPECT_TRUE(rowShown("label_sendPower"));
    EXPECT_TRUE(rowShown("label_freqstep"));
    // 3AS is the protocol with FEC: shown and ticked.
    EXPECT_TRUE(field<QCheckBox>("checkBox_fec")->isVisibleTo(page_));
    EXPECT_TRUE(field<QCheckBox>("checkBox_fec")->isChecked());
    EXPECT_DOUBLE_EQ(page_->freqStep(), 0.0125);
    auto* frequency = field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX");
    EXPECT_DOUBLE_EQ(frequency->value(), 460.125);
    EXPECT_EQ(frequency->text(), QStringLiteral("460.1250")) << "a decimal point under the German locale too";
    EXPECT_EQ(field<QComboBox>("cbType")->currentText(), QStringLiteral("Low")) << "no table channel";
    ASSERT_TRUE(frequency->isEnabled());

    // Leaving the field puts the frequency on the grid.
    const struct {
        double typed, left;
    } snaps[] = {{463.1237, 463.125}, {463.1186, 463.1125}, {463.1125, 463.1125}};
    for (const auto& s : snaps) {
        frequency->setValue(s.typed);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(frequency, &out);
        EXPECT_DOUBLE_EQ(frequency->value(), s.left) << s.typed;
    }
    // A table frequency selects its channel, and the field is then the
    // channel's.
    frequency->setValue(437.5);
    EXPECT_EQ(field<QComboBox>("comboBox_signalChannel_RX")->currentText(), QStringLiteral("4"));
    EXPECT_EQ(field<QComboBox>("cbType")->currentText(), QStringLiteral("Middle"));
    EXPECT_FALSE(frequency->isEnabled());
    field<QComboBox>("comboBox_signalChannel_RX")->setCurrentIndex(0);
    EXPECT_EQ(field<QComboBox>("cbType")->currentText(), QStringLiteral("Middle"));
    ASSERT_TRUE(frequency->isEnabled());
    frequency->setValue(463.125);

    // 20 kHz: the grid follows (463.12 is the nearer line from 403 MHz),
    // and the baud table gives 9600 for 3AS at 20 kHz.
    field<QComboBox>("comboBox_freqstep")->setCurrentIndex(1);
    EXPECT_DOUBLE_EQ(page_->freqStep(), 0.02);
    EXPECT_DOUBLE_EQ(frequency->value(), 463.12);
    EXPECT_EQ(field<QComboBox>("comboBox_baudrate")->currentText(), QStringLiteral("9600"));
    field<QComboBox>("comboBox_sendPower")->setCurrentIndex(2);
    field<QComboBox>("comboBox_sensitivity")->setCurrentIndex(0);
    // A call-sign length byte beyond the record is held to 14 characters.
    page_->callsign.state = 1;
    page_->callsign.interval = 5;
    std::memcpy(page_->callsign.message, "ABCDEFGHIJKLMN", 14);
    page_->callsign.message[14] = 40;

    // "Set": the protocol, then power, sensitivity, spacing, frequency
    // (23156 channels of 20 kHz = 5A74), FEC and call sign; no air baud
    // rate, which this module does not take.
    EXPECT_EQ(set(7), (std::vector<Sent>{{96, {8}},
                                         {117, {4}},
                                         {128, {0}},
                                         {136, {1}},
                                         {109, {0x74, 0x5A}},
                                         {130, {1}},
                                         {144, {1, 5, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L',
                                                'M', 'N'}}}));

    // A second read asks FEC too, now that the protocol is "3AS", and shows
    // what was set.
    EXPECT_EQ(read(), (std::vector<Sent>{{129, {}}, {137, {}}, {145, {}}, {131, {}}, {118, {}}}));
    EXPECT_EQ(page_->receivedMask(), four | DataChain_Radio::kFecBit);
    EXPECT_EQ(field<QComboBox>("comboBox_sendPower")->currentText(), QStringLiteral("1 w"));
    EXPECT_EQ(field<QComboBox>("comboBox_sensitivity")->currentText(), QStringLiteral("High"));
    EXPECT_EQ(field<QComboBox>("comboBox_freqstep")->currentText(), QStringLiteral("20"));
    EXPECT_TRUE(field<QCheckBox>("checkBox_fec")->isChecked());
    EXPECT_DOUBLE_EQ(frequency->value(), 463.12);
    EXPECT_EQ(std::string(page_->callsign.message, size_t(page_->callsign.message[14])), "ABCDEFGHIJKLMN");
    EXPECT_EQ(uint32_t(page_->callsign.interval), 5u);
}

// The single-band newer module offers power and frequency; with no air
// baud rate in the device information a settable baud list would be empty.
// Under a German locale the frequency takes the decimal comma a German
// keyboard types: "463,125" is 463.125 MHz (not 4631, with the comma read as
// a group separator), shown with the point, and "Set" takes it.
TEST_F(RadioLinkPageTest, AGermanDecimalCommaInTheFrequencyIsTheDecimalPoint) {
    struct German {
        QLocale old;
        German() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
        ~German() { QLocale::setDefault(old); }
    } german;
    connect(8, [](sim::SimSettings& s) { s.radio.protocol = 8; });
    read();
    auto* frequency = field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX");
    ASSERT_TRUE(frequency->isEnabled());
    for (const char* typed : {"463,125", "463.125"}) {
        SCOPED_TRACE(typed);
        frequency->selectAll();
        QTest::keyClicks(frequency, QLatin1String(typed));
        EXPECT_EQ(frequency->text(), QStringLiteral("463.125"));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(frequency, &out);
        EXPECT_DOUBLE_EQ(frequency->value(), 463.125);
        EXPECT_EQ(page_->check(), 1);
    }
}

TEST_F(RadioLinkPageTest, SingleBandModuleAsksForPowerOnly) {
    connect(7, [](sim::SimSettings& s) {
        s.radio.protocol = 1;
        s.radio.power = 5;
        s.deviceInfo.otaBaudSet = 255;
    });
    EXPECT_EQ(read(), (std::vector<Sent>{{118, {}}}));
    EXPECT_EQ(items("comboBox_protocol_radio"), (QStringList{"KVX"}));
    EXPECT_EQ(field<QComboBox>("comboBox_sendPower")->currentText(), QStringLiteral("2 w"));
    EXPECT_FALSE(rowShown("lblType"));
    // One baud rate: chosen, and not for the user to change.
    EXPECT_EQ(items("comboBox_baudrate"), (QStringList{"9600"}));
    EXPECT_EQ(field<QComboBox>("comboBox_baudrate")->currentIndex(), 0);
    EXPECT_FALSE(field<QComboBox>("comboBox_baudrate")->isEnabled());
    EXPECT_EQ(field<QLineEdit>("lineEdit_radioRange")->text(), QStringLiteral("455--463 Hz"));
    EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->value(), 458.0);
    EXPECT_EQ(set(3), (std::vector<Sent>{{96, {1}}, {117, {5}}, {109, {0x20, 0x8F}}}));

    // A missing protocol and power are marked, and nothing is sent.
    field<QComboBox>("comboBox_protocol_radio")->setCurrentIndex(-1);
    field<QComboBox>("comboBox_sendPower")->setCurrentIndex(-1);
    EXPECT_EQ(page_->check(), 0);
    const QColor red = field<QComboBox>("comboBox_sendPower")->palette().color(QPalette::Base);
    EXPECT_NE(red, field<QComboBox>("comboBox_baudrate")->palette().color(QPalette::Base));
}

// A hand-edited channel table shorter than the channel list: a channel it
// does not reach is the free channel, whose frequency the user types.
TEST_F(RadioLinkPageTest, ChannelPastAShortTableIsTheFreeChannel) {
    makeDir("configs");
    writeFile(path("configs/radiochannels.brt"),
              "<radio><channel type=\"array\"><size>3</size>"
              "<a1><number>0</number><high>0</high><middle>0</middle><low>0</low></a1>"
              "<a2><number>1</number><high>456.05</high><middle>430</middle><low>415.05</low></a2>"
              "<a3><number>2</number><high>460</high><middle>432.5</middle><low>416.05</low></a3>"
              "</channel></radio>");
    connect(7, [](sim::SimSettings& s) { s.radio.protocol = 1; });
    read();
    auto* frequency = field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX");
    QComboBox* channel = field<QComboBox>("comboBox_signalChannel_RX");
    ASSERT_EQ(channel->count(), 10);
    channel->setCurrentIndex(2);
    EXPECT_DOUBLE_EQ(frequency->value(), 460.0);
    EXPECT_FALSE(frequency->isEnabled());
    channel->setCurrentIndex(7);
    EXPECT_DOUBLE_EQ(frequency->value(), 455.0) << "the free channel's 0.0, raised to the range";
    EXPECT_TRUE(frequency->isEnabled());
    page_->setFieldsEnabled(false);
    page_->setFieldsEnabled(true);
    EXPECT_TRUE(frequency->isEnabled());
}

// Before any radio information: nothing to ask, the read ends at once, and
// "Set" finds the protocol and the frequency missing.
TEST_F(RadioLinkPageTest, NoRadioInformation) {
    page_ = new DataChain_Radio;
    QSignalSpy got(page_, &DataChain_Radio::gotData);
    page_->resetForm();
    page_->load();
    EXPECT_EQ(got.count(), 1);
    EXPECT_TRUE(page_->noReply());
    EXPECT_EQ(field<QComboBox>("comboBox_protocol_radio")->count(), 0);
    EXPECT_EQ(field<QComboBox>("comboBox_baudrate")->count(), 0);
    EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->value(), 0.0);
    EXPECT_EQ(page_->check(), 0);
    EXPECT_TRUE(moduleCommands().empty());
}

// ---------------------------------------------------------------------------
// The radio channel page

class RadioChannelPageTest : public RadioLinkPageTest {
protected:
    QStringList headers(QTableWidget* t) const {
        QStringList out;
        for (int c = 0; c < t->columnCount(); ++c) out << t->horizontalHeaderItem(c)->text();
        return out;
    }
    QStringList column(QTableWidget* t, int c) const {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) out << (t->item(r, c) ? t->item(r, c)->text() : QString());
        return out;
    }
    QStringList rowLabels(QTableWidget* t) const {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) out << t->verticalHeaderItem(r)->text();
        return out;
    }
    void clickHeader(QTableWidget* t, int c) {
        QHeaderView* h = t->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2));
    }
};

TEST_F(RadioChannelPageTest, BandColumnsByModuleAndSortByHeader) {
    connect(8);
    RadioChannelWidget page;
    page.resize(400, 400);
    page.show();
    page.refresh();
    QTableWidget* t = page.table();
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Radio Channel"));
    ASSERT_EQ(t->rowCount(), 10);
    EXPECT_EQ(headers(t), (QStringList{"High Freq.( MHz )", "Middle Freq.( MHz )", "Low Freq.( MHz )"}));
    EXPECT_EQ(column(t, 0), (QStringList{"0.00", "456.05", "456.55", "457.05", "458.05", "459.05", "460.05",
                                         "461.05", "462.05", "462.55"}));
    EXPECT_EQ(column(t, 1), (QStringList{"0.00", "430.00", "432.50", "435.00", "437.50", "440.00", "442.50",
                                         "445.00", "447.50", "450.00"}));
    EXPECT_EQ(rowLabels(t), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));

    // The first click sorts by the column ascending, the second descending;
    // the channel numbers go with their rows.
    clickHeader(t, 1);
    EXPECT_EQ(column(t, 1).first(), QStringLiteral("0.00"));
    EXPECT_EQ(column(t, 1).last(), QStringLiteral("450.00"));
    clickHeader(t, 1);
    EXPECT_EQ(column(t, 1), (QStringList{"450.00", "447.50", "445.00", "442.50", "440.00", "437.50", "435.00",
                                         "432.50", "430.00", "0.00"}));
    EXPECT_EQ(column(t, 2).first(), QStringLiteral("423.05"));
    EXPECT_EQ(rowLabels(t), (QStringList{"9", "8", "7", "6", "5", "4", "3", "2", "1", "0"}));

    // Another radio: the page shown again has one column of its band.
    manager_->disconnectDevice();
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->connectionState() == 0; }, 5000));
    connect(5);
    page.refresh();
    EXPECT_EQ(headers(t), QStringList{"Frequency( MHz )"});
    EXPECT_EQ(column(t, 0), (QStringList{"0.00", "430.00", "432.50", "435.00", "437.50", "440.00", "442.50",
                                         "445.00", "447.50", "450.00"}));
    EXPECT_EQ(rowLabels(t), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

}  // namespace
