#include "program/handheld/MessageBoxFit.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QWidget>

#include <algorithm>

MessageBoxFit::MessageBoxFit(QWidget* window) : QObject(window), window_(window) {}

void MessageBoxFit::fit(QMessageBox* box, const QRect& area) {
    if (!box || area.isEmpty()) return;
    const QRect frame = box->frameGeometry();
    const int decoration = frame.width() - box->width();
    if (frame.width() > area.width()) {
        // Word-wrapped text takes the width there is; the buttons keep
        // theirs.
        for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"})
            if (auto* label = box->findChild<QLabel*>(QLatin1String(name))) label->setWordWrap(true);
        const int width = std::max(1, area.width() - decoration);
        QLayout* layout = box->layout();
        int height = box->height();
        if (layout) {
            layout->activate();
            height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                 : layout->totalMinimumSize().height();
        }
        box->setFixedSize(width, height);
    }
    // Over the window, inside it.
    const QRect now = box->frameGeometry();
    const int x = area.left() + std::max(0, (area.width() - now.width()) / 2);
    const int y = area.top() + std::max(0, (area.height() - now.height()) / 2);
    if (!area.contains(now)) box->move(x, y);
}

bool MessageBoxFit::eventFilter(QObject* object, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::LayoutRequest) || !window_ || !window_->isVisible()) return false;
    auto* box = qobject_cast<QMessageBox*>(object);
    if (!box || !box->isVisible()) return false;
    // The box sizes itself for the platform's screen as it is shown and
    // whenever its layout changes; it is fitted right after, before anything
    // is drawn.
    static_cast<QObject*>(box)->event(event);
    fit(box, window_->frameGeometry());
    return true;
}
