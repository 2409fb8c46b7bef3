#include "program/DeviceObserver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>
#include <vector>

namespace {

// Records what reaches its slots and on which thread.
class Listener : public QObject {
    Q_OBJECT
public:
    int calls = 0;
    int intArg = -12345;
    int boolArg = -1;
    QThread* thread = nullptr;

public slots:
    void onAny() { note(); }
    void onInt(int v) {
        intArg = v;
        note();
    }
    void onBool(bool v) {
        boolArg = v ? 1 : 0;
        note();
    }

private:
    void note() {
        ++calls;
        thread = QThread::currentThread();
    }
};

enum class Arg { None, Int, Bool };

struct SignalCase {
    int code;
    int value;          // handed to dispatch
    const char* signal; // SIGNAL() form
    Arg arg;
    int expected;       // expected argument (int or bool as 0/1)
};

// Every code of the table with its signal; 1 and 2 carry the handed value,
// 27 and 28 carry true and false.
const std::vector<SignalCase>& Cases() {
    static const std::vector<SignalCase> cases = {
        {2, 3, SIGNAL(workingStatus(int)), Arg::Int, 3},
        {4, 0, SIGNAL(deviceInfo()), Arg::None, 0},
        {5, 0, SIGNAL(staticPointInfo()), Arg::None, 0},
        {7, 0, SIGNAL(wirelessParamters()), Arg::None, 0},
        {6, 0, SIGNAL(gprsVersion()), Arg::None, 0},
        {11, 0, SIGNAL(corsInfo()), Arg::None, 0},
        {10, 0, SIGNAL(loginMode()), Arg::None, 0},
        {1, 77, SIGNAL(batteryLife(int)), Arg::Int, 77},
        {23, 0, SIGNAL(elevMask()), Arg::None, 0},
        {27, 0, SIGNAL(oemTypeChanged(bool)), Arg::Bool, 1},
        {28, 0, SIGNAL(oemTypeChanged(bool)), Arg::Bool, 0},
        {13, 0, SIGNAL(radioProtocol()), Arg::None, 0},
        {14, 0, SIGNAL(radioFreq()), Arg::None, 0},
        {16, 0, SIGNAL(radioInfo()), Arg::None, 0},
        {15, 0, SIGNAL(radioPower()), Arg::None, 0},
        {17, 0, SIGNAL(radioFreqRange()), Arg::None, 0},
        {8, 0, SIGNAL(wirelessStatus()), Arg::None, 0},
        {9, 0, SIGNAL(wirelessError()), Arg::None, 0},
        {12, 0, SIGNAL(sourceTable()), Arg::None, 0},
        {29, 0, SIGNAL(deviceClosed()), Arg::None, 0},
        {18, 0, SIGNAL(radioBaudrate()), Arg::None, 0},
        {19, 0, SIGNAL(radioSensitive()), Arg::None, 0},
        {20, 0, SIGNAL(radioFreqStep()), Arg::None, 0},
        {21, 0, SIGNAL(radioFEC()), Arg::None, 0},
        {22, 0, SIGNAL(radioCallsign()), Arg::None, 0},
        {30, 0, SIGNAL(connectionFailed()), Arg::None, 0},
    };
    return cases;
}

const char* SlotFor(Arg arg) {
    switch (arg) {
    case Arg::Int: return SLOT(onInt(int));
    case Arg::Bool: return SLOT(onBool(bool));
    default: return SLOT(onAny());
    }
}

// Spies on all 25 signals at once.
struct AllSpies {
    explicit AllSpies(DeviceObserver* o) {
        const QMetaObject* mo = o->metaObject();
        for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
            const QMetaMethod m = mo->method(i);
            if (m.methodType() == QMetaMethod::Signal)
                spies.push_back(std::make_unique<QSignalSpy>(o, m));
        }
    }
    int total() const {
        int n = 0;
        for (const auto& s : spies)
            n += static_cast<int>(s->count());
        return n;
    }
    QSignalSpy* byName(const char* name) const {
        for (const auto& s : spies)
            if (s->signal().startsWith(QByteArray(name) + "("))
                return s.get();
        return nullptr;
    }
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};

class DeviceObserverTest : public testing::Test {
protected:
    void SetUp() override { observer_ = DeviceObserver::instance(); }
    void TearDown() override { delete DeviceObserver::existing(); }
    DeviceObserver* observer_ = nullptr;
};

TEST_F(DeviceObserverTest, HasTheTwentyFiveSignalsInOrder) {
    const char* names[] = {"workingStatus(int)", "deviceInfo()", "staticPointInfo()", "wirelessParamters()",
                           "gprsVersion()", "corsInfo()", "loginMode()", "batteryLife(int)", "elevMask()",
                           "oemTypeChanged(bool)", "radioProtocol()", "radioFreq()", "radioInfo()",
                           "radioPower()", "radioFreqRange()", "wirelessStatus()", "wirelessError()",
                           "sourceTable()", "deviceClosed()", "radioBaudrate()", "radioSensitive()",
                           "radioFreqStep()", "radioFEC()", "radioCallsign()", "connectionFailed()"};
    const QMetaObject* mo = observer_->metaObject();
    std::vector<QByteArray> found;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i)
        if (mo->method(i).methodType() == QMetaMethod::Signal)
            found.push_back(mo->method(i).methodSignature());
    ASSERT_EQ(found.size(), 25u);
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], QByteArray(names[i])) << "signal " << i + 1;
}

TEST_F(DeviceObserverTest, SingletonIsMadeOnceAndForgottenWhenDeleted) {
    EXPECT_EQ(DeviceObserver::instance(), observer_);
    EXPECT_EQ(DeviceObserver::existing(), observer_);
    delete observer_;
    EXPECT_EQ(DeviceObserver::existing(), nullptr);
    observer_ = DeviceObserver::instance();
    EXPECT_NE(observer_, nullptr);
    EXPECT_EQ(DeviceObserver::existing(), observer_);
}

// Each code, dispatched from a device-like std::thread, emits exactly its own
// signal there, and a queued subscriber receives it on the GUI thread.
TEST_F(DeviceObserverTest, EveryCodeFromAWorkerThreadReachesTheGuiThread) {
    for (const SignalCase& c : Cases()) {
        SCOPED_TRACE(c.signal + 1);
        AllSpies spies(observer_);
        Listener listener;
        ASSERT_TRUE(observer_->subscribe(&listener, c.signal, SlotFor(c.arg)));

        std::thread device([&] { observer_->dispatch(c.code, c.value); });
        device.join();

        EXPECT_EQ(spies.total(), 1);
        QByteArray name = QByteArray(c.signal + 1);
        name.truncate(name.indexOf('('));
        QSignalSpy* spy = spies.byName(name.constData());
        ASSERT_NE(spy, nullptr);
        ASSERT_EQ(spy->count(), 1);
        if (c.arg == Arg::Int) {
            EXPECT_EQ(spy->at(0).at(0).toInt(), c.expected);
        } else if (c.arg == Arg::Bool) {
            EXPECT_EQ(spy->at(0).at(0).toBool(), c.expected != 0);
        }

        // Queued: nothing has run yet on the GUI thread.
        EXPECT_EQ(listener.calls, 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return listener.calls == 1; }, 5000));
        EXPECT_EQ(listener.thread, QCoreApplication::instance()->thread());
        if (c.arg == Arg::Int) {
            EXPECT_EQ(listener.intArg, c.expected);
        } else if (c.arg == Arg::Bool) {
            EXPECT_EQ(listener.boolArg, c.expected);
        }
        EXPECT_TRUE(observer_->unsubscribe(c.signal, &listener));
    }
}

TEST_F(DeviceObserverTest, UnknownCodesEmitNothing) {
    AllSpies spies(observer_);
    for (int code : {-1, 0, 3, 24, 25, 26, 31, 1000})
        observer_->dispatch(code, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(spies.total(), 0);
}

TEST_F(DeviceObserverTest, SubscribeTwiceDeliversTwiceAndOneUnsubscribeRemovesBoth) {
    Listener listener;
    ASSERT_TRUE(observer_->subscribe(&listener, SIGNAL(deviceInfo()), SLOT(onAny())));
    ASSERT_TRUE(observer_->subscribe(&listener, SIGNAL(deviceInfo()), SLOT(onAny())));
    observer_->dispatch(4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.calls == 2; }, 5000));

    EXPECT_TRUE(observer_->unsubscribe(SIGNAL(deviceInfo()), &listener));
    observer_->dispatch(4);
    QCoreApplication::processEvents();
    QTest::qWait(20);
    EXPECT_EQ(listener.calls, 2);
}

TEST_F(DeviceObserverTest, UnsubscribeLeavesOtherSignalsAndReceivers) {
    Listener a, b;
    ASSERT_TRUE(observer_->subscribe(&a, SIGNAL(deviceInfo()), SLOT(onAny())));
    ASSERT_TRUE(observer_->subscribe(&a, SIGNAL(gprsVersion()), SLOT(onAny())));
    ASSERT_TRUE(observer_->subscribe(&b, SIGNAL(deviceInfo()), SLOT(onAny())));
    EXPECT_TRUE(observer_->unsubscribe(SIGNAL(deviceInfo()), &a));
    observer_->dispatch(4);
    observer_->dispatch(6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.calls == 1 && b.calls == 1; }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(a.calls, 1);  // gprsVersion only
    EXPECT_EQ(b.calls, 1);  // deviceInfo
}

// The main menu writes its signature with spaces.
TEST_F(DeviceObserverTest, SignatureWithSpacesConnects) {
    Listener listener;
    ASSERT_TRUE(observer_->subscribe(&listener, "2workingStatus( int )", "1onInt( int )"));
    observer_->dispatch(2, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.calls == 1; }, 5000));
    EXPECT_EQ(listener.intArg, 4);
    EXPECT_TRUE(observer_->unsubscribe("2workingStatus( int )", &listener));
}

TEST_F(DeviceObserverTest, BadSubscriptionsAreRefused) {
    Listener listener;
    EXPECT_FALSE(observer_->subscribe(nullptr, SIGNAL(deviceInfo()), SLOT(onAny())));
    EXPECT_FALSE(observer_->subscribe(&listener, nullptr, SLOT(onAny())));
    EXPECT_FALSE(observer_->subscribe(&listener, SIGNAL(noSuchSignal()), SLOT(onAny())));
    EXPECT_FALSE(observer_->unsubscribe(SIGNAL(deviceInfo()), nullptr));
}

}  // namespace

#include "DeviceObserverTest.moc"
