#include "itemgridbaseline.h"

#include "app/tables/tablewidget.h"
#include "db/rows/abstractdatabaserow.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

QString oldCellText(const QString &column, const QString &text)
{
    if ((column == QLatin1String("Age") && text == QLatin1String("-1"))
        || (column == QLatin1String("Temperature") && text == QLatin1String("0")))
        return QStringLiteral("-");
    return text;
}

} // namespace

ItemGridBaseline::ItemGridBaseline(QWidget *host, TableWidget *table)
    : host(host)
    , layout(new QVBoxLayout(host))
    , table(table)
{
    layout->setContentsMargins(0, 0, 0, 0);
}

int ItemGridBaseline::rowCount() const
{
    return grid ? grid->rowCount() : 0;
}

void ItemGridBaseline::rebuild(const QList<AbstractDatabaseRow *> &rows, int selectedId)
{
    if (grid) {
        grid->blockSignals(true);
        grid->horizontalHeader()->blockSignals(true);
        grid->hide();
        grid->setParent(nullptr);
        grid->deleteLater();
    }
    grid = new QTableWidget();
    layout->addWidget(grid);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setObjectName(QStringLiteral("sortableTable"));
    // The old wiring, to handlers that do nothing.
    QHeaderView *header = grid->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QWidget::customContextMenuRequested, host, [] {});
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, host, [] {});
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, host, [] {});
    QObject::connect(grid, &QTableWidget::cellClicked, host, [] {});
    QObject::connect(grid, &QTableWidget::cellDoubleClicked, host, [] {});

    QList<TableColumn> shown;
    const QList<TableColumn> all = table->availableColumns();
    for (const QString &name : table->shownColumnNames()) {
        for (const TableColumn &column : all) {
            if (column.name == name)
                shown.append(column);
        }
    }
    QStringList captions;
    for (const TableColumn &column : shown)
        captions.append(column.caption());
    int sortColumn = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    const QString sorting = table->savedSorting();
    const int named = table->shownColumnNames().indexOf(sorting.mid(1));
    if ((sorting.startsWith(QLatin1Char('+')) || sorting.startsWith(QLatin1Char('-'))) && named >= 0) {
        sortColumn = named;
        sortOrder = sorting.startsWith(QLatin1Char('-')) ? Qt::DescendingOrder : Qt::AscendingOrder;
    }

    grid->setColumnCount(shown.size());
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->hide();
    grid->setIconSize(QSize(20, 20));
    grid->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        AbstractDatabaseRow *row = rows.at(r);
        const int id = row->getId();
        for (int c = 0; c < shown.size(); ++c) {
            const TableColumn &column = shown.at(c);
            auto *item = new QTableWidgetItem(oldCellText(column.name, row->getTextValue(column.name)));
            item->setTextAlignment(column.alignment | Qt::AlignVCenter);
            item->setData(Qt::UserRole, id);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c == 0)
                item->setIcon(table->rowIcon(row));
            grid->setItem(r, c, item);
        }
    }
    {
        const QSignalBlocker blocker(header);
        grid->setSortingEnabled(true);
    }
    bool anyStretch = false;
    for (int c = 0; c < shown.size(); ++c) {
        const TableColumn &column = shown.at(c);
        if (QTableWidgetItem *headerItem = grid->horizontalHeaderItem(c))
            headerItem->setTextAlignment(column.alignment);
        const auto mode = static_cast<QHeaderView::ResizeMode>(column.resizeMode);
        header->setSectionResizeMode(c, mode);
        if (mode == QHeaderView::Stretch)
            anyStretch = true;
        else if (mode == QHeaderView::Fixed)
            header->resizeSection(c, 9 * column.caption().length() + 40);
    }
    if (!anyStretch && !shown.isEmpty())
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    if (grid->columnCount() > 0) {
        const QSignalBlocker blocker(header);
        grid->sortByColumn(sortColumn, sortOrder);
    }
    grid->show();

    // The old selection restore walked every row.
    QItemSelection wanted;
    QTableWidgetItem *firstSelected = nullptr;
    const int lastColumn = grid->columnCount() - 1;
    for (int r = 0; r < grid->rowCount() && lastColumn >= 0; ++r) {
        QTableWidgetItem *first = grid->item(r, 0);
        if (!first || first->data(Qt::UserRole).toInt() != selectedId)
            continue;
        if (!firstSelected)
            firstSelected = first;
        wanted.select(grid->model()->index(r, 0), grid->model()->index(r, lastColumn));
    }
    grid->selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (firstSelected)
        grid->scrollToItem(firstSelected);
}
