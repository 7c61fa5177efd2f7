#include "db/storage/patientdatabase.h"

#include "db/storage/editconflict.h"
#include "db/storage/liveupdates.h"
#include "db/storage/patientidkeys.h"
#include "db/storage/patientstore.h"
#include "db/storage/schemamigrations.h"
#include "db/storage/serverroles.h"
#include "db/storage/sqldialect.h"

PatientDatabase::PatientDatabase(const DatabaseLocation &location, QObject *parent)
    : Database(location, parent)
{
    attachAll();
}

PatientDatabase::PatientDatabase(
    const DatabaseLocation &location, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : Database(location, std::move(dialect), parent)
{
    attachAll();
}

PatientDatabase::PatientDatabase(const QString &filePath, QObject *parent)
    : Database(filePath, parent)
{
    attachAll();
}

PatientDatabase::PatientDatabase(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : Database(filePath, std::move(dialect), parent)
{
    attachAll();
}

void PatientDatabase::attachAll()
{
    // Where other workstations write too, their changes are shown here.
    if (!dialect().notificationChannel().isEmpty())
        new LiveUpdates(this);
    // The role decides whether the layout may be changed, so it is read first.
    if (dialect().sharedByWorkstations())
        ServerRoles::attach(this);
    SchemaMigrations::attach(this);
    PatientIdKeys::attach(this);
    EditConflict::attach(this);
    setPatientIdWriter([this](Patient *patient, const QString &previous, QString *reason) {
        return PatientStore(this).changeId(patient, previous, reason);
    });
}
