#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>

// The start-up order, top to bottom; nothing is saved at shutdown, since every setting and
// every database change is written the moment it is made.
int main(int argc, char *argv[])
{
    Startup::enableHighDpiScaling();
    QApplication app(argc, argv);
    Startup::setApplicationVersion();

    Startup::endRecorder();
    Startup::registerFonts();

    // Style: the "--z-font-weight" theme variable, the style files and the light and dark
    // themes are registered here (StyleHelper); the theme in use is chosen by the window.

    // Interface language: chosen here from "Settings.xml" or the system (LanguageContext).

    if (Startup::refuseRunningCopies())
        return 0;

    // The application model (KestaModel) is created here: before the window, destroyed after it.

    MainWindow window;
    if (!window.initialize())
        return 0;
    return app.exec();
}
