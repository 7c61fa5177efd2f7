#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "db/model/kestamodel.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/buttonmnemonics.h"
#include "toolkit/util/platform.h"

#include <QApplication>

// The start-up order, top to bottom; nothing is saved at shutdown, since every setting and
// every database change is written the moment it is made.
int main(int argc, char *argv[])
{
    Platform::readTimeZoneOnce();
    // The modes without a window (a nightly job's backup, moving a database onto the
    // server, help) leave a running program alone.
    const CommandLine::Parsed commandLine = CommandLine::parse(CommandLine::arguments(argc, argv));
    if (commandLine.mode != CommandLine::Mode::Window)
        return CommandLine::runWithoutWindow(commandLine, argc, argv);
    Startup::enableHighDpiScaling();
    Platform::leaveOutOpenGl();
    QApplication app(argc, argv);
    Startup::setApplicationVersion();
    // Without Qt's own options, which the application object took.
    const QString wrong = CommandLine::parse(app.arguments()).error;
    if (!wrong.isEmpty())
        return CommandLine::refuse(wrong);

    // Fonts, style files and both themes; the theme in use is chosen by the window.
    StyleHelper::registerFontsAndStyles();

    Startup::useLanguageOf(Startup::bootstrapSettings());
    // Every box and dialog from here on, the start's own included.
    ButtonMnemonics::install();

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
