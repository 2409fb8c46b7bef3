#include "program/pages/DataChain_Radio.h"

#include <QApplication>
#include <QMouseEvent>

void DataChain_Radio::mousePressEvent(QMouseEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    if (focused && isAncestorOf(focused)) focused->clearFocus();
    Widget::mousePressEvent(event);
}
