#include "program/Application.h"
#include "program/FatherWidget.h"

int main(int argc, char** argv) {
    int result = 0;
    {
        Application app(argc, argv);
        app.init();
        auto* window = new FatherWidget();
#ifdef BRANTOR_HANDHELD
        window->showFullScreenSized();
#else
        window->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        window->show();
#endif
        result = app.exec();
        // The window and its pages go before the application object.
        delete window;
    }
    return result;
}
