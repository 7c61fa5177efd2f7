#include "db/care/unsettledwrites.h"

#include "db/care/trash.h"
#include "db/recordings/folderrenamejournal.h"
#include "db/recordings/recordingregistration.h"
#include "db/storage/database.h"

UnsettledWrites::UnsettledWrites(Database *database, RecordingRegistration *registration, QObject *parent)
    : QObject(parent)
    , database(database)
    , registration(registration)
{
    connect(database, &Database::reconnected, this, &UnsettledWrites::settle);
}

QStringList UnsettledWrites::settle()
{
    QStringList done;
    if (!database)
        return done;
    const QString renamed = FolderRenameJournal::recover(database);
    if (!renamed.isEmpty())
        done << renamed;
    const QStringList removals = Trash(database).recoverUnfinished(true);
    done << removals;
    const int registered = registration ? registration->settleUnknown() : 0;
    if (registered > 0)
        done << QStringLiteral("%1 registrations had landed").arg(registered);
    // A removal that landed unbeknown still shows what it removed.
    if (!removals.isEmpty())
        database->reloadPatients();
    return done;
}
