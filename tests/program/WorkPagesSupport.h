#pragma once

// Support for the tests of the receiver-work pages (static recording, RTK,
// NMEA output): the program connected to the simulated receiver on COM1
// through the Connect page, and the frames the receiver got since a mark.

#include "program/DeviceManager.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QLineEdit>

#include <ostream>
#include <string>
#include <vector>

namespace guitest {

struct SentFrame {
    std::string letters;
    std::vector<uint8_t> payload;
    bool operator==(const SentFrame&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const SentFrame& f) {
    os << f.letters;
    for (uint8_t b : f.payload) os << ' ' << std::hex << int(b) << std::dec;
    return os;
}

inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class WorkPageTest : public ReceiverGuiTest {
protected:
    // What the receiver is before the program connects.
    virtual void configureSim(sim::SimSettings&) {}

    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        sim_.Update([this](sim::SimSettings& s) { configureSim(s); });
        startWindow();
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        ASSERT_EQ(window_->currentPage(), window_->menu());
        // The board switch that follows the device information is done on
        // the receiver's writing thread.
        ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->boardType() != 0; }));
        watcher_.messages.clear();  // "Successfully connected"
    }

    // Lets the receiver object's queue run dry, then marks the place.
    size_t mark() {
        QTest::qWait(400);
        return sim_.Received().size();
    }
    // The frames the receiver got after `from`, but the periodic-output
    // switch the receiver object sends on its own ("RG").
    std::vector<SentFrame> framesAfter(size_t from) const {
        std::vector<SentFrame> out;
        const auto all = sim_.Received();
        for (size_t i = from; i < all.size(); ++i)
            if (all[i].letters != "RG") out.push_back({all[i].letters, all[i].payload});
        return out;
    }
    std::vector<SentFrame> waitForFrames(size_t from, size_t count) {
        EXPECT_TRUE(waitFor([&] { return framesAfter(from).size() >= count; }));
        QTest::qWait(300);  // and nothing more comes
        return framesAfter(from);
    }

    bool keysEnabled(Widget* page) const {
        for (QAction* a : page->actions())
            if (!a->isEnabled()) return false;
        return true;
    }
    QAction* key(Widget* page, const QString& text) const {
        for (QAction* a : page->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    QLineEdit* edit(const char* name) const { return window_->findChild<QLineEdit*>(QLatin1String(name)); }
    int messagesWith(const QString& text) const {
        int n = 0;
        for (const auto& m : watcher_.messages)
            if (m.text == text) ++n;
        return n;
    }
};

}  // namespace guitest
