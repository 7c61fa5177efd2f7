#include "app/serversetupcommand.h"

#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/storage/databasesupport.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/serverroles.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace
{

void print(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

QString ServerSetupCommand::script()
{
    return QStringLiteral(
               "-- Kesta's roles on a clinic's server. Run it as a superuser in Kesta's database,\n"
               "-- e.g. kesta --server-setup | sudo -u postgres psql -v ON_ERROR_STOP=1 -1 kesta\n"
               "-- Running it again changes nothing; it keeps every row.\n\n")
        + ServerRoles::setupStatements().join(QStringLiteral(";\n\n")) + QStringLiteral(";\n");
}

int ServerSetupCommand::runFromCommandLine(const QString &settingsFile, bool apply)
{
    if (!apply) {
        print(stdout, script());
        return 0;
    }
    KestaSettings settings(settingsFile);
    settings.reload();
    DataLocations::setDataFolder(settings.getDataFolder());
    const DatabaseLocation location = settings.databaseLocation(DataLocations::databaseFile());
    if (!location.isServer()) {
        print(stderr,
            tr("No database server is set: set ServerHost in %1")
                .arg(QDir::toNativeSeparators(QFileInfo(settingsFile).absoluteFilePath())));
        return 2;
    }
    // Not made usable: its layout may be older, which the administrator's
    // next start brings forward.
    PatientDatabase server(location);
    QSqlDatabase db = server.database();
    QString reason = DatabaseSupport::reasonOf(db.lastError());
    bool done = db.isOpen() && db.transaction();
    for (const QString &statement : ServerRoles::setupStatements()) {
        QSqlQuery query(db);
        if (done && !server.exec(query, statement)) {
            done = false;
            reason = DatabaseSupport::reasonOf(query.lastError());
        }
    }
    if (done && !db.commit()) {
        done = false;
        reason = DatabaseSupport::reasonOf(db.lastError());
    }
    if (!done) {
        if (db.isOpen())
            db.rollback();
        print(stderr,
            tr("The roles were not set up on %1, nothing was changed: %2").arg(location.describe(), reason));
        return 1;
    }
    print(stdout,
        tr("The roles are set up on %1. Start Kesta once as the administrator if its layout is older.")
            .arg(location.describe()));
    return 0;
}
