#include "db/record.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "toolkit/util/fileutilities.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>

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
}

Record::Record(int recordId, Database *database, Patient *owner, QObject *parent)
    : AbstractDatabaseRow(parent)
    , owner(owner)
{
    // The id before the database: setting it writes nothing.
    setRecordID(recordId);
    this->database = database;
    load();
}

Record::~Record() = default;

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
        return FileUtilities::filesizeNice(folderSize(), 1);
    return AbstractDatabaseRow::getTextValue(name);
}

const Record::FileFacts &Record::fileFacts() const
{
    if (facts)
        return *facts;
    facts = std::make_unique<FileFacts>();
    if (!owner && database)
        owner = database->patientByPatientId(m_PatientID);
    if (!owner) {
        qDebug() << "Patient not found" << m_PatientID;
        return *facts;
    }
    const QString folderName = owner->folderName();
    facts->patientFolder = DataLocations::patientFolder(folderName);
    facts->path = DataLocations::recordingPath(folderName, m_FileName);
    // A file, not a folder: with an empty FileName the path names the patient's
    // folder itself, which must never pass for a recording.
    const QFileInfo file(facts->path);
    if (file.isFile()) {
        facts->exists = true;
        facts->folder = file.absolutePath();
        // A name that leads out of the patient's folder ("..", a link) must not make the
        // table walk whatever folder it reaches.
        const QString patientDir = QFileInfo(withoutTrailingSlash(facts->patientFolder)).canonicalFilePath();
        const QString recordDir = QFileInfo(facts->folder).canonicalFilePath();
        if (DataLocations::isPlainFolderName(folderName) && !patientDir.isEmpty()
            && (recordDir == patientDir || strictlyInside(recordDir, patientDir)))
            facts->size = FileUtilities::dirsize(facts->folder);
    }
    return *facts;
}

void Record::forgetFileFacts()
{
    facts.reset();
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
    return database && removeFiles() && database->deleteRecord(m_RecordID);
}

bool Record::removeFiles()
{
    // As the disk is now, not as it was when the table asked.
    forgetFileFacts();
    const FileFacts &file = fileFacts();
    if (file.folder.isEmpty() || !QFileInfo(file.folder).isDir())
        return true;

    // Canonical paths: ".." and symbolic links resolved, so that a name that
    // climbs out of the patient's folder is seen for what it is.
    const QString patients = QFileInfo(DataLocations::patientsFolder()).canonicalFilePath();
    const QString patientDir = QFileInfo(withoutTrailingSlash(file.patientFolder)).canonicalFilePath();
    const QString recordDir = QFileInfo(file.folder).canonicalFilePath();
    if (!strictlyInside(patientDir, patients) || !strictlyInside(recordDir + QLatin1Char('/'), patientDir)) {
        qDebug() << "Recording outside its patient's folder, left on disk:" << file.path;
        return true;
    }

    bool folderShared = recordDir.compare(patientDir, pathCase) == 0;
    if (!folderShared) {
        bool known = false;
        folderShared = otherRecordInside(recordDir, patientDir, &known);
        if (!known) {
            qDebug() << "Recording not deleted, the other records could not be read:" << file.path;
            return false;
        }
    }

    if (folderShared) {
        // The entry itself: a symbolic link goes, not what it points to.
        const QString entry = QDir(recordDir).filePath(QFileInfo(file.path).fileName());
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

bool Record::otherRecordInside(const QString &recordDir, const QString &patientDir, bool *known)
{
    QVector<Database::RecordFile> files;
    *known = database->readRecordFiles(&files);
    if (!*known)
        return false;

    // A record resolves under every patient with its PatientID: each of them
    // lists it among its records.
    QHash<QString, QStringList> foldersById;
    QList<Patient *> patients = database->patients();
    if (owner && !patients.contains(owner.data()))
        patients.append(owner.data());
    for (Patient *patient : qAsConst(patients))
        foldersById[patient->getPatientID()].append(patient->folderName());

    const QString cleanedFolder = QDir::cleanPath(fileFacts().folder);
    QHash<QString, QString> canonicalFolders;
    for (const Database::RecordFile &other : qAsConst(files)) {
        if (other.recordId == m_RecordID)
            continue;
        for (const QString &folderName : foldersById.value(other.patientId)) {
            // As written ("Shared" and "./Shared" are one folder) ...
            const QString otherPath
                = QDir::cleanPath(DataLocations::recordingPath(folderName, other.fileName));
            if (strictlyInside(otherPath, cleanedFolder) || strictlyInside(otherPath, recordDir))
                return true;
            // ... through the patient folder's canonical path (two patients
            // with one folder, a linked patient folder) ...
            auto canonical = canonicalFolders.find(folderName);
            if (canonical == canonicalFolders.end())
                canonical = canonicalFolders.insert(folderName,
                    QFileInfo(withoutTrailingSlash(DataLocations::patientFolder(folderName)))
                        .canonicalFilePath());
            if (canonical->isEmpty())
                continue;
            const QString folderPath = QDir::cleanPath(DataLocations::patientFolder(folderName));
            const bool inOwnFolder = strictlyInside(otherPath, folderPath);
            if (inOwnFolder
                && strictlyInside(QDir::cleanPath(*canonical + otherPath.mid(folderPath.size())), recordDir))
                return true;
            // ... and, inside this patient's folder or climbing out of its own,
            // through every link on the way.
            if (!inOwnFolder || canonical->compare(patientDir, pathCase) == 0) {
                const QString resolved = QFileInfo(otherPath).canonicalFilePath();
                if (!resolved.isEmpty() && strictlyInside(resolved, recordDir))
                    return true;
            }
        }
    }
    return false;
}
