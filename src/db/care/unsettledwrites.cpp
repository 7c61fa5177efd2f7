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

void UnsettledWrites::settle()
{
    if (!database)
        return;
    FolderRenameJournal::recover(database);
    const QStringList removals = Trash(database).recoverUnfinished(true);
    if (registration)
        registration->settleUnknown();
    // A removal that landed unbeknown still shows what it removed.
    if (!removals.isEmpty())
        database->reloadPatients();
}
