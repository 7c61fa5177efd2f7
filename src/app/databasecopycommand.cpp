#include "app/databasecopycommand.h"

#include "app/rolegate.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/care/databasecopy.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/storage/sqldialect.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/settingslocation.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace
{

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputs("\n", stream);
}

// Typed at the terminal without being shown; empty when there is no terminal.
QString readPassword(const QString &question)
{
    if (!isatty(STDIN_FILENO))
        return QString();
    std::fputs((question + QStringLiteral(": ")).toLocal8Bit().constData(), stderr);
    termios before {};
    tcgetattr(STDIN_FILENO, &before);
    termios hidden = before;
    hidden.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSANOW, &before);
    std::fputs("\n", stderr);
    return QString::fromLocal8Bit(line.c_str());
}

} // namespace

QAction *DatabaseCopyCommand::makeAction(Database *database, QWidget *window)
{
    if (!database || !database->location().isServer())
        return nullptr;
    auto *action = new QAction(tr("Copy local database to server"), window);
    action->setObjectName(QStringLiteral("actionCopyDatabaseToServer"));
    StyleHelper::Instance()->setMenuActionIcon(
        action, QStringLiteral(":/icons/folder-open.svg"), QStringLiteral("#FFF"));
    QObject::connect(action, &QAction::triggered, window, [window, database] { run(window, database); });
    return action;
}

QString DatabaseCopyCommand::localDatabaseFile()
{
    // The data folder before DataFolder named the share: the platform's own.
    const QString shared = DataLocations::dataFolder();
    DataLocations::setDataFolder(QString());
    const QString local = DataLocations::databaseFile();
    DataLocations::setDataFolder(shared);
    return local;
}

void DatabaseCopyCommand::run(QWidget *window, Database *database)
{
    if (!RoleGate::permits(database, ServerRoles::Action::MoveIn))
        return;
    const QString file = FileDialog::openFileName(window, tr("Copy local database to server"),
        localDatabaseFile(), tr("SQLite database (*.sqlite)"));
    if (file.isEmpty())
        return;
    if (!AppHelper::confirmDialog(tr("Copy local database to server"),
            tr("Copy the patients of %1 onto the server %2, and their recordings into %3? The file "
               "and its folder stay as they are.")
                .arg(QDir::toNativeSeparators(file), database->location().describe(),
                    QDir::toNativeSeparators(DataLocations::dataFolder()))))
        return;
    QString report;
    const bool copied = DatabaseCopy::copy(file, database, &report, QFileInfo(file).absolutePath());
    if (copied)
        database->reloadPatients();
    AppHelper::warningMessage(
        report, tr("Copy local database to server"), copied ? MessageBox::Information : MessageBox::Warning);
}

int DatabaseCopyCommand::runFromCommandLine(const QString &settingsFile, const QString &given)
{
    KestaSettings settings(settingsFile);
    settings.reload();
    DataLocations::setDataFolder(settings.getDataFolder());
    const QString file = given.isEmpty() ? localDatabaseFile() : given;
    const DatabaseLocation location = settings.databaseLocation(file);
    if (!location.isServer()) {
        print(stderr,
            tr("No database server is set: set ServerHost in %1").arg(QDir::toNativeSeparators(QFileInfo(settingsFile).absoluteFilePath())));
        return 2;
    }
    PatientDatabase target(location);
    QString reason;
    if (!signIn(&target, &reason)) {
        print(stderr, location.describe() + QStringLiteral(": ") + reason);
        return 1;
    }
    QString report;
    const bool copied = DataLocations::prepareFolders()
        && DatabaseCopy::copy(file, &target, &report, QFileInfo(file).absolutePath());
    if (report.isEmpty())
        report = tr("%1 cannot be made").arg(QDir::toNativeSeparators(DataLocations::patientsFolder()));
    print(copied ? stdout : stderr, report);
    return copied ? 0 : 1;
}

bool DatabaseCopyCommand::signIn(Database *target, QString *reason)
{
    if (target->isUsable(reason))
        return true;
    if (!target->dialect().needsPassword(*reason))
        return false;
    const QString password = readPassword(tr("Password of %1").arg(target->location().describe()));
    if (password.isEmpty()) {
        *reason += QLatin1Char('\n') + tr("Give the password in ~/.pgpass, or type it at a terminal.");
        return false;
    }
    target->setPassword(password);
    return target->isUsable(reason);
}
