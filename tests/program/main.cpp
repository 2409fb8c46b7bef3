#ifdef BRANTOR_TEST_WITHOUT_WIDGETS
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

// The program's tests run with an application object on the offscreen
// platform (a QCoreApplication for the part without windows) and under a
// German locale, where a number written through the C library would carry a
// decimal comma: everything the settings files hold must not.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    TestApplication app(argc, argv);
    // The application object takes the locale from the environment; set it
    // again so that a missing locale shows here and not as a quietly passing
    // test.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        std::fprintf(stderr, "%s: the locale de_DE.UTF-8 is not available on this machine\n", argv[0]);
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
