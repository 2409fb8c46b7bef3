#pragma once

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;

// Keeps every message box of the program within the handheld's screen, which
// the main window fills. Qt sizes a message box for the screen the platform
// reports, which may be wider than the handheld's 240 pixels (the handheld
// build run on a desktop); a box wider than the main window gets its text
// wrapped to the window's width and is put over the window.
class MessageBoxFit : public QObject {
public:
    explicit MessageBoxFit(QWidget* window);

    // The box, already shown and sized by Qt, made to fit `area` (global
    // coordinates, frame included); nothing when it fits already.
    static void fit(QMessageBox* box, const QRect& area);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};
