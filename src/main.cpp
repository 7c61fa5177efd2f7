#include "app/backupcommandline.h"
#include "app/databasecopycommand.h"
#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "db/model/kestamodel.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/settingslocation.h"

#include <QApplication>
#include <cstdio>

namespace
{

// Answered before anything starts, so that a shell or a package check can ask without a
// display. Every mode is described in kesta(1).
bool printInformation(int argc, char *argv[])
{
    if (argc != 2)
        return false;
    if (qstrcmp(argv[1], "--version") == 0) {
        Startup::setApplicationVersion();
        std::printf("kesta %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return true;
    }
    if (qstrcmp(argv[1], "--help") == 0) {
        std::printf("Usage: kesta                                   the patient database's window\n"
                    "       kesta --backup FILE                     back up the database and the recordings\n"
                    "       kesta --copy-database-to-server [FILE]  copy a local database onto the server\n"
                    "       kesta --version | --help\n"
                    "See kesta(1).\n");
        return true;
    }
    return false;
}

} // namespace

// The start-up order, top to bottom; nothing is saved at shutdown, since every setting and
// every database change is written the moment it is made.
int main(int argc, char *argv[])
{
    if (printInformation(argc, argv))
        return 0;

    // A nightly job's backup: no window, and a running program is left alone.
    if (BackupCommandLine::isAsked(argc, argv))
        return BackupCommandLine::run(argc, argv);

    // Moving a local database onto the server needs no window.
    if (DatabaseCopyCommand::requested(argc, argv))
        return DatabaseCopyCommand::runFromCommandLine(argc, argv);
    Startup::enableHighDpiScaling();
    QApplication app(argc, argv);
    Startup::setApplicationVersion();

    // Fonts, style files and both themes; the theme in use is chosen by the window.
    StyleHelper::registerFontsAndStyles();

    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(
        LanguageContext::startupLanguage(SettingsLocation::filePath(QStringLiteral("Settings.xml"))));

    // Before the recorder is ended: a running copy's recorder may be recording.
    SingleInstance instance;
    if (Startup::refuseRunningCopies(instance))
        return 0;
    Startup::endRecorder();

    // Before the window, so that it is destroyed after it.
    KestaModel model;
    Startup::keepLanguageInUse(model.settings());

    MainWindow window;
    if (!window.initialize())
        return 0;
    instance.setWindow(&window);
    return app.exec();
}
