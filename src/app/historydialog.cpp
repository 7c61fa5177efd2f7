#include "app/historydialog.h"

#include "toolkit/i18n/datetext.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

// A stored date or date-time as every other place shows one.
QString readable(const QString &value)
{
    return DateText::storedValue(value);
}

QString columnName(const QString &column)
{
    return QCoreApplication::translate("Generic", column.toUtf8().constData());
}

} // namespace

HistoryDialog::HistoryDialog(
    const QString &patientName, const QList<ChangeHistory::Entry> &entries, QWidget *parent)
    : QDialog(parent)
    , table(new QTableWidget(entries.size(), 5, this))
{
    setWindowTitle(tr("History") + ": " + TextHelper::visibleText(patientName));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(MediaHelper::icon(QStringLiteral(":/icons/information.svg")));
    setMinimumSize(860, 420);
    table->setObjectName(QStringLiteral("historyList"));
    table->setHorizontalHeaderLabels({ tr("When"), tr("Who"), tr("What"), tr("Before"), tr("After") });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(true);
    table->verticalHeader()->hide();
    for (int column = 0; column < 3; ++column)
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    for (int row = 0; row < entries.size(); ++row) {
        const ChangeHistory::Entry &entry = entries.at(row);
        // Who: names another workstation wrote may hide characters as any stored text may.
        const QStringList cells { DateText::dateTime(entry.changedAt, true),
            TextHelper::visibleText(entry.user + '@' + entry.workstation), whatText(entry),
            valueText(entry.column, entry.oldValue), valueText(entry.column, entry.newValue) };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            // A whole row's values run over several lines; the change reads from its top.
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            table->setItem(row, column, item);
        }
    }
    table->resizeRowsToContents();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QCoreApplication::translate("Generic", "Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    if (entries.isEmpty())
        layout->addWidget(new QLabel(tr("No changes are recorded for this patient."), this));
    layout->addWidget(table);
    layout->addWidget(buttons);
}

QString HistoryDialog::whatText(const ChangeHistory::Entry &entry)
{
    const bool insert = entry.kind == QLatin1String("Insert");
    const bool remove = entry.kind == QLatin1String("Delete");
    if (entry.table == QLatin1String("Patients"))
        return insert ? tr("Patient created")
            : remove  ? tr("Patient removed")
                      : tr("Patient") + ": " + columnName(entry.column);
    if (entry.table == QLatin1String("Records"))
        return insert ? tr("Recording added")
            : remove  ? tr("Recording removed")
                      : tr("Recording") + ": " + columnName(entry.column);
    if (entry.table == QLatin1String("Removals"))
        return insert ? tr("Moved to the trash")
            : remove  ? tr("Removed from the trash for good")
                      : tr("Restored from the trash");
    return entry.kind + ' ' + entry.table + ' ' + entry.column;
}

QString HistoryDialog::valueText(const QString &column, const QString &value)
{
    if (column == QLatin1String("Sex"))
        return QCoreApplication::translate("PatientGender", value.toUtf8().constData());
    if (column == QLatin1String("Hand"))
        return QCoreApplication::translate("PatientHandness", value.toUtf8().constData());
    if (!column.isEmpty() || !value.startsWith(QLatin1Char('{')))
        return TextHelper::visibleText(readable(value));
    // A whole row: its filled columns, one a line.
    QStringList lines;
    const QJsonObject row = QJsonDocument::fromJson(value.toUtf8()).object();
    for (auto it = row.constBegin(); it != row.constEnd(); ++it) {
        // The row's own number is the change's; empty, zero and unspecified values say nothing.
        const QString text = it.value().toString().trimmed();
        if (it.key() == QLatin1String("AutoID") || it.key() == QLatin1String("RecordID") || text.isEmpty()
            || text == QLatin1String("0") || text.endsWith(QLatin1String("_Unspecified")))
            continue;
        const bool named = it.key() == QLatin1String("Sex") || it.key() == QLatin1String("Hand");
        lines << columnName(it.key()) + ": "
                + (named ? valueText(it.key(), text) : TextHelper::visibleText(readable(text)));
    }
    return lines.join(QLatin1Char('\n'));
}
