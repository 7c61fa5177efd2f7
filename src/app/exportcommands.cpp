#include "app/exportcommands.h"

#include "app/tables/recordstable.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/csvwriter.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMainWindow>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>

namespace
{

// Long enough to read a path.
constexpr int MessageMs = 10000;

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

ExportCommands::ExportCommands(TableWidget *patients, RecordsTable *records, QWidget *window)
    : QObject(window)
    , patients(patients)
    , records(records)
    , window(window)
    , patientsAction(new QAction(tr("Export patient list..."), this))
{
    patientsAction->setObjectName(QStringLiteral("actionExportPatients"));
    connect(patientsAction, &QAction::triggered, this, &ExportCommands::exportPatients);
    records->addTrailingAction(
        QStringLiteral("exportRecords"), tr("Export records..."), [this](int) { exportRecords(); });
}

QList<QStringList> ExportCommands::shownRows(TableWidget *table)
{
    const QAbstractItemModel *model = table->grid()->model();
    const QHeaderView *header = table->grid()->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            columns << logical;
    }
    QList<QStringList> rows;
    QStringList captions;
    for (int column : qAsConst(columns))
        captions << model->headerData(column, Qt::Horizontal).toString();
    rows << captions;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        // The stored text, not the marks that show its hidden characters on screen.
        for (int column : qAsConst(columns))
            cells << TextHelper::storedText(model->index(row, column).data().toString());
        rows << cells;
    }
    return rows;
}

void ExportCommands::exportPatients()
{
    save(patients, tr("Export patient list"),
        tr("patients") + Clock::today().toString(QStringLiteral("-yyyy-MM-dd")) + QStringLiteral(".csv"));
}

void ExportCommands::exportRecords()
{
    Patient *patient = records->getPatient();
    if (!patient)
        return;
    const QString name = DataLocations::isPlainFolderName(patient->folderName()) ? patient->folderName()
                                                                                 : QStringLiteral("patient");
    save(records, tr("Export records"),
        name + QLatin1Char('-') + tr("records") + Clock::today().toString(QStringLiteral("-yyyy-MM-dd"))
            + QStringLiteral(".csv"));
}

void ExportCommands::save(TableWidget *table, const QString &caption, const QString &suggestedName)
{
    // The separator the language's spreadsheets expect first: a semicolon where
    // the decimal point is a comma.
    const QString semicolons = tr("CSV, fields apart by semicolons (*.csv)");
    const QString commas = tr("CSV, fields apart by commas (*.csv)");
    const QString semicolonsLive = tr("CSV, semicolons, formulas left live (*.csv)");
    const QString commasLive = tr("CSV, commas, formulas left live (*.csv)");
    const bool semicolonFirst = QLocale().decimalPoint() == QLatin1Char(',');
    const QStringList filters = semicolonFirst
        ? QStringList { semicolons, commas, semicolonsLive, commasLive }
        : QStringList { commas, semicolons, commasLive, semicolonsLive };
    QString chosen;
    QString path = FileDialog::saveFileName(window, caption,
        documentsFolder() + QLatin1Char('/') + suggestedName, filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    CsvOptions options;
    options.separator
        = chosen == semicolons || chosen == semicolonsLive ? QLatin1Char(';') : QLatin1Char(',');
    options.formulasAsText = chosen != semicolonsLive && chosen != commasLive;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    QString reason;
    const QList<QStringList> rows = shownRows(table);
    if (!CsvWriter::save(path, rows, &reason, options)) {
        AppHelper::warningMessage(tr("The file was not written") + ":\n" + reason);
        return;
    }
    // Said where it went, without a box to close.
    if (auto *main = qobject_cast<QMainWindow *>(window))
        main->statusBar()->showMessage(
            tr("Written: %1 (rows: %2)").arg(QDir::toNativeSeparators(path)).arg(qMax(0, rows.size() - 1)),
            MessageMs);
}
