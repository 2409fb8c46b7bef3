#include "program/Widget.h"

#include "program/CommonHelper.h"

#include <QAction>
#include <QApplication>
#include <QCursor>

Widget::Widget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

Widget::~Widget() { setBusy(false); }

void Widget::refresh() {}

void Widget::setParams(QHash<QString, QVariant>&) {}

bool Widget::writesSettings() const { return false; }

QAction* Widget::createAction(const QString& text, QObject* parent) {
    return attachAction(new QAction(text, parent));
}

QAction* Widget::createAction(const QString& text, const QIcon& icon, QObject* parent) {
    return attachAction(new QAction(icon, text, parent));
}

QAction* Widget::attachAction(QAction* action) {
    if (action) addAction(action);
    return action;
}

void Widget::clearActions() {
    const QList<QAction*> all = actions();
    for (QAction* action : all) {
        removeAction(action);
        action->deleteLater();
    }
}

void Widget::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QApplication::restoreOverrideCursor();
}

void Widget::markField(QWidget* field, int kind) {
    if (field) CommonHelper::setFieldPalette(kind, field);
}
