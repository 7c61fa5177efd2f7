#include "app/recordstable.h"

#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/recordingfacts.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/fileutilities.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QSet>

namespace
{

const QString PlayAction = QStringLiteral("play");

// What is known of the record's file so far; null before the disk has answered.
const RecordingFacts::Known *knownFacts(
    const RecordingFacts *facts, const Patient *patient, AbstractDatabaseRow *row)
{
    auto *record = qobject_cast<Record *>(row);
    return record && patient ? facts->find({ patient->folderName(), record->getFileName() }) : nullptr;
}

} // namespace

RecordsTable::RecordsTable(KestaSettings *settings, QWidget *parent)
    : TableWidget(parent)
    , recordingFacts(new RecordingFacts(this))
    , settings(settings)
{
    setObjectName(QStringLiteral("recordsTable"));
    connect(recordingFacts, &RecordingFacts::factsFound, this, &RecordsTable::takeFacts);
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

    auto *open = new QAction(QCoreApplication::translate("Generic", "Open file"), this);
    open->setObjectName(QStringLiteral("actionOpenFile"));
    StyleHelper::Instance()->setMenuActionIcon(
        open, QStringLiteral(":/icons/play.svg"), QStringLiteral("#FFF"));
    customActions.insert(PlayAction, open);
}

QList<TableColumn> RecordsTable::availableColumns()
{
    const int left = Qt::AlignLeft;
    const int right = Qt::AlignRight;
    const int fit = QHeaderView::ResizeToContents;
    return {
        TableColumn(QStringLiteral("RecordDate"), fit, left, QString(), true),
        TableColumn(QStringLiteral("RecordType"), fit, left),
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

QIcon RecordsTable::rowIcon(AbstractDatabaseRow *row)
{
    const RecordingFacts::Known *facts = knownFacts(recordingFacts, patient, row);
    // Nothing until the disk has answered, rather than a mark that may be wrong.
    if (!facts)
        return QIcon();
    const QString path = facts->facts.exists ? QStringLiteral(":/icons/play.svg")
                                             : QStringLiteral(":/icons/circle_cross.svg");
    return StyleHelper::ColoredIcon(path, QStringLiteral("#FFF"));
}

QString RecordsTable::cellText(AbstractDatabaseRow *row, const QString &column)
{
    if (column == QLatin1String("Size")) {
        const RecordingFacts::Known *facts = knownFacts(recordingFacts, patient, row);
        return facts && facts->sizeKnown ? FileUtilities::filesizeNice(facts->facts.size, 1) : QString();
    }
    const QString text = row->getTextValue(column);
    // A temperature never measured reads "-".
    return column == QLatin1String("Temperature") && text == QLatin1String("0") ? QStringLiteral("-") : text;
}

QVariant RecordsTable::sortValue(AbstractDatabaseRow *row, const QString &column)
{
    if (column == QLatin1String("Size")) {
        // A size not known yet sorts below every known one.
        const RecordingFacts::Known *facts = knownFacts(recordingFacts, patient, row);
        return facts && facts->sizeKnown ? qint64(facts->facts.size) : qint64(-1);
    }
    return TableWidget::sortValue(row, column);
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
    refreshRecords();
}

void RecordsTable::refreshRecords()
{
    QList<AbstractDatabaseRow *> list;
    if (patient) {
        const QList<Record *> records = patient->records();
        list.reserve(records.size());
        for (Record *record : records)
            list.append(record);
    }
    setRows(list);
    askForFacts();
}

void RecordsTable::appendRecord(Record *)
{
    // The table reads its rows from the patient's list, which holds the new one.
    refreshRecords();
}

void RecordsTable::askForFacts()
{
    QList<RecordingFacts::Recording> recordings;
    if (patient) {
        const QString folderName = patient->folderName();
        for (AbstractDatabaseRow *row : getRows()) {
            if (auto *record = qobject_cast<Record *>(row))
                recordings.append({ folderName, record->getFileName() });
        }
    }
    recordingFacts->request(recordings);
}

void RecordsTable::takeFacts(const QStringList &keys)
{
    if (!patient)
        return;
    const QSet<QString> arrived(keys.cbegin(), keys.cend());
    const QString folderName = patient->folderName();
    for (AbstractDatabaseRow *row : getRows()) {
        auto *record = qobject_cast<Record *>(row);
        if (record && arrived.contains(RecordingFacts::keyOf({ folderName, record->getFileName() })))
            refreshRow(row);
    }
}

Record *RecordsTable::recordById(int id) const
{
    return qobject_cast<Record *>(rowById(id));
}
