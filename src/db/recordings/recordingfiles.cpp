#include "db/recordings/recordingfiles.h"

#include "db/model/datalocations.h"
#include "db/edf/edffacts.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/platform.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace
{

// Both paths clean and without a trailing "/".
bool strictlyInside(const QString &inner, const QString &outer)
{
    return !outer.isEmpty() && inner.startsWith(outer + QLatin1Char('/'), Platform::fileNameCase());
}

bool samePath(const QString &a, const QString &b)
{
    return a.compare(b, Platform::fileNameCase()) == 0;
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString canonicalFolder(const QString &folderName)
{
    return QFileInfo(withoutTrailingSlash(DataLocations::patientFolder(folderName))).canonicalFilePath();
}

// A drive letter or a leading slash (of either kind) makes the name absolute.
bool isAbsoluteName(const QString &fileName)
{
    return fileName.startsWith(QLatin1Char('/')) || fileName.startsWith(QLatin1Char('\\'))
        || (fileName.size() >= 2 && fileName.at(1) == QLatin1Char(':'));
}

} // namespace

QString RecordingFiles::recordPath(const QString &folderName, const QString &fileName)
{
    return DataLocations::recordingPath(folderName, fileName);
}

bool RecordingFiles::staysInside(const QString &folderName, const QString &fileName)
{
    if (isAbsoluteName(fileName) || !DataLocations::isPlainFolderName(folderName))
        return false;
    const QString folder = withoutTrailingSlash(DataLocations::patientFolder(folderName));
    const QString path = QDir::cleanPath(recordPath(folderName, fileName));
    if (!strictlyInside(path, QDir::cleanPath(folder)))
        return false;
    // Links and ".." through links are seen for what they are once on disk.
    const QString canonicalPatient = QFileInfo(folder).canonicalFilePath();
    const QString canonicalPath = QFileInfo(path).canonicalFilePath();
    if (canonicalPatient.isEmpty() || canonicalPath.isEmpty())
        return true;
    return strictlyInside(canonicalPath, canonicalPatient);
}

RecordingFiles::Facts RecordingFiles::factsOf(const QString &folderName, const QString &fileName, bool withSize)
{
    Facts facts;
    if (!DataLocations::isPlainFolderName(folderName) || isAbsoluteName(fileName))
        return facts;
    // A file, not a folder: with an empty FileName the path names the patient's
    // folder itself, which must never pass for a recording.
    const QFileInfo file(recordPath(folderName, fileName));
    if (!file.isFile())
        return facts;
    facts.exists = true;
    facts.folder = file.absolutePath();
    facts.inside = staysInside(folderName, fileName);
    if (!withSize || !facts.inside)
        return facts;
    const bool ownFolder = !samePath(QFileInfo(facts.folder).canonicalFilePath(), canonicalFolder(folderName));
    facts.size = ownFolder ? FileUtilities::dirsize(facts.folder) : file.size();
    return facts;
}

RecordingFiles::Removal RecordingFiles::planRemoval(
    const QString &folderName, const QString &fileName, const QList<OtherRecord> &otherRecords)
{
    Removal removal;
    const QString path = recordPath(folderName, fileName);
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!file.isFile() || !QFileInfo(folder).isDir())
        return removal;

    // Canonical paths: ".." and symbolic links resolved, so that a name that
    // climbs out of the patient's folder is seen for what it is.
    const QString patients = QFileInfo(DataLocations::patientsFolder()).canonicalFilePath();
    const QString patientDir = canonicalFolder(folderName);
    const QString recordDir = QFileInfo(folder).canonicalFilePath();
    if (!strictlyInside(patientDir, patients) || !strictlyInside(recordDir + QLatin1Char('/'), patientDir)) {
        qDebug() << "Recording outside its patient's folder, left on disk:" << path;
        return removal;
    }

    bool folderShared = samePath(recordDir, patientDir);
    const QString cleanedFolder = QDir::cleanPath(folder);
    QHash<QString, QString> canonicalFolders;
    for (const OtherRecord &other : otherRecords) {
        if (folderShared)
            break;
        // As written ("Shared" and "./Shared" are one folder) ...
        const QString otherPath = QDir::cleanPath(recordPath(other.folderName, other.fileName));
        if (strictlyInside(otherPath, cleanedFolder) || strictlyInside(otherPath, recordDir)) {
            folderShared = true;
            break;
        }
        // ... through the patient folder's canonical path (two patients with
        // one folder, a linked patient folder) ...
        auto canonical = canonicalFolders.find(other.folderName);
        if (canonical == canonicalFolders.end())
            canonical = canonicalFolders.insert(other.folderName, canonicalFolder(other.folderName));
        if (canonical->isEmpty())
            continue;
        const QString folderPath = QDir::cleanPath(DataLocations::patientFolder(other.folderName));
        const bool inOwnFolder = strictlyInside(otherPath, folderPath);
        if (inOwnFolder
            && strictlyInside(QDir::cleanPath(*canonical + otherPath.mid(folderPath.size())), recordDir)) {
            folderShared = true;
            break;
        }
        // ... and, inside this patient's folder or climbing out of its own,
        // through every link on the way.
        if (!inOwnFolder || samePath(*canonical, patientDir)) {
            const QString resolved = QFileInfo(otherPath).canonicalFilePath();
            if (!resolved.isEmpty() && strictlyInside(resolved, recordDir))
                folderShared = true;
        }
    }

    if (folderShared) {
        // The entry itself: a symbolic link goes, not what it points to.
        removal.kind = Removal::Kind::File;
        removal.path = QDir(recordDir).filePath(file.fileName());
    } else {
        removal.kind = Removal::Kind::Folder;
        removal.path = recordDir;
    }
    return removal;
}

RecordingFiles::FolderName RecordingFiles::parseFolderName(const QString &name)
{
    FolderName parsed;
    const QStringList parts = name.split(QLatin1Char('_'));
    if (parts.size() < 5)
        return parsed;
    // Text that is no number reads as 0, which makes the date invalid, as the
    // recorder's malformed names should.
    const QString time = parts.at(4).left(6);
    const QDate date(parts.at(1).toInt(), parts.at(2).toInt(), parts.at(3).toInt());
    const QTime clock(time.mid(0, 2).toInt(), time.mid(2, 2).toInt(), time.mid(4, 2).toInt(), 0);
    parsed.valid = true;
    parsed.type = parts.at(0);
    parsed.date = QDateTime(date, clock, Qt::LocalTime);
    return parsed;
}

RecordingFiles::Registration RecordingFiles::registrationOf(const QString &fileName, const EdfFacts &header)
{
    Registration registration;
    const QStringList parts = fileName.split(QLatin1Char('\\'));
    const FolderName folder = parts.size() > 1 ? parseFolderName(parts.first()) : FolderName();
    registration.date = header.readable() && header.start.isValid() ? header.start : folder.date;
    registration.type = folder.valid ? folder.type : QString();
    registration.comment = header.firstAnnotation;
    return registration;
}
