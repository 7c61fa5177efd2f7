#include "app/tables/recordstable.h"

#include "app/recordingfactstext.h"
#include "db/model/kestasettings.h"
#include "db/recordings/recordingfacts.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/fileutilities.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLocale>

namespace
{

const QString PlayAction = QStringLiteral("play");
const QString ViewerAction = QStringLiteral("playInViewer");
const QString RegisterAction = QStringLiteral("register");
const QString RegisterAllAction = QStringLiteral("registerAll");
const QString IconColour = QStringLiteral("#FFF");

[[maybe_unused]] const char *const ColumnTexts[] = {
    QT_TRANSLATE_NOOP("Generic", "Duration"),
    QT_TRANSLATE_NOOP("Generic", "Channels"),
};

// What is known of the row's file so far; null before the disk has answered.
const RecordingFacts::Known *knownOf(
    const RecordingFacts *facts, const QHash<const AbstractDatabaseRow *, QString> &keys, AbstractDatabaseRow *row)
{
    const auto key = keys.constFind(row);
    return key == keys.constEnd() ? nullptr : facts->find(key.value());
}

QAction *rowAction(QObject *parent, const QString &name, const QString &caption, const QString &icon)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(name);
    StyleHelper::Instance()->setMenuActionIcon(action, icon, IconColour);
    return action;
}

} // namespace

RecordsTable::RecordsTable(KestaSettings *settings, QWidget *parent)
    : TableWidget(parent)
    , recordingFacts(new RecordingFacts(this))
    , settings(settings)
{
    setObjectName(QStringLiteral("recordsTable"));
    grid()->setAccessibleName(tr("Recordings of the patient"));
    connect(recordingFacts, &RecordingFacts::factsFound, this, &RecordsTable::takeFacts);
    connect(recordingFacts, &RecordingFacts::unregisteredFound, this, &RecordsTable::takeFoundFiles);
    if (settings) {
        connect(
            settings, &KestaSettings::changedRecordsTableColumns, this, [this] { updateTable(); },
            Qt::QueuedConnection);
        connect(this, &TableWidget::headerColumnsUpdated, settings, [settings](const QStringList &names) {
            settings->setRecordsTableColumns(names.join(QLatin1Char(';')));
        });
        connect(this, &TableWidget::sortingUpdated, settings,
            [settings](const QString &sorting) { settings->setRecordsTableSorting(sorting); });
    }

    // The row menu shows them in the order of their keys.
    customActions.insert(PlayAction,
        rowAction(this, QStringLiteral("actionOpenFile"), QCoreApplication::translate("Generic", "Open file"),
            QStringLiteral(":/icons/play.svg")));
    customActions.insert(ViewerAction,
        rowAction(this, QStringLiteral("actionOpenInViewer"), tr("Open in EEG viewer"),
            QStringLiteral(":/icons/open-in-app.svg")));
    customActions.insert(RegisterAction,
        rowAction(this, QStringLiteral("actionRegister"), tr("Register"),
            QStringLiteral(":/icons/plus.svg")));
    customActions.insert(PrintTraceAction,
        rowAction(this, QStringLiteral("actionPrintTrace"), tr("Trace page…"),
            QStringLiteral(":/icons/waveform.svg")));
    customActions.insert(RegisterAllAction,
        rowAction(this, QStringLiteral("actionRegisterAll"), tr("Register all"),
            QStringLiteral(":/icons/plus.svg")));
}

RecordsTable::~RecordsTable() = default;

const QString RecordsTable::PrintTraceAction = QStringLiteral("printTrace");

void RecordsTable::setConclusions(Conclusions *shown)
{
    conclusions = shown;
}

QList<TableColumn> RecordsTable::availableColumns()
{
    const int left = Qt::AlignLeft;
    const int right = Qt::AlignRight;
    const int fit = QHeaderView::ResizeToContents;
    return {
        TableColumn(QStringLiteral("RecordDate"), fit, left, QString(), true),
        TableColumn(QStringLiteral("RecordType"), fit, left),
        TableColumn(QStringLiteral("Duration"), fit, right),
        TableColumn(QStringLiteral("Channels"), fit, right),
        TableColumn(QStringLiteral("Size"), fit, right),
        TableColumn(
            QStringLiteral("Temperature"), fit, right, QString(), false, QString::fromUtf8("T,\u00B0C")),
        TableColumn(QStringLiteral("Comments"), QHeaderView::Stretch, left),
        TableColumn(QStringLiteral("FileName"), fit, right),
    };
}

QStringList RecordsTable::savedColumns()
{
    return settings ? settings->getRecordsTableColumns().split(QLatin1Char(';')) : QStringList();
}

QString RecordsTable::savedSorting()
{
    const QString sorting = settings ? settings->getRecordsTableSorting() : QString();
    // Until the user sorts, the newest recording first: the one just made is the one wanted.
    if (sorting.startsWith(QLatin1Char('+')) || sorting.startsWith(QLatin1Char('-')))
        return sorting;
    return QStringLiteral("-RecordDate");
}

QString RecordsTable::doubleClickAction()
{
    return PlayAction;
}

bool RecordsTable::isFound(AbstractDatabaseRow *row) const
{
    return row && row->getId() >= FoundFileIds;
}

QIcon RecordsTable::rowIcon(AbstractDatabaseRow *row)
{
    if (isFound(row))
        return StyleHelper::ColoredIcon(QStringLiteral(":/icons/file-unregistered.svg"), IconColour);
    const RecordingFacts::Known *known = knownOf(recordingFacts, rowKeys, row);
    // Nothing until the disk has answered, rather than a mark that may be wrong.
    if (!known)
        return QIcon();
    QString icon = QStringLiteral(":/icons/circle_cross.svg");
    if (known->facts.exists)
        icon = known->headerKnown && !known->header.readable() ? QStringLiteral(":/icons/alert.svg")
                                                                : QStringLiteral(":/icons/play.svg");
    return StyleHelper::ColoredIcon(icon, IconColour);
}

QString RecordsTable::rowIconText(AbstractDatabaseRow *row)
{
    // The same facts as the icon, and nothing while the disk has not answered.
    if (isFound(row))
        return tr("Not registered");
    const RecordingFacts::Known *known = knownOf(recordingFacts, rowKeys, row);
    if (!known)
        return QString();
    if (!known->facts.exists)
        return tr("File missing");
    return known->headerKnown && !known->header.readable() ? tr("File unreadable") : tr("File present");
}

bool RecordsTable::rowActionAllowed(const QString &action, int id)
{
    const bool foundFile = id >= FoundFileIds;
    if (action == RegisterAllAction)
        return !found.empty();
    if (action == RegisterAction)
        return foundFile;
    // A found file is no record yet: nothing to edit, remove or conclude.
    if (action == QLatin1String("edit") || action == QLatin1String("remove") || action == PrintTraceAction)
        return !foundFile;
    return true;
}

QString RecordsTable::cellText(AbstractDatabaseRow *row, const QString &column)
{
    const RecordingFacts::Known *known = knownOf(recordingFacts, rowKeys, row);
    if (column == QLatin1String("Size"))
        return known && known->sizeKnown ? FileUtilities::filesizeNice(known->facts.size, 1) : QString();
    if (column == QLatin1String("Duration"))
        return known && known->headerKnown ? RecordingFactsText::duration(known->header) : QString();
    if (column == QLatin1String("Channels"))
        return known && known->headerKnown && known->header.readable()
            ? QString::number(known->header.signalCount)
            : QString();
    if (column == QLatin1String("Comments") && isFound(row))
        return tr("Not registered");
    const QString text = row->getTextValue(column);
    // A temperature never measured reads "-".
    return column == QLatin1String("Temperature") && text == QLatin1String("0") ? QStringLiteral("-") : text;
}

QVariant RecordsTable::sortValue(AbstractDatabaseRow *row, const QString &column)
{
    const RecordingFacts::Known *known = knownOf(recordingFacts, rowKeys, row);
    // What is not known yet sorts below every known value.
    if (column == QLatin1String("Size"))
        return known && known->sizeKnown ? qint64(known->facts.size) : qint64(-1);
    if (column == QLatin1String("Duration"))
        return known && known->headerKnown && known->header.readable() ? known->header.durationSeconds : -1.0;
    if (column == QLatin1String("Channels"))
        return known && known->headerKnown && known->header.readable() ? known->header.signalCount : -1;
    return TableWidget::sortValue(row, column);
}

QString RecordsTable::rowToolTip(AbstractDatabaseRow *row)
{
    const RecordingFacts::Known *known = knownOf(recordingFacts, rowKeys, row);
    QString tip;
    if (isFound(row))
        tip = tr("Not registered: no record of the database lists this file") + QStringLiteral("\n")
            + static_cast<Record *>(row)->getFileName();
    if (known && known->facts.exists && known->headerKnown)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + RecordingFactsText::toolTip(known->header);
    else if (known && !known->facts.exists)
        tip = tr("The recording file is missing");
    const Conclusions::Conclusion conclusion
        = conclusions && !isFound(row) ? conclusions->conclusionOf(row->getId()) : Conclusions::Conclusion();
    if (!conclusion.isEmpty()) {
        // A tip, not a page: a long conclusion is cut.
        const QString text = conclusion.text.size() > 600 ? conclusion.text.left(600) + QStringLiteral("…")
                                                          : conclusion.text;
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n"))
            + tr("Conclusion (%1, %2):").arg(conclusion.writtenBy, DateText::dateTime(conclusion.writtenAt))
            + QStringLiteral("\n") + text;
    }
    return tip;
}

bool RecordsTable::rowDimmed(AbstractDatabaseRow *row)
{
    return isFound(row);
}

Patient *RecordsTable::getPatient() const
{
    return patient;
}

void RecordsTable::setPatient(Patient *newPatient)
{
    patientConnections.clear();
    patient = newPatient;
    if (newPatient) {
        patientConnections << connect(
            newPatient, &Patient::recordsUpdated, this, &RecordsTable::refreshRecords, Qt::QueuedConnection);
        patientConnections << connect(
            newPatient, &Patient::recordAdded, this, &RecordsTable::appendRecord, Qt::QueuedConnection);
        // A patient replaced by a reload takes its records along; the table
        // must not hold on to them until it is told of the new patient.
        patientConnections << connect(newPatient, &QObject::destroyed, this, [this] {
            forgetRows();
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!patient)
                        refreshRecords();
                },
                Qt::QueuedConnection);
        });
    }
    found.clear();
    refreshRecords();
}

QList<AbstractDatabaseRow *> RecordsTable::shownRows() const
{
    QList<AbstractDatabaseRow *> list;
    if (!patient)
        return list;
    const QList<Record *> records = patient->records();
    list.reserve(records.size() + int(found.size()));
    for (Record *record : records)
        list.append(record);
    for (const std::unique_ptr<Record> &file : found)
        list.append(file.get());
    return list;
}

void RecordsTable::refreshRecords()
{
    folderName = patient ? patient->folderName() : QString();
    showRows();
    askForFacts();
}

void RecordsTable::showRows()
{
    const QList<AbstractDatabaseRow *> rows = shownRows();
    rowsByKey.clear();
    rowKeys.clear();
    rowsByKey.reserve(rows.size());
    rowKeys.reserve(rows.size());
    for (AbstractDatabaseRow *row : rows)
        keep(row);
    setRows(rows);
}

void RecordsTable::keep(AbstractDatabaseRow *row)
{
    const QString key = RecordingFacts::keyOf({ folderName, static_cast<Record *>(row)->getFileName() });
    rowsByKey.insert(key, row);
    rowKeys.insert(row, key);
}

void RecordsTable::appendRecord(Record *record)
{
    if (!patient || !patient->records().contains(record))
        return;
    // A file found before its record arrived is that record now.
    for (auto it = found.begin(); it != found.end(); ++it) {
        if ((*it)->getFileName() == record->getFileName()) {
            refreshRecords();
            return;
        }
    }
    keep(record);
    appendRow(record);
    recordingFacts->add({ { folderName, record->getFileName() } });
}

void RecordsTable::askForFacts()
{
    QList<RecordingFacts::Recording> recordings;
    if (patient) {
        for (Record *record : patient->records())
            recordings.append({ folderName, record->getFileName() });
    }
    recordingFacts->request(recordings, folderName);
}

void RecordsTable::takeFacts(const QStringList &keys)
{
    if (!patient)
        return;
    for (const QString &key : keys) {
        // Two records may name one file: each shows its facts.
        for (auto it = rowsByKey.constFind(key); it != rowsByKey.constEnd() && it.key() == key; ++it)
            refreshRow(it.value());
    }
}

void RecordsTable::takeFoundFiles()
{
    if (!patient)
        return;
    const QList<RecordingFacts::Unregistered> files = recordingFacts->unregistered(folderName);
    QStringList before, after;
    for (const std::unique_ptr<Record> &file : found)
        before << file->getFileName();
    for (const RecordingFacts::Unregistered &file : files)
        after << file.fileName;
    if (before == after)
        return;
    found.clear();
    int id = FoundFileIds;
    for (const RecordingFacts::Unregistered &file : files) {
        const RecordingFiles::Registration registration = RecordingFiles::registrationOf(file.fileName, file.header);
        auto record = std::make_unique<Record>();
        record->setFileName(file.fileName);
        record->setRecordDate(registration.date);
        record->setRecordType(registration.type);
        record->setComments(registration.comment);
        record->setPatientID(patient->getPatientID());
        record->setRecordID(id++);
        found.push_back(std::move(record));
    }
    showRows();
    // The found files' facts (their headers are read already, their sizes not).
    QList<RecordingFacts::Recording> recordings;
    for (const std::unique_ptr<Record> &file : found)
        recordings.append({ folderName, file->getFileName() });
    recordingFacts->add(recordings);
}

Record *RecordsTable::recordById(int id) const
{
    return id >= FoundFileIds ? nullptr : qobject_cast<Record *>(rowById(id));
}

Record *RecordsTable::foundFileById(int id) const
{
    for (const std::unique_ptr<Record> &file : found) {
        if (file->getRecordID() == id)
            return file.get();
    }
    return nullptr;
}

QList<Record *> RecordsTable::foundFiles() const
{
    QList<Record *> files;
    for (const std::unique_ptr<Record> &file : found)
        files.append(file.get());
    return files;
}

QString RecordsTable::recordingPath(int id) const
{
    Record *record = id >= FoundFileIds ? foundFileById(id) : recordById(id);
    return record && patient ? RecordingFiles::recordPath(folderName, record->getFileName()) : QString();
}
