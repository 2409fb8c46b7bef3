// The layout check the page tests share: every label, field and button shown
// on a page lies inside its area, is at least as large as its text needs and
// overlaps no other. With BRANTOR_SCREENSHOT_DIR set, each view checked is
// also saved there as a PNG for a person to look at.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QRect>
#include <QScrollArea>
#include <QString>
#include <QTableWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace layoutcheck {

using IsLeafFn = bool (*)(QWidget*);

// What a user reads or works with on a form: labels, fields, buttons, lists,
// tables and scrolled areas (whose rows are checked among themselves);
// other containers are left out.
inline bool IsFormLeaf(QWidget* w) {
    return qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractButton*>(w) || qobject_cast<QListWidget*>(w) || qobject_cast<QTableWidget*>(w) ||
           qobject_cast<QScrollArea*>(w);
}

struct Rules {
    int checkBoxRoom = 0;      // the width a check box needs for its box
    bool comboText = false;    // a combo box must show its current text whole
};

// The visible leaves under `root`, not looking into leaves (a combo box's own
// view, a table's corner button, a scroll area's rows).
inline QList<QWidget*> Leaves(QWidget* root, IsLeafFn isLeaf) {
    QList<QWidget*> leaves;
    const QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisibleTo(root) || !isLeaf(w)) continue;
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
            if (isLeaf(p)) inner = true;
        if (!inner) leaves.push_back(w);
    }
    return leaves;
}

// Rectangles are compared in `window`'s coordinates.
inline void CheckLeaves(QWidget* window, const QList<QWidget*>& leaves, const QRect& area, const std::string& name,
                        Rules rules = {}) {
    for (QWidget* w : leaves) {
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        auto* button = qobject_cast<QAbstractButton*>(w);
        const std::string what =
            name + " " + w->objectName().toStdString() + (button ? " " + button->text().toStdString() : std::string());
        EXPECT_TRUE(area.contains(r)) << what << " lies outside its area";
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
        if (button) text = button->text();
        if (auto* box = qobject_cast<QComboBox*>(w); box && rules.comboText) text = box->currentText();
        if (!text.isEmpty()) {
            const int extra = qobject_cast<QCheckBox*>(w) ? rules.checkBoxRoom : 0;
            EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(text) + extra) << what << " is cut";
            EXPECT_GE(w->height(), w->fontMetrics().height()) << what << " is cut";
        }
        for (QWidget* other : leaves) {
            if (other <= w) continue;
            const QRect o(other->mapTo(window, QPoint(0, 0)), other->size());
            EXPECT_FALSE(r.intersects(o)) << what << " overlaps " << other->objectName().toStdString();
        }
    }
}

inline void SaveScreenshot(QWidget* view, const QString& name) {
    const QByteArray dir = qgetenv("BRANTOR_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    view->grab().save(QStringLiteral("%1/%2-%3x%4.png")
                          .arg(QString::fromLocal8Bit(dir), name)
                          .arg(view->width())
                          .arg(view->height()));
}

// The page shown in `window`: inside the window, with at least one leaf, and
// its leaves checked; the rows of a scrolled area are checked among
// themselves inside its contents, which fit its width (no sideways
// scrolling). Returns the leaves for further checks.
inline QList<QWidget*> CheckPage(QWidget* window, QWidget* page, IsLeafFn isLeaf, const QString& name,
                                 Rules rules = {}) {
    QApplication::processEvents();
    const QRect area(page->mapTo(window, QPoint(0, 0)), page->size());
    EXPECT_TRUE(window->rect().contains(area)) << name.toStdString();
    const QList<QWidget*> leaves = Leaves(page, isLeaf);
    EXPECT_FALSE(leaves.isEmpty()) << name.toStdString();
    CheckLeaves(window, leaves, area, name.toStdString(), rules);
    for (QWidget* w : leaves) {
        auto* scroll = qobject_cast<QScrollArea*>(w);
        if (!scroll || !scroll->widget()) continue;
        const QRect inner(scroll->widget()->mapTo(window, QPoint(0, 0)), scroll->widget()->size());
        CheckLeaves(window, Leaves(scroll->widget(), isLeaf), inner, name.toStdString() + " (scrolled)", rules);
        EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width()) << name.toStdString();
    }
    return leaves;
}

// The page `command` names, which `window` (the main window) shows now:
// checked, and saved when asked.
template <typename Window>
void CheckCurrentPage(Window* window, const QString& command, const QString& name) {
    QWidget* page = window->page(command);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(window->currentPage(), page);
    CheckPage(window, page, IsFormLeaf, name);
    SaveScreenshot(window, name);
}

}  // namespace layoutcheck
