#include "app/trashdialog.h"

#include "app/rolegate.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

// A recording's description keeps its date as it was written at the removal;
// it shows as every other date does.
QString shownDates(QString description)
{
    static const QRegularExpression written(QStringLiteral("\\b\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\\b"));
    const QRegularExpressionMatch match = written.match(description);
    if (match.hasMatch()) {
        const QDateTime at = QDateTime::fromString(match.captured(), QStringLiteral("yyyy-MM-dd HH:mm"));
        if (at.isValid())
            description.replace(match.capturedStart(), match.capturedLength(), DateText::dateTime(at));
    }
    return description;
}

} // namespace

TrashDialog::TrashDialog(Database *database, QWidget *parent)
    : QDialog(parent)
    , database(database)
    , table(new QTableWidget(this))
{
    setWindowTitle(tr("Recently removed"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(MediaHelper::icon(QStringLiteral(":/icons/delete.svg")));
    setMinimumSize(720, 360);
    table->setObjectName(QStringLiteral("removalsList"));
    table->setColumnCount(4);
    table->setHorizontalHeaderLabels({ tr("What"), tr("Removed"), tr("By"), tr("Size") });
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    auto *buttons = new QDialogButtonBox(this);
    restoreButton = buttons->addButton(tr("Restore"), QDialogButtonBox::ActionRole);
    restoreButton->setObjectName(QStringLiteral("restoreButton"));
    purgeButton = buttons->addButton(tr("Remove for good"), QDialogButtonBox::ActionRole);
    purgeButton->setObjectName(QStringLiteral("removeForGoodButton"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(QCoreApplication::translate("Generic", "Close"));
    close->setObjectName(QStringLiteral("closeButton"));
    connect(restoreButton, &QPushButton::clicked, this, &TrashDialog::restoreSelected);
    connect(purgeButton, &QPushButton::clicked, this, &TrashDialog::removeSelectedForGood);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(table, &QTableWidget::itemSelectionChanged, this, &TrashDialog::updateButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(buttons);
    refresh();
}

void TrashDialog::refresh()
{
    QString reason;
    removals = Trash(database).removals(&reason);
    if (!reason.isEmpty())
        AppHelper::warningMessage(tr("The trash cannot be read") + ":\n" + reason);
    table->setRowCount(removals.size());
    for (int row = 0; row < removals.size(); ++row) {
        const Trash::Removal &removal = removals.at(row);
        const QString what = (removal.wholePatient ? tr("Patient") : tr("Recording")) + ": "
            + TextHelper::visibleText(shownDates(removal.description));
        const QStringList cells { what, DateText::dateTime(removal.removedAt),
            removal.user + '@' + removal.workstation, FileUtilities::filesizeNice(removal.size, 1) };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column == 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    if (!removals.isEmpty())
        table->selectRow(0);
    updateButtons();
}

const Trash::Removal *TrashDialog::selected() const
{
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    return rows.isEmpty() || rows.first().row() >= removals.size() ? nullptr
                                                                   : &removals.at(rows.first().row());
}

void TrashDialog::updateButtons()
{
    restoreButton->setEnabled(selected());
    purgeButton->setEnabled(selected());
}

void TrashDialog::restoreSelected()
{
    const Trash::Removal *removal = selected();
    if (!removal || !RoleGate::permits(database, ServerRoles::Action::RestoreFromTrash))
        return;
    QString reason;
    const int patient = removal->patientRef;
    if (!Trash(database).restore(removal->id, &reason))
        AppHelper::warningMessage(
            tr("'%1' cannot be restored").arg(TextHelper::visibleText(removal->description)) + ":\n" + reason,
            tr("Restore"), MessageBox::Warning);
    else
        emit restored(patient);
    refresh();
}

void TrashDialog::removeSelectedForGood()
{
    const Trash::Removal *removal = selected();
    if (!removal || !RoleGate::permits(database, ServerRoles::Action::PurgeTrash))
        return;
    const QString text = tr("Remove '%1' for good?").arg(TextHelper::visibleText(removal->description))
        + "\n\n"
        + tr("Its rows and its recordings (%1) are deleted and cannot be restored.")
              .arg(FileUtilities::filesizeNice(removal->size, 1));
    if (!AppHelper::confirmDialog(tr("Remove for good"), text, MessageBox::Warning, {}, MessageBox::No))
        return;
    QString reason;
    QString folder;
    if (!Trash(database).purge(removal->id, &reason, &folder))
        AppHelper::warningMessage(reason, tr("Remove for good"), MessageBox::Warning);
    else if (!folder.isEmpty())
        emit foldersToDelete({ folder });
    refresh();
}
