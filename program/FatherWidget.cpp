#include "program/FatherWidget.h"

#include "program/DeviceManager.h"
#include "program/MenuManager.h"
#include "program/pages/Connect.h"
#include "program/pages/DataChain.h"
#include "program/pages/Callsign.h"
#include "program/pages/InlayNet.h"
#include "program/pages/Info.h"
#include "program/pages/RadioChannelWidget.h"
#include "program/pages/ServerConfig.h"
#include "program/pages/ServerPages.h"
// Receiver work: static recording, RTK, NMEA output.
#include "program/pages/Output.h"
#include "program/pages/RTK.h"
#include "program/pages/Static.h"
#include "ui_FatherWidget.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

// The room beside a soft key's text, on each side.
constexpr int kKeyTextMargin = 3;

}  // namespace

FatherWidget::FatherWidget(QWidget* parent) : Widget(parent), ui_(new Ui::FatherWidget) {
    ui_->setupUi(this);
    setWindowFlags((windowFlags() | Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                     Qt::WindowContextHelpButtonHint));

    auto* pageLayout = new QHBoxLayout(ui_->widget);
    pageLayout->setContentsMargins(2, 2, 2, 2);

    menu_ = new MenuManager(this);
    connect(menu_, &MenuManager::command, this, &FatherWidget::onCommand);
    stack_.push_back(menu_);
    showPage(menu_);

    // Pages that later parts of the program bring join the registry here,
    // in this order: APNConfig,
    // ServerConfig, Add, Detail, RadioChannel, Callsign.
    registerPage(QStringLiteral("Connection"), new Connect(this));
    registerPage(QStringLiteral("Info"), new Info(this));
    // Receiver work: static recording, RTK, NMEA output.
    registerPage(QStringLiteral("Static"), new Static(this));
    registerPage(QStringLiteral("RTK"), new RTK(this));
    registerPage(QStringLiteral("0183OutPut"), new Output(this));
    // The correction data link; it asks for the call sign page itself.
    auto* dataLink = new DataChain(this);
    registerPage(QStringLiteral("DataLink"), dataLink);
    connect(dataLink, &DataChain::command, this, &FatherWidget::onCommand);
    // Modem dial-up settings and the correction servers.
    registerPage(QStringLiteral("APNConfig"), new InlayNet(this));
    auto* servers = new ServerConfig(this);
    registerPage(QStringLiteral("ServerConfig"), servers);
    registerPage(QStringLiteral("Add"), new ServerConfig_Add(this));
    registerPage(QStringLiteral("Detail"), new ServerDetail(this));
    // The server list asks for the add and detail pages itself.
    connect(servers, &ServerConfig::command, this, &FatherWidget::onCommand);
    // The radio channel table.
    registerPage(QStringLiteral("RadioChannel"), new RadioChannelWidget(this));
    registerPage(QStringLiteral("Callsign"), new Callsign(this));

    for (int i = 0; i < kSoftKeys; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("softKey%1").arg(i));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->hide();
        ui_->toolLayout->addWidget(button, 0, Qt::AlignLeft);
        softKeys_[size_t(i)] = button;
    }

    for (Widget* page : std::as_const(registrationOrder_)) page->hide();
    // The menu offers only what has a page.
    menu_->setAvailablePages(registry_.keys());
    setUpVariant();
}

FatherWidget::~FatherWidget() {
    tearDownVariant();
    detachSoftKeys();
    // The Info page goes last: its destructor ends the program's device
    // access, which no page deleted after it may reach again.
    Widget* info = registry_.value(QStringLiteral("Info"), nullptr);
    stack_.clear();
    lastHidden_ = nullptr;
    delete menu_;
    menu_ = nullptr;
    for (Widget* page : std::as_const(registrationOrder_))
        if (page != info) delete page;
    delete info;
    registry_.clear();
    registrationOrder_.clear();
    delete ui_;
}

void FatherWidget::registerPage(const QString& command, Widget* page) {
    registry_.insert(command, page);
    registrationOrder_.push_back(page);
}

QToolButton* FatherWidget::softKey(int index) const {
    return index >= 0 && index < kSoftKeys ? softKeys_[size_t(index)] : nullptr;
}

QString FatherWidget::title() const { return ui_->WindowTitle->text(); }

QString FatherWidget::versionTitle() {
    return QStringLiteral("Brantor-v%1.%2.%3.%4").arg(1).arg(0).arg(1).arg(608);
}

void FatherWidget::onCommand(const QString& name) {
    Widget* next = registry_.value(name, nullptr);
    // A page already on the stack is on screen or waits below it; asking for
    // it again would put it twice on the stack.
    if (!next || stack_.contains(next)) return;
    hideCurrentPage();
    showPage(next);
    stack_.push_back(next);
}

void FatherWidget::showPage(Widget* page) {
    if (!page) return;
    beforeShowingPage();
    if (lastHidden_) page->setParams(lastHidden_->params);
    page->refresh();

    const QList<QAction*> actions = softKeyActions(page);
    const int shown = std::min<int>(kSoftKeys, int(actions.size()));
    const int keyHeight = int(height() * 0.08);
    for (int i = 0; i < shown; ++i) {
        QToolButton* button = softKeys_[size_t(i)];
        if (!button) continue;
        button->setDefaultAction(actions[i]);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFixedHeight(keyHeight);
        // A row of six keys shares the 240-pixel window: a key may be as
        // narrow as its text, rather than the row widening the window.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * kKeyTextMargin);
        button->show();
    }
    if (shown >= 1 && shown <= kSoftKeys - 1 && softKeys_[0]) {
        filler_ = new QLabel(this);
        filler_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        ui_->toolLayout->insertWidget(1, filler_);
    }

    ui_->widget->layout()->addWidget(page);
    page->show();

    const QString title = page->windowTitle();
    ui_->WindowTitle->setText(title.isEmpty() ? versionTitle() : title);
}

void FatherWidget::detachSoftKeys() {
    if (filler_) {
        ui_->toolLayout->removeWidget(filler_);
        delete filler_;
        filler_ = nullptr;
    }
    for (QToolButton* button : softKeys_) {
        if (!button) continue;
        if (QAction* action = button->defaultAction()) button->removeAction(action);
        button->hide();
    }
}

void FatherWidget::hideCurrentPage() {
    if (stack_.isEmpty()) return;
    detachSoftKeys();
    Widget* top = stack_.last();
    lastHidden_ = top;
    top->hide();
    ui_->widget->layout()->removeWidget(top);
}

void FatherWidget::closeEvent(QCloseEvent* event) {
    if (stack_.size() >= 2) {
        Widget* top = stack_.last();
        if (top->close()) {
            hideCurrentPage();
            stack_.pop_back();
            showPage(stack_.last());
        }
        event->ignore();
        return;
    }
    // The program ends: the receiver is let go first, so that no device
    // thread still runs when the pages and the device access are deleted.
    if (DeviceManager* manager = DeviceManager::existing()) {
        const int state = manager->connectionState();
        if (state != 0) manager->disconnectDevice();
    }
    event->accept();
}
