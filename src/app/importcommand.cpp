#include "app/importcommand.h"

#include "app/databasecopycommand.h"
#include "db/care/changehistory.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/moving/importer.h"
#include "db/moving/importsource.h"
#include "db/storage/patientdatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

namespace
{

const QCommandLineOption ImportOption(QStringLiteral("import"),
    QStringLiteral("Imports patients and records from an Access file or a CSV export."),
    QStringLiteral("SOURCE"));
const QCommandLineOption DataFolderOption(QStringLiteral("data-folder"),
    QStringLiteral("With --import: the old data folder, whose Data folder holds the recordings."),
    QStringLiteral("DIR"));
const QCommandLineOption MappingOption(QStringLiteral("mapping"),
    QStringLiteral("With --import: the saved mapping of a source in another layout."),
    QStringLiteral("FILE"));
const QCommandLineOption DuplicatesOption(QStringLiteral("duplicates"),
    QStringLiteral("With --import: what becomes of patients stored already: skip, new (a new ID) or add "
                   "(their records added)."),
    QStringLiteral("CHOICE"));
const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"), QStringLiteral("With --import: only check and report, write nothing."));

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputs("\n", stream);
    std::fflush(stream);
}

} // namespace

QList<QCommandLineOption> ImportCommand::options()
{
    return { ImportOption, DataFolderOption, MappingOption, DuplicatesOption, DryRunOption };
}

int ImportCommand::run(const QString &settingsFile, const QCommandLineParser &parser)
{
    const QString sourcePath = parser.value(ImportOption);
    const QString choice = parser.value(DuplicatesOption);
    if (!choice.isEmpty() && !QStringList { "skip", "new", "add" }.contains(choice)) {
        print(stderr, tr("--duplicates takes skip, new or add"));
        return 2;
    }
    const Importer::Duplicate duplicates = choice == QLatin1String("new") ? Importer::Duplicate::NewPatient
        : choice == QLatin1String("add")                                  ? Importer::Duplicate::AddRecords
                                                                          : Importer::Duplicate::Skip;
    QString reason;
    std::unique_ptr<ImportSource> source = ImportSource::open(sourcePath, &reason);
    if (!source) {
        print(stderr, reason);
        return 1;
    }
    ImportMapping mapping;
    bool own = false;
    if (parser.isSet(MappingOption)) {
        if (!ImportMapping::load(parser.value(MappingOption), &mapping, &reason)) {
            print(stderr, reason);
            return 1;
        }
    } else {
        mapping = ImportMapping::automatic(*source, &own);
        if (!own && source->tables().size() == 1)
            mapping = ImportMapping::saved(source->tables().first(), &own);
        if (!own) {
            print(stderr,
                tr("%1 is not in Kesta's layout and no mapping is saved for it: map it once in File, "
                   "Import from another system, or give --mapping FILE.")
                    .arg(sourcePath));
            return 1;
        }
    }

    KestaSettings settings(settingsFile);
    settings.reload();
    DataLocations::setDataFolder(settings.getDataFolder());
    const DatabaseLocation location = settings.databaseLocation(DataLocations::databaseFile());
    const bool prepared = location.isServer()
        ? DataLocations::prepareFolders()
        : DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Failed;
    PatientDatabase target(location);
    ChangeHistory::attach(&target);
    if (!prepared || !DatabaseCopyCommand::signIn(&target, &reason)) {
        print(stderr, location.describe() + QStringLiteral(": ") + reason);
        return 1;
    }

    Importer importer(&target, source.get(), mapping);
    importer.setOldDataFolder(parser.value(DataFolderOption));
    Importer::Plan plan;
    if (!importer.check(&plan, &reason)) {
        print(stderr, reason);
        return 1;
    }
    plan.chooseForAll(duplicates);
    Importer::Report report;
    bool written = false;
    if (parser.isSet(DryRunOption)) {
        report = importer.dryRunReport(plan);
    } else {
        written = importer.write(plan, nullptr, &report, &reason);
        if (!written)
            print(stderr, reason);
    }
    int missing = 0;
    for (const Importer::PatientRow &patient : plan.patients) {
        for (const Importer::RecordRow &record : patient.records)
            missing += record.refusal.isEmpty() && record.fileMissing;
    }
    for (const Importer::ReportLine &line : report.lines) {
        if (line.outcome != Importer::tr("imported"))
            print(stderr,
                line.what + QStringLiteral(" (") + line.source + QStringLiteral("): ") + line.outcome
                    + (line.detail.isEmpty() ? QString() : QStringLiteral(": ") + line.detail));
    }
    const QString reportFile = Importer::reportFileFor(sourcePath);
    if (report.save(reportFile, &reason))
        print(stdout, tr("Report: %1").arg(QDir::toNativeSeparators(reportFile)));
    else
        print(stderr, reason);
    if (parser.isSet(DryRunOption))
        print(stdout,
            tr("Dry run, nothing written: %1 patients would be imported; %2 rows refused, %3 duplicates, "
               "%4 recordings missing.")
                .arg(plan.acceptedPatients())
                .arg(plan.refusedRows())
                .arg(plan.duplicates())
                .arg(missing));
    else if (written)
        print(stdout, report.summary());
    const bool whole = plan.refusedRows() == 0 && missing == 0
        && (plan.duplicates() == 0 || parser.isSet(DuplicatesOption));
    return (written || parser.isSet(DryRunOption)) && whole ? 0 : 1;
}
