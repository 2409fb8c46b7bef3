#include "program/Application.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

// The GUI tests run the program's own application object on the offscreen
// platform, under a German locale: numbers the program shows must not take
// its decimal comma.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    Application app(argc, argv);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        std::fprintf(stderr, "test_program_gui: the locale de_DE.UTF-8 is not available on this machine\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
