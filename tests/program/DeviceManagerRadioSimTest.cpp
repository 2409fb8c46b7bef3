// DeviceManager's static-recording and radio requests against the simulated
// receiver, through the real receiver object, protocol and port libraries:
// each request sends exactly its frames, and each reply arrives as its
// observer signal with the value readable through its accessor.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "TestSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 8;

// The observer's signals, by name and in the order they reach the GUI thread.
class Signals : public QObject {
    Q_OBJECT
public:
    explicit Signals(DeviceObserver* o) {
        o->subscribe(this, SIGNAL(workingStatus(int)), SLOT(onStatus(int)));
        o->subscribe(this, SIGNAL(gprsVersion()), SLOT(onGprsVersion()));
        o->subscribe(this, SIGNAL(staticPointInfo()), SLOT(onStaticPoint()));
        o->subscribe(this, SIGNAL(radioInfo()), SLOT(onRadioInfo()));
        o->subscribe(this, SIGNAL(radioFreqRange()), SLOT(onRadioRange()));
        o->subscribe(this, SIGNAL(radioFreq()), SLOT(onRadioFreq()));
        o->subscribe(this, SIGNAL(radioProtocol()), SLOT(onRadioProtocol()));
        o->subscribe(this, SIGNAL(radioPower()), SLOT(onRadioPower()));
        o->subscribe(this, SIGNAL(radioBaudrate()), SLOT(onRadioBaudrate()));
        o->subscribe(this, SIGNAL(radioSensitive()), SLOT(onRadioSensitive()));
        o->subscribe(this, SIGNAL(radioFreqStep()), SLOT(onRadioFreqStep()));
        o->subscribe(this, SIGNAL(radioFEC()), SLOT(onRadioFec()));
        o->subscribe(this, SIGNAL(radioCallsign()), SLOT(onRadioCallsign()));
    }
    std::vector<std::string> events;
    int count(const std::string& e) const { return int(std::count(events.begin(), events.end(), e)); }
    long at(const std::string& e) const { return std::find(events.begin(), events.end(), e) - events.begin(); }

public slots:
    void onStatus(int s) { events.push_back("status " + std::to_string(s)); }
    void onGprsVersion() { events.push_back("gprsVersion"); }
    void onStaticPoint() { events.push_back("staticPointInfo"); }
    void onRadioInfo() { events.push_back("radioInfo"); }
    void onRadioRange() { events.push_back("radioFreqRange"); }
    void onRadioFreq() { events.push_back("radioFreq"); }
    void onRadioProtocol() { events.push_back("radioProtocol"); }
    void onRadioPower() { events.push_back("radioPower"); }
    void onRadioBaudrate() { events.push_back("radioBaudrate"); }
    void onRadioSensitive() { events.push_back("radioSensitive"); }
    void onRadioFreqStep() { events.push_back("radioFreqStep"); }
    void onRadioFec() { events.push_back("radioFEC"); }
    void onRadioCallsign() { events.push_back("radioCallsign"); }
};

// A command as the receiver got it: the letters, and for a module packet its
// id and data.
struct Sent {
    std::string letters;
    int moduleId;
    std::vector<uint8_t> data;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Sent& s) {
    os << s.letters << " " << s.moduleId << " [";
    for (uint8_t b : s.data) os << " " << int(b);
    return os << " ]";
}

class DeviceManagerRadioSimTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        observer_ = DeviceObserver::instance();
        signals_ = std::make_unique<Signals>(observer_);
        std::string error;
        ASSERT_TRUE(sim_.Start(&error)) << error;
        sim_.RegisterAsCom(kCom);
        manager_ = DeviceManager::instance();
    }
    void TearDown() override {
        delete DeviceManager::existing();
        signals_.reset();
        delete DeviceObserver::existing();
        sim_.Stop();
        platform::RegisterComPort(kCom, std::string());
        ProgramFolderTest::TearDown();
    }

    // Connects to a receiver whose radio extension byte is `radioExt` (5:
    // module type 8, 3: module type 7) and waits until it is initialised.
    void connect(uint8_t radioExt) {
        sim_.Update([&](sim::SimSettings& s) { s.deviceInfo.radioModuleExt = radioExt; });
        manager_->setManufacturer(2);
        manager_->setDeviceType(0);
        ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
        ASSERT_TRUE(QTest::qWaitFor([&] { return signals_->count("status 4") > 0; }, 10000));
    }

    // Runs `request`, then waits until the receiver has got `expected.size()`
    // commands of the kinds a request here sends (module packets and static
    // frames; the line's keep-alive is left out) and returns them.
    std::vector<Sent> sentBy(const std::function<void()>& request, size_t expected) {
        sim_.ClearReceived();
        request();
        std::vector<Sent> sent;
        const bool enough = QTest::qWaitFor(
            [&] {
                sent.clear();
                for (const auto& c : sim_.Received()) {
                    if (c.letters == "VS") sent.push_back({"VS", c.moduleId, c.moduleData});
                    else if (c.letters[0] == 'F') sent.push_back({c.letters, -1, c.payload});
                    else if (c.letters == "SJ") sent.push_back({"SJ", -1, c.payload});
                }
                return sent.size() >= expected;
            },
            5000);
        EXPECT_TRUE(enough) << sent.size() << " of " << expected << " commands arrived";
        return sent;
    }

    bool waitFor(const std::string& event, int count = 1) {
        return QTest::qWaitFor([&] { return signals_->count(event) >= count; }, 5000);
    }

    sim::SimReceiver sim_;
    DeviceObserver* observer_ = nullptr;
    DeviceManager* manager_ = nullptr;
    std::unique_ptr<Signals> signals_;
};

// Module type 8 takes every radio setting but the air baud rate.
TEST_F(DeviceManagerRadioSimTest, FullRadioQueriesAndSettings) {
    connect(5);
    // The module version brings the radio's information and range, before
    // the initialisation ends.
    EXPECT_LT(signals_->at("gprsVersion"), signals_->at("radioInfo"));
    EXPECT_LT(signals_->at("radioInfo"), signals_->at("radioFreqRange"));
    EXPECT_LT(signals_->at("radioFreqRange"), signals_->at("status 4"));
    DeviceManager::Radio_Info info{};
    manager_->radioInfo(info);
    EXPECT_EQ(info.moduleCode, 8u);
    EXPECT_EQ(info.featureBits, 0x0BD10000u);
    double lower = 0, upper = 0, step = 0;
    manager_->radioRange(lower, upper, step);
    EXPECT_DOUBLE_EQ(lower, 403.0);
    EXPECT_DOUBLE_EQ(upper, 473.0);
    EXPECT_DOUBLE_EQ(step, 0.0125);

    // Frequency: the query of module types 3-8 (110); the reply (protocol 5,
    // channel 36810 of 12.5 kHz) is announced as frequency, then protocol.
    int result = 0;
    EXPECT_EQ(sentBy([&] { result = manager_->sendRadioFrq(); }, 1), (std::vector<Sent>{{"VS", 110, {}}}));
    EXPECT_EQ(result, 2);
    ASSERT_TRUE(waitFor("radioProtocol"));
    EXPECT_EQ(signals_->at("radioFreq") + 1, signals_->at("radioProtocol"));
    EXPECT_DOUBLE_EQ(manager_->radioFrq(), 460.125);
    DeviceManager::Rdo_Mdl protocol{};
    manager_->transmitMdl(protocol);
    EXPECT_EQ(int(protocol), 5);

    const struct {
        const char* name;
        std::function<void()> request;
        int id;
        const char* signal;
    } queries[] = {
        {"power", [&] { manager_->sendRadioPower(); }, 118, "radioPower"},
        {"sensitivity", [&] { manager_->sendRadioSensitivity(); }, 129, "radioSensitive"},
        {"spacing", [&] { manager_->sendRadioChannelSpace(); }, 137, "radioFreqStep"},
        {"fec", [&] { manager_->sendRadioFec(); }, 131, "radioFEC"},
        {"call sign", [&] { manager_->sendRadioCallsign(); }, 145, "radioCallsign"},
    };
    for (const auto& q : queries) {
        SCOPED_TRACE(q.name);
        EXPECT_EQ(sentBy(q.request, 1), (std::vector<Sent>{{"VS", q.id, {}}}));
        EXPECT_TRUE(waitFor(q.signal));
    }
    const sim::SimRadio radio = sim_.Settings().radio;
    DeviceManager::Radio_Power power{};
    manager_->radioPower(power);
    EXPECT_EQ(int(power), radio.power);
    DeviceManager::Rdo_Sensitv sensitivity{};
    manager_->radioSensitivity(sensitivity);
    EXPECT_EQ(int(sensitivity), radio.sensitivity);
    DeviceManager::Channel_Space spacing{};
    manager_->radioChannelSpace(spacing);
    EXPECT_EQ(int(spacing), radio.spacing);
    EXPECT_EQ(manager_->radioFec(), radio.fec == 1);
    const DeviceManager::Radio_Callsign callsign = manager_->radioCallsign();
    EXPECT_EQ(callsign.state, radio.callsignOn);
    EXPECT_EQ(callsign.interval, radio.callsignInterval);
    EXPECT_EQ(std::string(callsign.message, size_t(callsign.message[14])), radio.callsign);

    // The air baud rate is not asked of this module: only the FEC query
    // that follows it goes out.
    EXPECT_EQ(sentBy(
                  [&] {
                      manager_->sendRadioBaudrate();
                      manager_->sendRadioFec();
                  },
                  1),
              (std::vector<Sent>{{"VS", 131, {}}}));

    // Settings: the protocol, then what the module offers, in order (no air
    // baud rate). 410.02 MHz in the 20 kHz channels just chosen: 20501 = 5015.
    DeviceManager::Radio_Callsign next{};
    next.state = 0;
    next.interval = 30;
    std::memcpy(next.message, "CQ7", 3);
    next.message[14] = 3;
    const std::vector<Sent> settings = sentBy(
        [&] {
            manager_->setRadioParams(DeviceManager::Rdo_Mdl(8), 410.02, Fjarnis2011::FJParse::RADIO_POWER_2W,
                                     Fjarnis2011::FJParse::RADIO_BAUD_19200, Fjarnis2011::FJParse::RDO_SENSITV_HIGH,
                                     Fjarnis2011::FJParse::CHANNEL_SPACE_20K, false, next);
        },
        7);
    EXPECT_EQ(settings, (std::vector<Sent>{{"VS", 96, {8}},
                                           {"VS", 117, {5}},
                                           {"VS", 128, {0}},
                                           {"VS", 136, {1}},
                                           {"VS", 109, {0x15, 0x50}},
                                           {"VS", 130, {0}},
                                           {"VS", 144, {0, 30, 'C', 'Q', '7'}}}));
    // The receiver's radio now reports what was set.
    sentBy([&] { manager_->sendRadioPower(); }, 1);
    ASSERT_TRUE(waitFor("radioPower", 2));
    manager_->radioPower(power);
    EXPECT_EQ(power, Fjarnis2011::FJParse::RADIO_POWER_2W);
}

// Module type 7 takes the air baud rate, and offers neither sensitivity nor
// FEC: setRadioParams sends only what it offers.
TEST_F(DeviceManagerRadioSimTest, AirBaudRateOfTheNewerRadio) {
    connect(3);
    EXPECT_EQ(sentBy([&] { manager_->sendRadioBaudrate(); }, 1), (std::vector<Sent>{{"VS", 121, {}}}));
    ASSERT_TRUE(waitFor("radioBaudrate"));
    DeviceManager::Radio_Baudrate baud{};
    manager_->radioBaudrate(baud);
    EXPECT_EQ(int(baud), sim_.Settings().radio.baud);

    // Offers 0x0B000000: power and frequency (455.125 MHz on the 12.5 kHz
    // grid: channel 36410 = 8E3A), besides the protocol.
    const std::vector<Sent> settings = sentBy(
        [&] {
            manager_->setRadioParams(DeviceManager::Rdo_Mdl(1), 455.125, Fjarnis2011::FJParse::RADIO_POWER_1W,
                                     Fjarnis2011::FJParse::RADIO_BAUD_9600, Fjarnis2011::FJParse::RDO_SENSITV_LOW,
                                     Fjarnis2011::FJParse::CHANNEL_SPACE_12K5, true, DeviceManager::Radio_Callsign{});
        },
        3);
    EXPECT_EQ(settings, (std::vector<Sent>{{"VS", 96, {1}}, {"VS", 117, {4}}, {"VS", 109, {0x3A, 0x8E}}}));
}

TEST_F(DeviceManagerRadioSimTest, StaticPointRecordingAndBegin) {
    connect(0);
    EXPECT_EQ(sentBy([&] { manager_->sendStaticPoint(); }, 1), (std::vector<Sent>{{"FB", -1, {}}}));
    ASSERT_TRUE(waitFor("staticPointInfo"));
    DeviceManager::Static_Point point = manager_->staticPoint();
    EXPECT_EQ(std::string(point.name, point.nameLength), "BM01");
    EXPECT_FLOAT_EQ(point.antennaHeight, 1.5f);
    EXPECT_EQ(point.antennaType, 3);
    EXPECT_EQ(point.surveyTo, 3);  // code 1: vertical

    // The four record settings, then the point: name "P7", 2.0 m, antenna 9,
    // slant (4, sent as 3).
    DeviceManager::Static_Point next{};
    next.nameLength = 2;
    std::memcpy(next.name, "P7", 2);
    next.antennaHeight = 2.0f;
    next.antennaType = 9;
    next.surveyTo = 4;
    const std::vector<Sent> sent = sentBy([&] { manager_->setRecordingAndPoint(1, 24, 5, 10, &next); }, 5);
    EXPECT_EQ(sent, (std::vector<Sent>{{"SJ", -1, {0x2A, 1}},
                                       {"SJ", -1, {0x2B, 24}},
                                       {"SJ", -1, {0x31, 5}},
                                       {"SJ", -1, {0x32, 10}},
                                       {"FA", -1, {2, 'P', '7', 0x00, 0x00, 0x00, 0x40, 9, 3}}}));
    sentBy([&] { manager_->sendStaticPoint(); }, 1);
    ASSERT_TRUE(waitFor("staticPointInfo", 2));
    point = manager_->staticPoint();
    EXPECT_EQ(std::string(point.name, point.nameLength), "P7");
    EXPECT_EQ(point.surveyTo, 4);

    EXPECT_EQ(sentBy([&] { manager_->beginStatic(); }, 1), (std::vector<Sent>{{"FD", -1, {0}}}));
    EXPECT_EQ(sentBy([&] { manager_->endStatic(); }, 1), (std::vector<Sent>{{"FD", -1, {1}}}));
}

}  // namespace

#include "DeviceManagerRadioSimTest.moc"
