#include "program/ConnectingProgress.h"
#include "program/DeviceObserver.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

class ConnectingProgressTest : public testing::Test {
protected:
    void SetUp() override { observer_ = DeviceObserver::instance(); }
    void TearDown() override { delete DeviceObserver::existing(); }

    // Runs `steps` one after another from the dialog's own event loop, then
    // returns the result of exec. A step that does not end the dialog is
    // followed by the next one.
    int runWith(ConnectingProgress& dialog, std::vector<std::function<void()>> steps) {
        steps_ = std::move(steps);
        index_ = 0;
        QTimer::singleShot(0, &dialog, [this, &dialog] { step(dialog); });
        return dialog.exec();
    }
    // Steps are timed against the dialog, so none outlives it.
    void step(ConnectingProgress& dialog) {
        if (index_ >= steps_.size())
            return;
        steps_[index_++]();
        QTimer::singleShot(0, &dialog, [this, &dialog] { step(dialog); });
    }

    std::vector<std::function<void()>> steps_;
    size_t index_ = 0;
    DeviceObserver* observer_ = nullptr;
};

TEST_F(ConnectingProgressTest, SetUpAsTheConnectPageExpects) {
    ConnectingProgress dialog(nullptr, observer_, 60000);
    EXPECT_EQ(dialog.windowTitle(), QString("Brantor"));
    EXPECT_EQ(dialog.minimum(), -1);
    EXPECT_EQ(dialog.maximum(), 4);
    EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_TRUE(dialog.labelText().isEmpty());
    EXPECT_FALSE(dialog.isActive());
    const QStringList expected = {"Closing Current Connection", "Current Connection Closed", "Opening Port",
                                  "Opening Port Succeeded", "Initializing", "Initialized"};
    EXPECT_EQ(dialog.stateTexts(), expected);
    auto* cancel = dialog.findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QString("Cancel"));
}

// The states shown while connecting; 4 accepts the dialog, and a further 4
// after that changes nothing.
TEST_F(ConnectingProgressTest, StatesMoveTheDialogAndFourAcceptsOnce) {
    ConnectingProgress dialog(nullptr, observer_, 60000);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    std::vector<std::pair<QString, int>> seen;
    auto note = [&] { seen.emplace_back(dialog.labelText(), dialog.value()); };
    const int result = runWith(dialog, {
        [&] { observer_->dispatch(2, 5); note(); },
        [&] { observer_->dispatch(2, 0); note(); },
        [&] { observer_->dispatch(2, 1); note(); },
        [&] { observer_->dispatch(2, 2); note(); },
        [&] { observer_->dispatch(2, 3); note(); },
        [&] { observer_->dispatch(2, 4); },
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(accepted.count(), 1);
    const std::vector<std::pair<QString, int>> expected = {
        {"Closing Current Connection", -1}, {"Current Connection Closed", 0}, {"Opening Port", 1},
        {"Opening Port Succeeded", 2}, {"Initializing", 3}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(dialog.isActive());

    const QString label = dialog.labelText();
    observer_->dispatch(2, 4);
    observer_->dispatch(2, 2);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(dialog.labelText(), label);
}

TEST_F(ConnectingProgressTest, StatesBeforeExecAndOutOfRangeAreIgnored) {
    ConnectingProgress dialog(nullptr, observer_, 60000);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    observer_->dispatch(2, 2);
    observer_->dispatch(2, 4);
    EXPECT_TRUE(dialog.labelText().isEmpty());
    EXPECT_EQ(accepted.count(), 0);

    QString afterBad;
    const int result = runWith(dialog, {
        [&] { dialog.onWorkingStatus(6); dialog.onWorkingStatus(-1); afterBad = dialog.labelText(); },
        [&] { dialog.onWorkingStatus(4); },
    });
    EXPECT_TRUE(afterBad.isEmpty());
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(ConnectingProgressTest, TimeoutCancelsARunningDialog) {
    ConnectingProgress dialog(nullptr, observer_, 50);
    QSignalSpy canceled(&dialog, &QProgressDialog::canceled);
    const int result = dialog.exec();  // nothing answers: the timeout ends it
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_FALSE(dialog.isActive());
}

TEST_F(ConnectingProgressTest, AbortCancelsOnlyWhileActive) {
    ConnectingProgress dialog(nullptr, observer_, 60000);
    QSignalSpy canceled(&dialog, &QProgressDialog::canceled);
    dialog.abort();
    EXPECT_EQ(canceled.count(), 0);
    const int result = runWith(dialog, {[&] { dialog.abort(); }});
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(canceled.count(), 1);
    dialog.abort();
    EXPECT_EQ(canceled.count(), 1);
}

// A timer left from the construction or an earlier run can neither cut a
// later run short nor cancel a dialog that was already accepted.
TEST_F(ConnectingProgressTest, TimeoutRestartsAtExecAndStopsWhenDone) {
    ConnectingProgress dialog(nullptr, observer_, 1000);
    QSignalSpy canceled(&dialog, &QProgressDialog::canceled);
    QTest::qWait(800);  // most of the first period is gone before exec
    bool activeLater = false;
    const int result = runWith(dialog, {
        [&] { QTest::qWait(400); activeLater = dialog.isActive(); },  // past the construction period
        [&] { observer_->dispatch(2, 4); },
    });
    EXPECT_TRUE(activeLater);
    EXPECT_EQ(result, QDialog::Accepted);
    QTest::qWait(1200);  // longer than the timeout: nothing fires after the end
    EXPECT_EQ(canceled.count(), 0);
}

// The base class's minimum-duration timer would show the dialog by itself;
// it is seen only between exec and the end of the attempt.
TEST_F(ConnectingProgressTest, ShownOnlyWhileAnAttemptRuns) {
    ConnectingProgress dialog(nullptr, observer_, 60000);
    dialog.setMinimumDuration(100);  // re-arms the base's timer, as a value at the minimum does
    QTest::qWait(300);
    EXPECT_FALSE(dialog.isVisible());
    bool visibleDuring = false;
    runWith(dialog, {
        [&] { visibleDuring = dialog.isVisible(); },
        [&] { observer_->dispatch(2, 4); },
    });
    EXPECT_TRUE(visibleDuring);
    dialog.setValue(dialog.minimum());  // re-arms it after the attempt
    QTest::qWait(300);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
