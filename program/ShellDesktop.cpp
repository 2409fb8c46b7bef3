// The desktop build's side of the shell: the main window adds nothing to a
// page's soft keys, and there is no soft-keyboard button to hide or show.

#include "program/FatherWidget.h"

#include <QAction>

void FatherWidget::setUpVariant() {}

void FatherWidget::tearDownVariant() {}

QList<QAction*> FatherWidget::softKeyActions(Widget* page) const { return page->actions(); }

void FatherWidget::beforeShowingPage() {}

void Widget::hideSipButton() {}

void Widget::showSipButton() {}
