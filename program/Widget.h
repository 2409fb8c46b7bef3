#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "program/PageRead.h"

class QAction;

// The base of every page shown in the main window, and of the main window
// itself. A page fills `params` for the page shown after it, offers its soft
// keys as its actions, and is refreshed each time it comes on screen.
class Widget : public QWidget {
    Q_OBJECT

public:
    explicit Widget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~Widget() override;

    // Values this page hands to the page shown after it.
    QHash<QString, QVariant> params;

    // Run by the main window each time it shows the page.
    virtual void refresh();
    // Receives the params of the page that was on screen before.
    virtual void setParams(QHash<QString, QVariant>& params);
    // True for pages that write receiver settings (the handheld gives them
    // the soft-keyboard key).
    virtual bool writesSettings() const;

    // Makes a soft key of this page.
    QAction* createAction(const QString& text, QObject* parent);
    QAction* createAction(const QString& text, const QIcon& icon, QObject* parent);
    QAction* attachAction(QAction* action);
    // Removes every soft key and deletes each through the event loop.
    void clearActions();

    // Wait cursor on or off. The page remembers whether it set the cursor,
    // so an unpaired "off" never takes away another page's wait cursor and a
    // second "on" never leaves one behind.
    void setBusy(bool busy);
    bool isBusy() const { return busy_; }

    // Kind 1 invalid input (red), 2 green, 0 normal.
    void markField(QWidget* field, int kind);

    // The handheld's soft-keyboard button; nothing on the desktop.
    void hideSipButton();
    void showSipButton();

protected:
    // The page's read of the receiver: what came and its time limit.
    PageRead& pageRead() { return pageRead_; }
    const PageRead& pageRead() const { return pageRead_; }

private:
    bool busy_ = false;
    PageRead pageRead_;
};
