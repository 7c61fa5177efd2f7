#include "db/recordings/folderrenamejournal.h"

#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace
{

QString folderPath(const QString &folderName)
{
    return QDir::cleanPath(DataLocations::patientFolder(folderName));
}

bool folderExists(const QString &folderName)
{
    const QFileInfo folder(folderPath(folderName));
    return folder.exists() || folder.isSymLink();
}

} // namespace

QString FolderRenameJournal::path()
{
    return DataLocations::dataFolder() + QStringLiteral("rename.journal");
}

bool FolderRenameJournal::begin(int autoId, const QString &fromFolder, const QString &toFolder)
{
    QSaveFile note(path());
    if (!note.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text
        = QStringList { QString::number(autoId), fromFolder, toFolder }.join(QLatin1Char('\n')).toUtf8() + '\n';
    return note.write(text) == text.size() && note.commit();
}

void FolderRenameJournal::finish()
{
    QFile::remove(path());
}

QString FolderRenameJournal::recover(Database *database)
{
    QFile note(path());
    if (!note.open(QIODevice::ReadOnly))
        return QString();
    const QStringList lines = QString::fromUtf8(note.readAll()).split(QLatin1Char('\n'));
    note.close();
    if (lines.size() < 3 || !DataLocations::isPlainFolderName(lines.at(1))
        || !DataLocations::isPlainFolderName(lines.at(2))) {
        finish();
        return QStringLiteral("An unreadable rename note was removed");
    }
    const QString from = lines.at(1);
    const QString to = lines.at(2);
    // Read afresh: after a lost connection the list still shows the row as
    // it was before the write. Unanswered, the note waits for the next try.
    Patient row;
    row.setAutoID(lines.at(0).toInt());
    bool gone = false;
    if (!database->refreshRow(&row, &gone))
        return QString();
    if (Patient *listed = database->patientById(row.getAutoID()))
        database->refreshRow(listed);
    const QString stored = gone ? QString() : row.folderName();
    QString done;
    // The folder goes where the row says, never onto a folder that exists.
    const QString target = stored == to ? to : stored == from ? from : QString();
    const QString other = target == to ? from : to;
    if (!target.isEmpty() && !folderExists(target) && folderExists(other)) {
        done = QDir().rename(folderPath(other), folderPath(target))
            ? QStringLiteral("Patient folder %1 renamed to %2, as the database holds").arg(other, target)
            : QStringLiteral("Patient folder %1 could not be renamed to %2").arg(other, target);
    }
    finish();
    if (!done.isEmpty())
        qWarning().noquote() << done;
    return done;
}
