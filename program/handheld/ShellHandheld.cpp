// The handheld build's side of the shell: the main window runs full screen,
// hides the system's keyboard button while it lives, offers the "SIP" soft
// key on every page that writes settings, keeps the focused field above the
// soft keyboard by lifting the page area, and keeps message boxes on the
// screen.

#include "platform/SoftInput.h"
#include "program/FatherWidget.h"
#include "program/handheld/MessageBoxFit.h"
#include "program/handheld/SoftKeyboard.h"
#include "ui_FatherWidget.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

void FatherWidget::setUpVariant() {
    sip_ = new QAction(tr("SIP"), this);
    connect(sip_, &QAction::triggered, this, &FatherWidget::onSip);
    scrollOffset_ = 0;

    // The work area changes with the keyboard and with the screens.
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i)
        connect(screens[i], &QScreen::availableGeometryChanged, this, [this, i] { desktopResized(i); });
    softInput_ = platform::CurrentSoftInputBackend();
    QPointer<FatherWidget> self(this);
    workAreaListener_ = softInput_->AddWorkAreaListener([self] {
        // Delivered through the event loop, as the system's own
        // work-area message is; dropped when the window is gone.
        if (FatherWidget* window = self.data())
            QMetaObject::invokeMethod(window, [window] { window->desktopResized(0); }, Qt::QueuedConnection);
    });

    SoftKeyboard::setTaskBarButtonVisible(false);
    messageBoxFit_ = new MessageBoxFit(this);
    qApp->installEventFilter(messageBoxFit_);
}

void FatherWidget::tearDownVariant() {
    if (messageBoxFit_) qApp->removeEventFilter(messageBoxFit_);
    delete messageBoxFit_;
    messageBoxFit_ = nullptr;
    SoftKeyboard::setTaskBarButtonVisible(true);
    if (softInput_) softInput_->RemoveWorkAreaListener(workAreaListener_);
    workAreaListener_ = 0;
}

QList<QAction*> FatherWidget::softKeyActions(Widget* page) const {
    QList<QAction*> keys = page->actions();
    if (sip_ && page->writesSettings()) keys.push_back(sip_);
    return keys;
}

void FatherWidget::beforeShowingPage() {
    if (stack_.size() < 2) SoftKeyboard::show(false);
    // The new page is laid out afresh in the page area; a lift made for the
    // page before no longer applies to it.
    scrollOffset_ = 0;
}

void FatherWidget::showFullScreenSized() {
    showFullScreen();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->geometry();
        setMinimumSize(geometry.right() - geometry.left() + 1, geometry.bottom() - geometry.top() + 1);
    }
}

void FatherWidget::onSip() { SoftKeyboard::show(!SoftKeyboard::isShown()); }

void FatherWidget::desktopResized(int screen) {
    if (screen != 0) return;
    if (SoftKeyboard::isShown()) {
        scrollFocusIntoView();
        return;
    }
    if (scrollOffset_ != 0) {
        ui_->widget->scroll(0, -scrollOffset_);
        // Moved back: a further change of the work area must not move the
        // page area again.
        scrollOffset_ = 0;
    }
}

void FatherWidget::scrollFocusIntoView() {
    const int bottom = SoftKeyboard::workAreaBottom(0);
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !ui_->widget->isAncestorOf(focus)) return;
    QWidget* parent = focus->parentWidget();
    const int y = parent->mapToGlobal(QPoint(0, focus->geometry().bottom())).y();
    if (y > bottom) {
        const int lift = bottom - y;
        ui_->widget->scroll(0, lift);
        // Added to a lift already made, so that closing the keyboard moves
        // the page area back by all of it.
        scrollOffset_ += lift;
    }
}

void FatherWidget::setScreenAreaSource(std::function<QRect(int)> source) {
    SoftKeyboard::setScreenAreaSource(std::move(source));
}

void Widget::hideSipButton() { SoftKeyboard::setTaskBarButtonVisible(false); }

void Widget::showSipButton() { SoftKeyboard::setTaskBarButtonVisible(true); }
