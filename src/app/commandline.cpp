#include "app/commandline.h"

#include "app/backupcommandline.h"
#include "app/databasecopycommand.h"
#include "app/importcommand.h"
#include "app/serversetupcommand.h"
#include "app/startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace
{

constexpr int WrongCommandLine = 2;

// The mode's own options are BackupCommandLine's.
const QString BackupOption = QStringLiteral("backup");
const QCommandLineOption CopyOption(QStringLiteral("copy-database-to-server"),
    QStringLiteral("Copies a local database (FILE, or the data folder's) onto the server the "
                   "settings name."));
const QCommandLineOption SetupOption(QStringLiteral("server-setup"),
    QStringLiteral("Prints the SQL that sets up Kesta's roles on the server (for psql, as a superuser)."));
const QCommandLineOption ApplyOption(QStringLiteral("apply"),
    QStringLiteral("With --server-setup: runs it on the server the settings name, as their account."));

// The options the window's application object takes (QGuiApplication, QApplication).
const QStringList QtWindowOptions { QStringLiteral("platform"), QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"), QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowtitle"), QStringLiteral("qwindowicon"), QStringLiteral("reverse"),
    QStringLiteral("session"), QStringLiteral("style"), QStringLiteral("stylesheet"),
    QStringLiteral("widgetcount"), QStringLiteral("display"), QStringLiteral("geometry"),
    QStringLiteral("title"), QStringLiteral("name"), QStringLiteral("nograb"), QStringLiteral("dograb"),
    QStringLiteral("sync"), QStringLiteral("qmljsdebugger") };

const QCommandLineOption HelpOption({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Shows this help."));
const QCommandLineOption VersionOption(
    { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("Shows the version."));

// The options of every mode. Qt's own help and version options are not used: they end
// the program themselves, and the help's --help-all offers Qt's options, which only the
// window takes.
void setUp(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("The patient database of an EEG workstation. "
                                                    "Without options it opens its window. See kesta(1)."));
    parser.addOptions(BackupCommandLine::options());
    parser.addOption(CopyOption);
    parser.addOptions(ImportCommand::options());
    parser.addOption(SetupOption);
    parser.addOption(ApplyOption);
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("With --copy-database-to-server: the database to copy."),
        QStringLiteral("[FILE]"));
    parser.addOption(HelpOption);
    parser.addOption(VersionOption);
}

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

QStringList CommandLine::arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine::Parsed CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    setUp(parser);
    Parsed parsed;
    const bool understood = parser.parse(arguments.isEmpty() ? QStringList { QString() } : arguments);
    const QStringList positional = parser.positionalArguments();
    QList<Mode> modes;
    if (parser.isSet(BackupOption))
        modes << Mode::Backup;
    if (parser.isSet(CopyOption))
        modes << Mode::CopyDatabaseToServer;
    if (parser.isSet(QStringLiteral("import")))
        modes << Mode::Import;
    if (parser.isSet(SetupOption))
        modes << Mode::ServerSetup;
    if (parser.isSet(HelpOption))
        modes << Mode::Help;
    if (parser.isSet(VersionOption))
        modes << Mode::Version;
    parsed.mode = modes.value(0, Mode::Window);
    // Only the backup's options take a value: an error that names no unknown option is
    // their missing one.
    if (!understood && modes.isEmpty() && parser.unknownOptionNames().isEmpty())
        parsed.mode = Mode::Backup;
    // The backup's or the import's other options without their mode.
    if (understood && modes.isEmpty() && parser.optionNames().size() > 0)
        parsed.mode = Mode::Help;
    // An option that is not Qt's is refused before a window needs a display (a mistyped
    // mode in a nightly job has none).
    const auto isQtOption = [](const QString &name) { return QtWindowOptions.contains(name); };
    if (!understood && modes.isEmpty()
        && !std::all_of(parser.unknownOptionNames().cbegin(), parser.unknownOptionNames().cend(), isQtOption))
        parsed.mode = Mode::Help;
    if (!understood)
        parsed.error = parser.errorText();
    else if (modes.size() > 1)
        parsed.error = QStringLiteral(
            "Give one of --backup, --copy-database-to-server, --server-setup, --import, --help, --version.");
    else if (parser.isSet(ApplyOption) && parsed.mode != Mode::ServerSetup)
        parsed.error = QStringLiteral("--apply goes with --server-setup.");
    else if (parsed.mode == Mode::Help && !parser.isSet(HelpOption))
        parsed.error = QStringLiteral("--encrypt-to and --overwrite go with --backup; --data-folder, --mapping, "
                                      "--duplicates and --dry-run with --import.");
    else if (parsed.mode == Mode::Backup && parser.values(BackupOption).size() > 1)
        parsed.error = QStringLiteral("Give --backup once.");
    else if (positional.size() > (parsed.mode == Mode::CopyDatabaseToServer ? 1 : 0))
        parsed.error = QStringLiteral("Unexpected argument: ") + positional.constLast();
    parsed.arguments = arguments;
    parsed.apply = parser.isSet(ApplyOption);
    if (parsed.mode == Mode::Backup)
        parsed.file = parser.value(BackupOption);
    else if (parsed.mode == Mode::CopyDatabaseToServer)
        parsed.file = positional.value(0);
    return parsed;
}

int CommandLine::refuse(const QString &error)
{
    QCommandLineParser parser;
    setUp(parser);
    print(stderr, error + QLatin1String("\n\n") + parser.helpText());
    return WrongCommandLine;
}

int CommandLine::runWithoutWindow(const Parsed &parsed, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Startup::setApplicationVersion();
    if (!parsed.error.isEmpty())
        return refuse(parsed.error);
    switch (parsed.mode) {
    case Mode::Help: {
        QCommandLineParser parser;
        setUp(parser);
        print(stdout, parser.helpText());
        return 0;
    }
    case Mode::Version:
        print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()
                + QLatin1Char('\n'));
        return 0;
    case Mode::Backup: {
        QCommandLineParser parser;
        setUp(parser);
        parser.parse(parsed.arguments);
        // Its KestaModel reads the file Startup::bootstrapSettings names (SettingsLocation).
        return BackupCommandLine::run(parser);
    }
    case Mode::CopyDatabaseToServer: {
        const QString settingsFile = Startup::bootstrapSettings();
        Startup::useLanguageOf(settingsFile);
        return DatabaseCopyCommand::runFromCommandLine(settingsFile, parsed.file);
    }
    case Mode::Import: {
        QCommandLineParser parser;
        setUp(parser);
        parser.parse(parsed.arguments);
        const QString settingsFile = Startup::bootstrapSettings();
        Startup::useLanguageOf(settingsFile);
        return ImportCommand::run(settingsFile, parser);
    }
    case Mode::ServerSetup:
        return ServerSetupCommand::runFromCommandLine(Startup::bootstrapSettings(), parsed.apply);
    case Mode::Window:
        break;
    }
    return refuse(QStringLiteral("The window is not opened here."));
}
