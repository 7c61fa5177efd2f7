// Shows the trace preview of a recording file, or of a demonstration recording written to a
// temporary folder, in the program's theme and language; --grab saves it and quits.

#include "app/tracepreview.h"
#include "recorder/edfrecording.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/style/stylehelper.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the first ten seconds of a recording file."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("An EDF or BDF file (default: a demonstration)."));
    const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("light or dark."),
        QStringLiteral("name"), QStringLiteral("light"));
    const QCommandLineOption language(QStringLiteral("language"),
        QStringLiteral("Interface language (en_US, ru_RU)."), QStringLiteral("code"),
        QStringLiteral("en_US"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Width x height."),
        QStringLiteral("WxH"), QStringLiteral("1000x420"));
    const QCommandLineOption grab(QStringLiteral("grab"),
        QStringLiteral("Save the preview as an image and quit."), QStringLiteral("file"));
    parser.addOptions({ theme, language, size, grab });
    parser.process(app);

    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(parser.value(language));
    StyleHelper::registerFontsAndStyles();
    StyleHelper::Instance()->selectTheme(parser.value(theme));

    QTemporaryDir folder;
    QString path = parser.positionalArguments().value(0);
    if (path.isEmpty()) {
        path = folder.filePath(QStringLiteral("demonstration.edf"));
        const QString failure = EdfRecording::write(path, EdfRecording::scalpLayout(19, 120),
            { QStringLiteral("Ivanova Maria"), QStringLiteral("A-1017"), QDate(1984, 2, 29) },
            QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)), QStringLiteral("Eyes closed"));
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
    }

    TracePreview preview;
    preview.setWindowTitle(path);
    const QStringList dimensions = parser.value(size).split(QLatin1Char('x'));
    preview.resize(dimensions.value(0).toInt(), dimensions.value(1).toInt());
    preview.show();
    preview.setRecordingPath(path);
    if (!parser.isSet(grab))
        return app.exec();

    QEventLoop loop;
    QObject::connect(&preview, &TracePreview::previewReady, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    const bool saved
        = preview.state() != TracePreview::State::Reading && preview.grab().save(parser.value(grab));
    std::printf("%s %s\n", saved ? "Wrote" : "Could not write", qPrintable(parser.value(grab)));
    return saved ? 0 : 1;
}
