// The home-screen host: shows the launcher's row as the handheld's home
// screen would, so that it can be seen and tapped on a desktop.
//   TodayHost [path of libtoday.so]   (default: the one beside the host)

#include "today/host/TodayScreen.h"

#include <QApplication>
#include <QMessageBox>

extern "C" __attribute__((visibility("default"))) const today::TodayPlatform* TodayHostPlatform() {
    return &todayhost::QtTodayPlatform();
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString library = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QCoreApplication::applicationDirPath() + QStringLiteral("/libtoday.so");
    int result = 1;
    {
        todayhost::TodayScreen screen;
        QString error;
        if (!screen.loadItem(library, &error)) {
            QMessageBox::critical(nullptr, QStringLiteral("Today"), error);
            return 1;
        }
        screen.show();
        result = app.exec();
    }
    return result;
}
