#pragma once

#include "program/Widget.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

#include <array>
#ifdef BRANTOR_HANDHELD
#include <QRect>

#include <functional>
#include <memory>

namespace platform {
class SoftInputBackend;
}
#endif

class QAction;
class QCloseEvent;
class QLabel;
class QToolButton;
class MenuManager;

namespace Ui {
class FatherWidget;
}

// The main window: a title row, the page area and a row of up to six soft
// keys. Pages are made once and registered under their command names; the
// page stack holds what the user walked through, the main menu at the bottom.
class FatherWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kSoftKeys = 6;

    explicit FatherWidget(QWidget* parent = nullptr);
    ~FatherWidget() override;

    // The page registered under a command, or null.
    Widget* page(const QString& command) const { return registry_.value(command, nullptr); }
    Widget* currentPage() const { return stack_.isEmpty() ? nullptr : stack_.last(); }
    int stackDepth() const { return int(stack_.size()); }
    MenuManager* menu() const { return menu_; }
    QToolButton* softKey(int index) const;
    QString title() const;

    // Registers a page under its command; the window owns it from then on.
    void registerPage(const QString& command, Widget* page);
    void showPage(Widget* page);
    void hideCurrentPage();

    // "Brantor-v1.0.1.608", the title of a page without its own.
    static QString versionTitle();

public slots:
    void onCommand(const QString& name);

#ifdef BRANTOR_HANDHELD
    // --- The handheld's screen: full screen, the "SIP" soft key and the
    // page area kept above the soft keyboard.
public:
    // Full screen, at least as large as the default screen.
    void showFullScreenSized();
    // Lifts the page area so that the focused field stays above the keyboard.
    void scrollFocusIntoView();
    QAction* sipAction() const { return sip_; }
    // How far the page area is lifted now (0 or negative pixels).
    int scrollOffset() const { return scrollOffset_; }
    // Where a screen's available geometry comes from (tests); an empty
    // function restores the screens' own.
    static void setScreenAreaSource(std::function<QRect(int)> source);

public slots:
    void onSip();
    void desktopResized(int screen);

private:
    QAction* sip_ = nullptr;
    int scrollOffset_ = 0;
    std::shared_ptr<platform::SoftInputBackend> softInput_;
    int workAreaListener_ = 0;
    // Keeps message boxes within the handheld's screen.
    QObject* messageBoxFit_ = nullptr;
#endif

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void detachSoftKeys();
    // What each build adds to the window (the desktop adds nothing): set-up
    // at the end of construction, teardown at the start of destruction, the
    // soft keys a page shows, and the step before a page is shown.
    void setUpVariant();
    void tearDownVariant();
    QList<QAction*> softKeyActions(Widget* page) const;
    void beforeShowingPage();

    Ui::FatherWidget* ui_;
    MenuManager* menu_ = nullptr;
    QHash<QString, Widget*> registry_;
    QList<Widget*> registrationOrder_;
    QVector<Widget*> stack_;
    Widget* lastHidden_ = nullptr;
    std::array<QToolButton*, kSoftKeys> softKeys_{};
    QLabel* filler_ = nullptr;
};
