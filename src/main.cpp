#include "app/databasecopycommand.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "db/kestamodel.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/style/stylehelper.h"

#include <QApplication>

// The start-up order, top to bottom; nothing is saved at shutdown, since every setting and
// every database change is written the moment it is made.
int main(int argc, char *argv[])
{
    // Moving a local database onto the server needs no window.
    if (DatabaseCopyCommand::requested(argc, argv))
        return DatabaseCopyCommand::runFromCommandLine(argc, argv);
    Startup::enableHighDpiScaling();
    QApplication app(argc, argv);
    Startup::setApplicationVersion();

    Startup::endRecorder();
    // Fonts, style files and both themes; the theme in use is chosen by the window.
    StyleHelper::registerFontsAndStyles();

    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(LanguageContext::startupLanguage(QStringLiteral("Settings.xml")));

    if (Startup::refuseRunningCopies())
        return 0;

    // Before the window, so that it is destroyed after it.
    KestaModel model;

    MainWindow window;
    if (!window.initialize())
        return 0;
    return app.exec();
}
