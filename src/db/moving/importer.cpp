#include "db/moving/importer.h"

#include "db/care/changehistory.h"
#include "db/model/datalocations.h"
#include "db/moving/importsource.h"
#include "db/moving/recordingcopy.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/patient.h"
#include "db/rows/patientidmatch.h"
#include "db/storage/database.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace
{

const QString patientsTable = QStringLiteral("Patients");
const QString recordsTable = QStringLiteral("Records");

QString folderNameOf(const QVariantMap &values)
{
    Patient patient;
    for (const char *column : { "PatientID", "LastName", "FirstName", "MiddleName", "Subdirectory" })
        patient.setValue(QLatin1String(column), values.value(QLatin1String(column)).toString());
    return patient.folderName();
}

QString nameAndBirth(const QString &last, const QString &first, const QDate &birth)
{
    if (last.trimmed().isEmpty() || !birth.isValid())
        return QString();
    return last.trimmed().toCaseFolded() + QLatin1Char('\x1f') + first.trimmed().toCaseFolded()
        + QLatin1Char('\x1f') + birth.toString(Qt::ISODate);
}

QString rowText(int row)
{
    return Importer::tr("row %1").arg(row);
}

} // namespace

int Importer::Plan::acceptedPatients() const
{
    int count = 0;
    for (const PatientRow &row : patients)
        count += row.refusal.isEmpty() && (!row.duplicateOf || row.choice == Duplicate::NewPatient);
    return count;
}

int Importer::Plan::refusedRows() const
{
    int count = orphanRecords.size();
    for (const PatientRow &row : patients) {
        count += !row.refusal.isEmpty();
        for (const RecordRow &record : row.records)
            count += !record.refusal.isEmpty();
    }
    return count;
}

int Importer::Plan::duplicates() const
{
    int count = 0;
    for (const PatientRow &row : patients)
        count += row.refusal.isEmpty() && row.duplicateOf > 0;
    return count;
}

void Importer::Plan::chooseForAll(Duplicate choice)
{
    for (PatientRow &row : patients)
        row.choice = choice;
}

Importer::Importer(Database *target, ImportSource *source, ImportMapping mapping)
    : target(target)
    , source(source)
    , mapping(std::move(mapping))
{
}

bool Importer::check(Plan *plan, QString *reason)
{
    *plan = Plan();
    const ImportSource::Table patients = source->table(mapping.patients.source);
    if (patients.name.isEmpty() || !mapping.isUsable()) {
        *reason = tr("The source holds no patient table %1 with its ID mapped").arg(mapping.patients.source);
        return false;
    }
    const ImportSource::Table records = source->table(mapping.records.source);
    for (const ImportSource::Table &table : { patients, records }) {
        for (const ImportSource::Column &column : table.columns) {
            if (column.kind == ImportSource::Column::Kind::Binary)
                plan->notImported << table.name + QLatin1Char('.') + column.name;
        }
    }

    // What is stored already: by folded ID, and by name and birth date.
    QHash<QString, int> storedIds;
    QHash<QString, int> storedNames;
    for (Patient *patient : target->patients()) {
        storedIds.insert(PatientIdMatch::key(patient->getPatientID()), patient->getId());
        const QString key = nameAndBirth(patient->getLastName(), patient->getFirstName(), patient->getDOB());
        if (!key.isEmpty())
            storedNames.insert(key, patient->getId());
    }

    QHash<QString, int> byId;
    int row = 0;
    bool read = source->readRows(
        patients.name,
        [&](const QVariantList &values) {
            PatientRow patient;
            patient.sourceRow = ++row;
            QStringList problems;
            patient.values = mapping.convert(patients, mapping.patients, values, &problems);
            const QString id
                = PatientIdMatch::entered(patient.values.value(QStringLiteral("PatientID")).toString());
            patient.values.insert(QStringLiteral("PatientID"), id);
            const QString key = PatientIdMatch::key(id);
            if (id.isEmpty())
                problems.prepend(tr("no ID"));
            else if (byId.contains(key))
                problems.prepend(tr("the ID %1 is given twice in the source").arg(id));
            patient.refusal = problems.join(QStringLiteral("; "));
            if (patient.refusal.isEmpty()) {
                const QString nameKey
                    = nameAndBirth(patient.values.value(QStringLiteral("LastName")).toString(),
                        patient.values.value(QStringLiteral("FirstName")).toString(),
                        patient.values.value(QStringLiteral("DOB")).toDate());
                if (storedIds.contains(key)) {
                    patient.duplicateOf = storedIds.value(key);
                    patient.duplicateReason = tr("the same ID");
                } else if (!nameKey.isEmpty() && storedNames.contains(nameKey)) {
                    patient.duplicateOf = storedNames.value(nameKey);
                    patient.duplicateReason = tr("the same name and birth date");
                }
                byId.insert(key, plan->patients.size());
            }
            plan->patients.append(patient);
            return true;
        },
        reason);
    if (!read)
        return false;

    if (!records.name.isEmpty()) {
        row = 0;
        read = source->readRows(
            records.name,
            [&](const QVariantList &values) {
                RecordRow record;
                record.sourceRow = ++row;
                QStringList problems;
                record.values = mapping.convert(records, mapping.records, values, &problems);
                record.refusal = problems.join(QStringLiteral("; "));
                const QString id = record.values.value(QStringLiteral("PatientID")).toString();
                const int owner = byId.value(PatientIdMatch::key(id), -1);
                if (owner < 0) {
                    record.refusal = tr("no patient with the ID %1 in the source").arg(id);
                    plan->orphanRecords.append(record);
                    return true;
                }
                PatientRow &patient = plan->patients[owner];
                const QString fileName = record.values.value(QStringLiteral("FileName")).toString();
                if (!oldDataFolder.isEmpty() && !fileName.isEmpty()) {
                    const QString oldFolder = folderNameOf(patient.values);
                    record.sourceFile
                        = QDir(oldDataFolder)
                              .filePath(QStringLiteral("Data/") + oldFolder + QLatin1Char('/')
                                  + QString(fileName).replace(QLatin1Char('\\'), QLatin1Char('/')));
                    record.fileMissing = !QFileInfo(record.sourceFile).isFile();
                    if (!DataLocations::isPlainFolderName(folderNameOf(patient.values)))
                        record.refusal = tr("the patient's folder name %1 cannot be used").arg(oldFolder);
                    else if (!RecordingFiles::staysInside(oldFolder, fileName))
                        record.refusal
                            = tr("the file name %1 leads out of the patient's folder").arg(fileName);
                }
                patient.records.append(record);
                return true;
            },
            reason);
        if (!read)
            return false;
    }
    listUnreferenced(plan);
    return true;
}

void Importer::listUnreferenced(Plan *plan) const
{
    if (oldDataFolder.isEmpty())
        return;
    QSet<QString> named;
    for (const PatientRow &patient : plan->patients) {
        for (const RecordRow &record : patient.records)
            named.insert(QFileInfo(record.sourceFile).absoluteFilePath());
    }
    QDirIterator files(
        QDir(oldDataFolder).filePath(QStringLiteral("Data")), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = QFileInfo(files.next()).absoluteFilePath();
        if (file.endsWith(QLatin1String(".edf"), Qt::CaseInsensitive) && !named.contains(file))
            plan->unreferencedFiles.append(file);
    }
    plan->unreferencedFiles.sort();
}

QString Importer::freeId(const QString &wanted, QSet<QString> *taken) const
{
    for (int n = 2;; ++n) {
        const QString suffix = QLatin1Char('-') + QString::number(n);
        const QString id = wanted.left(16 - suffix.size()) + suffix;
        if (!taken->contains(PatientIdMatch::key(id))) {
            taken->insert(PatientIdMatch::key(id));
            return id;
        }
    }
}

Importer::Report Importer::dryRunReport(const Plan &plan) const
{
    Report report;
    for (const QString &column : plan.notImported)
        report.lines.append({ tr("column %1").arg(column), QString(), tr("not imported"),
            tr("binary data (a picture or a document)") });
    static const QString choices[] = { tr("skipped"), tr("imported with a new ID"), tr("records added") };
    for (const PatientRow &patient : plan.patients) {
        const QString what
            = tr("patient %1").arg(patient.values.value(QStringLiteral("PatientID")).toString());
        if (!patient.refusal.isEmpty())
            report.lines.append({ what, rowText(patient.sourceRow), tr("refused"), patient.refusal });
        else if (patient.duplicateOf > 0)
            report.lines.append({ what, rowText(patient.sourceRow),
                tr("duplicate: %1").arg(choices[int(patient.choice)]),
                tr("stored already (AutoID %1): %2").arg(patient.duplicateOf).arg(patient.duplicateReason) });
        else
            report.lines.append({ what, rowText(patient.sourceRow), tr("imported"), QString() });
        for (const RecordRow &record : patient.records) {
            if (!record.refusal.isEmpty())
                report.lines.append(
                    { tr("record"), rowText(record.sourceRow), tr("refused"), record.refusal });
            else if (record.fileMissing)
                report.lines.append({ tr("file"), record.sourceFile, tr("missing"),
                    tr("the record is imported without its recording") });
        }
    }
    for (const RecordRow &record : plan.orphanRecords)
        report.lines.append({ tr("record"), rowText(record.sourceRow), tr("refused"), record.refusal });
    for (const QString &file : plan.unreferencedFiles)
        report.lines.append({ tr("file"), file, tr("not named by any record"),
            tr("can be registered afterwards as found on disk") });
    return report;
}

bool Importer::write(const Plan &plan, const Progress &progress, Report *report, QString *reason)
{
    *report = dryRunReport(plan);
    QSet<QString> taken;
    for (Patient *patient : target->patients())
        taken.insert(PatientIdMatch::key(patient->getPatientID()));
    for (const PatientRow &patient : plan.patients)
        taken.insert(PatientIdMatch::key(patient.values.value(QStringLiteral("PatientID")).toString()));

    RecordingCopy files;
    int patients = 0;
    int records = 0;
    const auto fail = [&](const QString &why) {
        files.undo();
        *reason = why;
        return false;
    };
    Database::Transaction write(target, true);
    // The one ID rule, against the rows stored now that the write holds the
    // lock: read once, not once per patient, which made a clinic's import
    // take minutes.
    QSet<QString> stored;
    {
        QSqlQuery ids(target->database());
        ids.setForwardOnly(true);
        if (!target->exec(ids, QStringLiteral("SELECT PatientID FROM Patients")))
            return fail(tr("The stored IDs cannot be read: %1").arg(ids.lastError().text()));
        while (ids.next())
            stored.insert(PatientIdMatch::key(ids.value(0).toString()));
    }
    taken.unite(stored);
    int done = 0;
    for (const PatientRow &patient : plan.patients) {
        if (progress && !progress(done++, plan.patients.size()))
            return fail(tr("Cancelled: nothing was imported"));
        if (!patient.refusal.isEmpty() || (patient.duplicateOf > 0 && patient.choice == Duplicate::Skip))
            continue;
        const QString where = source->description() + QStringLiteral(", ") + mapping.patients.source
            + QLatin1Char(' ') + rowText(patient.sourceRow);
        QString patientId;
        QString folder;
        if (patient.duplicateOf > 0 && patient.choice == Duplicate::AddRecords) {
            Patient *stored = target->patientById(patient.duplicateOf);
            if (!stored)
                return fail(tr("The patient %1 is no longer stored").arg(patient.duplicateOf));
            patientId = stored->getPatientID();
            folder = stored->folderName();
        } else {
            QVariantMap values = patient.values;
            if (patient.duplicateOf > 0)
                values.insert(QStringLiteral("PatientID"),
                    freeId(values.value(QStringLiteral("PatientID")).toString(), &taken));
            patientId = values.value(QStringLiteral("PatientID")).toString();
            QString why;
            if (stored.contains(PatientIdMatch::key(patientId)))
                return fail(tr("%1: the ID %2 has been stored meanwhile").arg(where, patientId));
            stored.insert(PatientIdMatch::key(patientId));
            const int autoId = target->newId(patientsTable, QStringLiteral("AutoID"));
            values.insert(QStringLiteral("AutoID"), autoId);
            if (autoId <= 0 || !ChangeHistory::importFrom(target, where, &why)
                || !target->insertValues(patientsTable, QStringLiteral("AutoID"), values, &why)
                || !ChangeHistory::noteImport(target, patientsTable, autoId, where, &why))
                return fail(tr("%1: %2").arg(where, why));
            folder = folderNameOf(values);
            ++patients;
        }
        for (const RecordRow &record : patient.records) {
            if (!record.refusal.isEmpty())
                continue;
            QVariantMap values = record.values;
            values.insert(QStringLiteral("PatientID"), patientId);
            const int recordId = target->newId(recordsTable, QStringLiteral("RecordID"));
            values.insert(QStringLiteral("RecordID"), recordId);
            QString why;
            if (recordId <= 0
                || !target->insertValues(recordsTable, QStringLiteral("RecordID"), values, &why))
                return fail(tr("%1, record %2: %3").arg(where, rowText(record.sourceRow), why));
            ++records;
            if (record.sourceFile.isEmpty() || record.fileMissing)
                continue;
            if (!DataLocations::isPlainFolderName(folder)
                || !RecordingFiles::staysInside(folder, values.value(QStringLiteral("FileName")).toString()))
                return fail(tr("%1: the recording cannot be placed in the folder %2").arg(where, folder));
            const QString to
                = DataLocations::recordingPath(folder, values.value(QStringLiteral("FileName")).toString());
            if (!files.copy(record.sourceFile, to, &why))
                return fail(why);
        }
    }
    if (progress && !progress(plan.patients.size(), plan.patients.size()))
        return fail(tr("Cancelled: nothing was imported"));
    QString why;
    if (!write.commit(&why))
        return fail(why);
    target->reloadPatients();
    report->patients = patients;
    report->records = records;
    report->files = files.copied();
    return true;
}

QString Importer::Report::summary() const
{
    int refused = 0;
    int skipped = 0;
    for (const ReportLine &line : lines) {
        refused += line.outcome == Importer::tr("refused");
        skipped += line.outcome == Importer::tr("duplicate: %1").arg(Importer::tr("skipped"));
    }
    return Importer::tr(
        "Imported %1 patients, %2 records and %3 recordings; %4 rows refused, %5 duplicates skipped.")
        .arg(patients)
        .arg(records)
        .arg(files)
        .arg(refused)
        .arg(skipped);
}

bool Importer::Report::save(const QString &file, QString *reason) const
{
    const auto field = [](QString text) {
        // A leading formula sign would run in a spreadsheet.
        if (text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1Char('+'))
            || text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('@')))
            text.prepend(QLatin1Char('\''));
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    };
    QString text = QStringLiteral("What,Source,Outcome,Detail\r\n");
    for (const ReportLine &line : lines)
        text += field(line.what) + QLatin1Char(',') + field(line.source) + QLatin1Char(',')
            + field(line.outcome) + QLatin1Char(',') + field(line.detail) + QStringLiteral("\r\n");
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write("\xEF\xBB\xBF" + text.toUtf8()) < 0 || !out.commit()) {
        *reason = tr("The report cannot be saved in %1: %2").arg(file, out.errorString());
        return false;
    }
    return true;
}

QString Importer::reportFileFor(const QString &sourcePath)
{
    const QFileInfo info(sourcePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(" import ")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))
        + QStringLiteral(".csv"));
}
