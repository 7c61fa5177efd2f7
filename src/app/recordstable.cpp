#include "app/recordstable.h"

#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>

namespace
{

const QString PlayAction = QStringLiteral("play");

} // namespace

RecordsTable::RecordsTable(KestaSettings *settings, QWidget *parent)
    : TableWidget(parent)
    , settings(settings)
{
    setObjectName(QStringLiteral("recordsTable"));
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
    return settings ? settings->getRecordsTableSorting() : QString();
}

QString RecordsTable::doubleClickAction()
{
    return PlayAction;
}

QIcon RecordsTable::rowIcon(AbstractDatabaseRow *row)
{
    auto *record = qobject_cast<Record *>(row);
    const QString path = record && record->fileExists() ? QStringLiteral(":/icons/play.svg")
                                                        : QStringLiteral(":/icons/circle_cross.svg");
    return StyleHelper::ColoredIcon(path, QStringLiteral("#FFF"));
}

QString RecordsTable::cellText(AbstractDatabaseRow *row, const QString &column)
{
    const QString text = row->getTextValue(column);
    // A temperature never measured reads "-".
    return column == QLatin1String("Temperature") && text == QLatin1String("0") ? QStringLiteral("-") : text;
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
}

Record *RecordsTable::recordById(int id) const
{
    return qobject_cast<Record *>(rowById(id));
}
