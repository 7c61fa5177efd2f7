#include "db/record.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "toolkit/util/fileutilities.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

// Both paths clean and without a trailing "/".
bool strictlyInside(const QString &inner, const QString &outer)
{
    return !outer.isEmpty() && inner.startsWith(outer + QLatin1Char('/'), pathCase);
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

Record::Record(QObject *parent)
    : AbstractDatabaseRow(parent)
{
    enableAutoUpdate();
}

Record::Record(int recordId, Database *database, Patient *owner, QObject *parent)
    : AbstractDatabaseRow(parent)
    , owner(owner)
{
    this->database = database;
    setRecordID(recordId);
    enableAutoUpdate();
    load();
    findFile();
}

QString Record::idColumnName() const
{
    return QStringLiteral("RecordID");
}

QString Record::tableName() const
{
    return QStringLiteral("Records");
}

QString Record::getTextValue(const QString &name)
{
    if (name == QLatin1String("RecordDate"))
        return m_RecordDate.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    if (name == QLatin1String("Temperature"))
        return m_Temperature > 0.1 ? QString::number(m_Temperature, 'f', 1) : QStringLiteral("0");
    if (name == QLatin1String("Size"))
        return FileUtilities::filesizeNice(size, 1);
    return AbstractDatabaseRow::getTextValue(name);
}

void Record::findFile()
{
    if (!owner && database)
        owner = database->patientByPatientId(m_PatientID);
    if (!owner) {
        qDebug() << "Patient not found" << m_PatientID;
        return;
    }
    const QString folderName = owner->folderName();
    patientFolder = DataLocations::patientFolder(folderName);
    path = DataLocations::recordingPath(folderName, m_FileName);
    // A file, not a folder: with an empty FileName the path names the patient's
    // folder itself, which must never pass for a recording.
    const QFileInfo file(path);
    if (!path.isEmpty() && file.isFile()) {
        exists = true;
        folderPath = file.absolutePath();
        size = FileUtilities::dirsize(folderPath);
    } else {
        exists = false;
        folderPath.clear();
    }
}

DisplayTexts Record::displayTexts()
{
    return {
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "PatientID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "FileName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "RecordType") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Comments") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "OperatorID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewerID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveID") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveDate") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReviewFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ReportFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ArchiveFlag") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Temperature") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Conditions") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Size") },
    };
}

bool Record::remove()
{
    if (!database || !removeFiles())
        return false;
    const QString statement = Database::removeRecordStatement(m_RecordID);
    QSqlQuery query(database->database());
    if (!database->exec(query, statement)) {
        qDebug() << "RECORD NOT REMOVED FROM DATABASE" << query.lastQuery() << query.lastError().text();
        return false;
    }
    return true;
}

bool Record::removeFiles()
{
    if (folderPath.isEmpty() || !QFileInfo(folderPath).isDir())
        return true;

    // Canonical paths: ".." and symbolic links resolved, so that a name that
    // climbs out of the patient's folder is seen for what it is.
    const QString patients = QFileInfo(DataLocations::patientsFolder()).canonicalFilePath();
    const QString patientDir = QFileInfo(withoutTrailingSlash(patientFolder)).canonicalFilePath();
    const QString recordDir = QFileInfo(folderPath).canonicalFilePath();
    if (!strictlyInside(patientDir, patients) || !strictlyInside(recordDir + QLatin1Char('/'), patientDir)) {
        qDebug() << "Recording outside its patient's folder, left on disk:" << path;
        return true;
    }

    bool folderShared = recordDir.compare(patientDir, pathCase) == 0;
    if (!folderShared && owner && database) {
        // Another record whose file lies in this folder keeps it.
        const QString ownerFolder = owner->folderName();
        QList<Patient *> patients = database->patients();
        if (!patients.contains(owner.data()))
            patients.append(owner.data());
        for (Patient *patient : qAsConst(patients)) {
            if (patient->folderName() != ownerFolder)
                continue;
            for (Record *other : patient->records()) {
                if (other == this || other->getRecordID() == m_RecordID || other->recordPath().isEmpty())
                    continue;
                const QString otherPath = QDir::cleanPath(QFileInfo(other->recordPath()).absoluteFilePath());
                const QString otherCanonical = QFileInfo(otherPath).canonicalFilePath();
                if (strictlyInside(otherPath, QDir::cleanPath(folderPath))
                    || (!otherCanonical.isEmpty() && strictlyInside(otherCanonical, recordDir))) {
                    folderShared = true;
                    break;
                }
            }
            if (folderShared)
                break;
        }
    }

    if (folderShared) {
        // The entry itself: a symbolic link goes, not what it points to.
        const QString entry = QDir(recordDir).filePath(QFileInfo(path).fileName());
        if (!QFileInfo(entry).exists() && !QFileInfo(entry).isSymLink())
            return true;
        if (!QFile::remove(entry)) {
            qDebug() << "Recording not deleted:" << entry;
            return false;
        }
        return true;
    }
    if (!QDir(recordDir).removeRecursively()) {
        qDebug() << "Recording folder not cleared:" << recordDir;
        return false;
    }
    return true;
}
