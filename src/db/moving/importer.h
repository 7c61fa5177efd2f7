#pragma once

#include "db/moving/importmapping.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class Database;
class ImportSource;

// Brings patients and their records from a foreign source into a Kesta
// database. check() reads the whole source first and says what would happen
// (rows refused and why, duplicates of stored patients) without writing;
// write() then stores what the plan holds as one write through the program's
// write path, with new AutoIDs, and copies each record's recording from the
// old data folder into its patient's folder, checked by XXH3 after copying.
// All or nothing: a failure or a cancel leaves the database and the folders as
// they were. The source is only read.
class Importer
{
    Q_DECLARE_TR_FUNCTIONS(Importer)
public:
    // What becomes of a row whose patient is stored already.
    enum class Duplicate { Skip, NewPatient, AddRecords };

    struct RecordRow {
        int sourceRow = 0;
        QVariantMap values;
        QString refusal;
        // The recording in the old data folder; empty without one.
        QString sourceFile;
        bool fileMissing = false;
    };
    struct PatientRow {
        int sourceRow = 0;
        QVariantMap values;
        QString refusal;
        // The stored patient this one is, and why; 0 when none.
        int duplicateOf = 0;
        QString duplicateReason;
        Duplicate choice = Duplicate::Skip;
        QList<RecordRow> records;
    };
    struct Plan {
        QList<PatientRow> patients;
        // Records whose patient is not in the source.
        QList<RecordRow> orphanRecords;
        // Source columns never imported (binary ones), as Table.Column.
        QStringList notImported;
        // Files under the old data folder that no record names.
        QStringList unreferencedFiles;
        int acceptedPatients() const;
        int refusedRows() const;
        int duplicates() const;
        void chooseForAll(Duplicate choice);
    };
    // One line of the report: what (patient, record, file, column), the
    // source row, what became of it and why.
    struct ReportLine {
        QString what;
        QString source;
        QString outcome;
        QString detail;
    };
    struct Report {
        int patients = 0;
        int records = 0;
        int files = 0;
        QList<ReportLine> lines;
        QString summary() const;
        // As CSV (UTF-8 with its mark, so that spreadsheets read it right).
        bool save(const QString &file, QString *reason) const;
    };
    // Called after each patient written; false cancels the whole import.
    using Progress = std::function<bool(int done, int total)>;

    Importer(Database *target, ImportSource *source, ImportMapping mapping);
    // The old data folder, whose Data/<patient folder>/ holds the recordings.
    void setOldDataFolder(const QString &folder) { oldDataFolder = folder; }

    // The dry run: false with the reason only when the source cannot be read.
    bool check(Plan *plan, QString *reason);
    // Writes the plan; false with the reason when nothing was written. The
    // report lists what was imported, skipped and why, the same for a dry run
    // (written false).
    bool write(const Plan &plan, const Progress &progress, Report *report, QString *reason);
    Report dryRunReport(const Plan &plan) const;

    // Where the report is saved: beside the source, named by the time.
    static QString reportFileFor(const QString &sourcePath);

private:
    void listUnreferenced(Plan *plan) const;
    QString freeId(const QString &wanted, QSet<QString> *taken) const;

    Database *target;
    ImportSource *source;
    ImportMapping mapping;
    QString oldDataFolder;
};
