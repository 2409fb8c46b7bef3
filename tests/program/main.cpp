#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

// The program's tests run with a QApplication on the offscreen platform and
// under a German locale, where a number written through the C library would
// carry a decimal comma: everything the settings files hold must not.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    QApplication app(argc, argv);
    // QApplication takes the locale from the environment; set it again so
    // that a missing locale shows here and not as a quietly passing test.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        std::fprintf(stderr, "test_program: the locale de_DE.UTF-8 is not available on this machine\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
