#include "app/importdialog.h"

#include "db/model/datalocations.h"
#include "db/moving/importsource.h"
#include "db/storage/database.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/filedialog.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

// The mapping table's columns.
enum { SourceColumn, FieldColumn, SampleColumn };

QString shown(const QVariant &value)
{
    if (value.userType() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (value.userType() == QMetaType::QString) {
        const QDateTime at = QDateTime::fromString(value.toString(), Qt::ISODate);
        if (at.isValid() && value.toString().size() == 19)
            return at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    return value.toString();
}

} // namespace

ImportDialog::ImportDialog(Database *database, QWidget *parent)
    : QDialog(parent)
    , database(database)
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(tr("Import patients"));
    sourceLabel = new QLabel(this);
    sourceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    patientsTable = new QComboBox(this);
    patientsTable->setObjectName(QStringLiteral("importPatientsTable"));
    recordsTable = new QComboBox(this);
    recordsTable->setObjectName(QStringLiteral("importRecordsTable"));
    dateOrder = new QComboBox(this);
    dateOrder->setObjectName(QStringLiteral("importDateOrder"));
    dateOrder->addItem(tr("day, month, year (31.12.1980)"), int(ImportMapping::DateOrder::DayMonthYear));
    dateOrder->addItem(tr("month, day, year (12/31/1980)"), int(ImportMapping::DateOrder::MonthDayYear));
    dateOrder->addItem(tr("year, month, day (1980-12-31)"), int(ImportMapping::DateOrder::YearMonthDay));
    dataFolder = new QLineEdit(this);
    dataFolder->setObjectName(QStringLiteral("importDataFolder"));
    dataFolder->setPlaceholderText(tr("none: the records are imported without their recordings"));
    auto *browse = new QPushButton(tr("Choose..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder
            = QFileDialog::getExistingDirectory(this, tr("Old data folder"), dataFolder->text());
        if (!folder.isEmpty())
            dataFolder->setText(folder);
    });
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(dataFolder, 1);
    folderRow->addWidget(browse);
    auto *form = new QFormLayout;
    form->addRow(tr("Source:"), sourceLabel);
    form->addRow(tr("Patients table:"), patientsTable);
    form->addRow(tr("Records table:"), recordsTable);
    form->addRow(tr("Dates written as:"), dateOrder);
    form->addRow(tr("Old data folder:"), folderRow);

    mapping = new QTableWidget(0, 3, this);
    mapping->setObjectName(QStringLiteral("importMapping"));
    mapping->setHorizontalHeaderLabels({ tr("Source column"), tr("Kesta field"), tr("First value") });
    mapping->horizontalHeader()->setStretchLastSection(true);
    mapping->verticalHeader()->hide();
    mapping->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview = new QTableWidget(this);
    preview->setObjectName(QStringLiteral("importPreview"));
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings = new QTableWidget(0, 3, this);
    findings->setObjectName(QStringLiteral("importFindings"));
    findings->setHorizontalHeaderLabels({ tr("Row"), tr("Found"), tr("What becomes of it") });
    findings->horizontalHeader()->setStretchLastSection(true);
    findings->verticalHeader()->hide();
    findings->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *tables = new QSplitter(Qt::Vertical, this);
    tables->addWidget(mapping);
    tables->addWidget(preview);
    tables->addWidget(findings);
    tables->setSizes({ 300, 220, 140 });

    duplicates = new QComboBox(this);
    duplicates->setObjectName(QStringLiteral("importDuplicates"));
    duplicates->addItem(tr("Skip"), int(Importer::Duplicate::Skip));
    duplicates->addItem(tr("Import as a new patient with a new ID"), int(Importer::Duplicate::NewPatient));
    duplicates->addItem(tr("Add its records to the stored patient"), int(Importer::Duplicate::AddRecords));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("importSummary"));
    summary->setWordWrap(true);
    checkButton = new QPushButton(tr("&Check"), this);
    importButton = new QPushButton(tr("&Import"), this);
    importButton->setEnabled(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(checkButton, QDialogButtonBox::ActionRole);
    buttons->addButton(importButton, QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(checkButton, &QPushButton::clicked, this, &ImportDialog::check);
    connect(importButton, &QPushButton::clicked, this, [this] {
        if (runImport())
            accept();
    });
    auto *duplicateRow = new QHBoxLayout;
    duplicateRow->addWidget(new QLabel(tr("Every duplicate:"), this));
    duplicateRow->addWidget(duplicates, 1);
    connect(duplicates, QOverload<int>::of(&QComboBox::activated), this, [this] {
        for (int row = 0; row < findings->rowCount(); ++row) {
            if (auto *each = qobject_cast<QComboBox *>(findings->cellWidget(row, 2)))
                each->setCurrentIndex(duplicates->currentIndex());
        }
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tables, 1);
    layout->addLayout(duplicateRow);
    layout->addWidget(summary);
    layout->addWidget(buttons);
    resize(900, 700);

    connect(
        patientsTable, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ImportDialog::fillMapping);
    connect(
        recordsTable, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ImportDialog::fillMapping);
    connect(
        dateOrder, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ImportDialog::updatePreview);
    connect(dataFolder, &QLineEdit::textChanged, this, &ImportDialog::invalidate);
}

ImportDialog::~ImportDialog() = default;

QAction *ImportDialog::makeAction(Database *database, QWidget *window)
{
    auto *action = new QAction(tr("Import from another system…"), window);
    action->setObjectName(QStringLiteral("actionImport"));
    StyleHelper::Instance()->setMenuActionIcon(
        action, QStringLiteral(":/icons/folder-open.svg"), QStringLiteral("#FFF"));
    QObject::connect(action, &QAction::triggered, window, [window, database] { run(window, database); });
    return action;
}

void ImportDialog::run(QWidget *window, Database *database)
{
    const QString file = FileDialog::openFileName(window, tr("Import patients"), DataLocations::dataFolder(),
        tr("Access databases and CSV files (*.mdb *.accdb *.csv *.txt *.tsv)"));
    if (file.isEmpty())
        return;
    ImportDialog dialog(database, window);
    if (dialog.openSource(file))
        dialog.exec();
}

bool ImportDialog::openSource(const QString &path)
{
    QString reason;
    source = ImportSource::open(path, &reason);
    if (!source) {
        AppHelper::warningMessage(reason, tr("Import patients"), MessageBox::Warning);
        return false;
    }
    sourcePath = path;
    sourceLabel->setText(QDir::toNativeSeparators(source->description()));
    // A folder beside the source named like the old workstation's is its data folder.
    const QString beside = QFileInfo(path).dir().filePath(QStringLiteral("Data"));
    if (QFileInfo(beside).isDir())
        dataFolder->setText(QFileInfo(path).absolutePath());
    showTables();
    return true;
}

void ImportDialog::showTables()
{
    bool found = false;
    ImportMapping chosen = ImportMapping::automatic(*source, &found);
    for (int i = 0; !found && i < source->tables().size(); ++i)
        chosen = ImportMapping::saved(source->tables().at(i), &found);
    const QSignalBlocker blockPatients(patientsTable);
    const QSignalBlocker blockRecords(recordsTable);
    patientsTable->clear();
    recordsTable->clear();
    recordsTable->addItem(tr("none"), QString());
    for (const ImportSource::Table &table : source->tables()) {
        patientsTable->addItem(table.name, table.name);
        recordsTable->addItem(table.name, table.name);
    }
    if (found) {
        patientsTable->setCurrentIndex(qMax(0, patientsTable->findData(chosen.patients.source)));
        recordsTable->setCurrentIndex(qMax(0, recordsTable->findData(chosen.records.source)));
        dateOrder->setCurrentIndex(int(chosen.dateOrder));
    }
    fillMapping();
    if (!found)
        return;
    // The saved (or own) choices, over the offers made by name.
    for (int row = 0; row < mapping->rowCount(); ++row) {
        const bool records = mapping->item(row, SourceColumn)->data(Qt::UserRole + 1).toBool();
        const QString column = mapping->item(row, SourceColumn)->data(Qt::UserRole).toString();
        auto *field = qobject_cast<QComboBox *>(mapping->cellWidget(row, FieldColumn));
        const QString target = (records ? chosen.records : chosen.patients).fields.value(column);
        field->setCurrentIndex(qMax(0, field->findData(target)));
    }
    updatePreview();
}

void ImportDialog::fillMapping()
{
    mapping->setRowCount(0);
    const auto addTable = [this](const QString &name, bool records) {
        const ImportSource::Table table = source->table(name);
        QVariantList first;
        QString reason;
        source->readRows(
            table.name,
            [&first](const QVariantList &values) {
                first = values;
                return false;
            },
            &reason);
        for (int i = 0; i < table.columns.size(); ++i) {
            const ImportSource::Column &column = table.columns.at(i);
            const int row = mapping->rowCount();
            mapping->insertRow(row);
            auto *item = new QTableWidgetItem(table.name + QLatin1Char('.') + column.name);
            item->setData(Qt::UserRole, column.name);
            item->setData(Qt::UserRole + 1, records);
            mapping->setItem(row, SourceColumn, item);
            auto *field = new QComboBox(mapping);
            field->addItem(tr("not imported"), QString());
            if (column.kind != ImportSource::Column::Kind::Binary) {
                const QStringList fields
                    = records ? ImportMapping::recordFields() : ImportMapping::patientFields();
                for (const QString &each : fields)
                    field->addItem(
                        each == ImportMapping::fullNameField() ? tr("Full name (split)") : each, each);
                const int byName = field->findData(column.name, Qt::UserRole, Qt::MatchFixedString);
                field->setCurrentIndex(qMax(0, byName));
            }
            connect(field, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &ImportDialog::updatePreview);
            mapping->setCellWidget(row, FieldColumn, field);
            mapping->setItem(row, SampleColumn,
                new QTableWidgetItem(column.kind == ImportSource::Column::Kind::Binary
                        ? tr("binary data: not imported")
                        : first.value(i).toString().simplified()));
        }
    };
    addTable(patientsTable->currentData().toString(), false);
    if (!recordsTable->currentData().toString().isEmpty())
        addTable(recordsTable->currentData().toString(), true);
    mapping->resizeColumnsToContents();
    updatePreview();
}

ImportMapping ImportDialog::shownMapping() const
{
    ImportMapping shown;
    shown.patients.source = patientsTable->currentData().toString();
    shown.records.source = recordsTable->currentData().toString();
    shown.dateOrder = ImportMapping::DateOrder(dateOrder->currentData().toInt());
    for (int row = 0; row < mapping->rowCount(); ++row) {
        const QString field
            = qobject_cast<QComboBox *>(mapping->cellWidget(row, FieldColumn))->currentData().toString();
        if (field.isEmpty())
            continue;
        const bool records = mapping->item(row, SourceColumn)->data(Qt::UserRole + 1).toBool();
        (records ? shown.records : shown.patients)
            .fields.insert(mapping->item(row, SourceColumn)->data(Qt::UserRole).toString(), field);
    }
    return shown;
}

void ImportDialog::updatePreview()
{
    invalidate();
    const ImportMapping shown_ = shownMapping();
    QStringList fields;
    for (const QString &field : ImportMapping::patientFields()) {
        if (field == ImportMapping::fullNameField())
            continue;
        const bool split = shown_.patients.fields.values().contains(ImportMapping::fullNameField())
            && (field == QLatin1String("LastName") || field == QLatin1String("FirstName")
                || field == QLatin1String("MiddleName"));
        if (split || shown_.patients.fields.values().contains(field))
            fields << field;
    }
    preview->clear();
    preview->setColumnCount(fields.size());
    preview->setHorizontalHeaderLabels(fields);
    preview->setRowCount(0);
    const ImportSource::Table table = source->table(shown_.patients.source);
    QString reason;
    source->readRows(
        table.name,
        [&](const QVariantList &values) {
            QStringList problems;
            const QVariantMap row = shown_.convert(table, shown_.patients, values, &problems);
            const int at = preview->rowCount();
            preview->insertRow(at);
            for (int i = 0; i < fields.size(); ++i) {
                auto *item = new QTableWidgetItem(shown(row.value(fields.at(i))));
                for (const QString &problem : problems) {
                    if (problem.startsWith(fields.at(i) + QLatin1Char(':'))) {
                        // What cannot be stored shows as the source has it.
                        if (item->text().isEmpty())
                            item->setText(problem.section(QLatin1Char('"'), 1, -2));
                        item->setForeground(Qt::red);
                        item->setToolTip(problem);
                    }
                }
                preview->setItem(at, i, item);
            }
            return preview->rowCount() < PreviewRows;
        },
        &reason);
    preview->resizeColumnsToContents();
}

void ImportDialog::invalidate()
{
    checked = false;
    importButton->setEnabled(false);
    findings->setRowCount(0);
    summary->clear();
}

void ImportDialog::check()
{
    invalidate();
    const ImportMapping shown_ = shownMapping();
    if (!shown_.isUsable()) {
        summary->setText(tr("Map one column of the patients table to PatientID."));
        return;
    }
    Importer importer(database, source.get(), shown_);
    importer.setOldDataFolder(dataFolder->text().trimmed());
    QString reason;
    if (!importer.check(&plan, &reason)) {
        summary->setText(reason);
        return;
    }
    int missing = 0;
    const auto add = [&](int sourceRow, const QString &found, const QString &outcome) {
        const int row = findings->rowCount();
        findings->insertRow(row);
        findings->setItem(row, 0, new QTableWidgetItem(QString::number(sourceRow)));
        findings->setItem(row, 1, new QTableWidgetItem(found));
        findings->setItem(row, 2, new QTableWidgetItem(outcome));
        return row;
    };
    for (int i = 0; i < plan.patients.size(); ++i) {
        const Importer::PatientRow &patient = plan.patients.at(i);
        const QString id = patient.values.value(QStringLiteral("PatientID")).toString();
        if (!patient.refusal.isEmpty()) {
            add(patient.sourceRow, tr("Patient %1: %2").arg(id, patient.refusal), tr("refused"));
        } else if (patient.duplicateOf > 0) {
            const int row = add(patient.sourceRow,
                tr("Patient %1 is stored already (%2)").arg(id, patient.duplicateReason), QString());
            auto *choice = new QComboBox(findings);
            for (int c = 0; c < duplicates->count(); ++c)
                choice->addItem(duplicates->itemText(c), duplicates->itemData(c));
            choice->setCurrentIndex(duplicates->currentIndex());
            choice->setProperty("patient", i);
            findings->setCellWidget(row, 2, choice);
        }
        for (const Importer::RecordRow &record : patient.records) {
            if (!record.refusal.isEmpty())
                add(record.sourceRow, tr("Record: %1").arg(record.refusal), tr("refused"));
            missing += record.refusal.isEmpty() && record.fileMissing;
        }
    }
    for (const Importer::RecordRow &record : plan.orphanRecords)
        add(record.sourceRow, tr("Record: %1").arg(record.refusal), tr("refused"));
    findings->resizeColumnsToContents();
    summary->setText(
        tr("%1 patients will be imported; %2 rows refused; %3 duplicates; %4 recordings missing in "
           "the old folder; %5 recordings there that no record names.")
            .arg(plan.acceptedPatients())
            .arg(plan.refusedRows())
            .arg(plan.duplicates())
            .arg(missing)
            .arg(plan.unreferencedFiles.size()));
    checked = true;
    importButton->setEnabled(true);
}

bool ImportDialog::runImport()
{
    if (!checked)
        check();
    if (!checked)
        return false;
    for (int row = 0; row < findings->rowCount(); ++row) {
        if (auto *choice = qobject_cast<QComboBox *>(findings->cellWidget(row, 2)))
            plan.patients[choice->property("patient").toInt()].choice
                = Importer::Duplicate(choice->currentData().toInt());
    }
    const ImportMapping shown_ = shownMapping();
    Importer importer(database, source.get(), shown_);
    importer.setOldDataFolder(dataFolder->text().trimmed());
    QProgressDialog progress(tr("Importing patients..."), tr("Cancel"), 0, plan.patients.size(), this);
    progress.setObjectName(QStringLiteral("importProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    Importer::Report report;
    QString reason;
    const bool written = importer.write(
        plan,
        [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            // The box keeps its own time before it shows and takes clicks
            // only once shown; nothing else may start meanwhile.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return !progress.wasCanceled();
        },
        &report, &reason);
    progress.reset();
    bool own = false;
    ImportMapping::automatic(*source, &own);
    if (written && !own)
        shown_.remember(source->table(shown_.patients.source));
    const QString reportFile = Importer::reportFileFor(sourcePath);
    QString saved;
    if (!report.save(reportFile, &saved))
        saved = tr("The report could not be saved: %1").arg(saved);
    else
        saved = tr("The report is saved in %1.").arg(QDir::toNativeSeparators(reportFile));
    AppHelper::warningMessage((written ? report.summary() : reason) + QStringLiteral("\n\n") + saved,
        tr("Import patients"), written ? MessageBox::Information : MessageBox::Warning);
    if (!written)
        invalidate();
    return written;
}
