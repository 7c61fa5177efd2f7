#include "app/tables/tablewidget.h"

#include "app/tables/rowkeys.h"
#include "app/tables/tablecolumnsizer.h"
#include "app/tables/tablefiltermodel.h"
#include "app/tables/tablegrid.h"
#include "app/tables/tablerowmodel.h"
#include "app/windowcommands.h"
#include "db/rows/abstractdatabaserow.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelper.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QCursor>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <vector>

namespace
{

const QString EditAction = QStringLiteral("edit");
const QString ShowAction = QStringLiteral("show");
const QString NameGroup = QStringLiteral("name");

} // namespace

TableWidget::TableWidget(QWidget *parent)
    : QWidget(parent)
    , layout(new QVBoxLayout(this))
    , table(new TableGrid(this))
    , rows(new TableRowModel(this, this))
    , shownRows(new TableFilterModel(rows))
    , sizer(new TableColumnSizer(table, rows))
{
    layout->setContentsMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    table->setObjectName(QStringLiteral("sortableTable"));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setIconSize(QSize(20, 20));
    table->setModel(shownRows);
    {
        // Switching sorting on sorts by the header's current indicator; that
        // is no choice of the user's and must not be reported.
        const QSignalBlocker blocker(table->horizontalHeader());
        table->setSortingEnabled(true);
    }
    wireGrid();
    new RowKeys(this);
    connect(StyleHelper::Instance(), &StyleHelper::changed, rows, &TableRowModel::refreshIcons);
    // Slices short enough that the field shows its focus, and keys are taken, at once.
    searchReader = new QTimer(this);
    searchReader->setInterval(0);
    connect(searchReader, &QTimer::timeout, this, [this] {
        if (rows->readSearchKeysFor(4))
            searchReader->stop();
    });
}

TableWidget::~TableWidget() = default;

QString TableWidget::doubleClickAction()
{
    return EditAction;
}

QIcon TableWidget::rowIcon(AbstractDatabaseRow *row)
{
    Q_UNUSED(row)
    return QIcon();
}

QString TableWidget::rowIconText(AbstractDatabaseRow *row)
{
    Q_UNUSED(row)
    return QString();
}

QString TableWidget::cellText(AbstractDatabaseRow *row, const QString &column)
{
    return row->getTextValue(column);
}

QVariant TableWidget::sortValue(AbstractDatabaseRow *row, const QString &column)
{
    const QVariant value = row->getValue(column);
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return value;
    default:
        return QVariant();
    }
}

QString TableWidget::searchText(AbstractDatabaseRow *row)
{
    QStringList texts;
    for (const TableColumn &column : rows->shownColumns())
        texts.append(cellText(row, column.name));
    return texts.join(QLatin1Char('\n'));
}

void TableWidget::addAboveGrid(QWidget *widget)
{
    layout->insertWidget(0, widget);
}

void TableWidget::refreshRow(AbstractDatabaseRow *row)
{
    rows->markEdited(row);
}

void TableWidget::prepareSearchTexts()
{
    searchReader->start();
}

void TableWidget::readSearchTextsAhead()
{
    searchTextsAhead = true;
}

void TableWidget::setRows(const QList<AbstractDatabaseRow *> &newRows)
{
    QList<AbstractDatabaseRow *> live;
    live.reserve(newRows.size());
    for (AbstractDatabaseRow *row : newRows) {
        if (row)
            live.append(row);
    }
    resetRows(live);
}

QBrush TableWidget::dimmedText() const
{
    return palette().brush(QPalette::Disabled, QPalette::Text);
}

QString TableWidget::rowToolTip(AbstractDatabaseRow *row)
{
    Q_UNUSED(row)
    return QString();
}

bool TableWidget::rowDimmed(AbstractDatabaseRow *row)
{
    Q_UNUSED(row)
    return false;
}

bool TableWidget::rowActionAllowed(const QString &action, int id)
{
    Q_UNUSED(action)
    Q_UNUSED(id)
    return true;
}

void TableWidget::appendRow(AbstractDatabaseRow *row)
{
    if (!row)
        return;
    rows->appendRows({ row });
    sizer->growFor({ rows->rowCount() - 1 });
}

void TableWidget::dropRow(AbstractDatabaseRow *row)
{
    if (!row)
        return;
    rows->removeRowsOf(row);
    if (selectedRow == row)
        selectRow(nullptr);
}

QList<AbstractDatabaseRow *> TableWidget::getRows() const
{
    return rows->liveRows();
}

void TableWidget::forgetRows()
{
    rows->forgetRows();
    selectedRow = nullptr;
}

AbstractDatabaseRow *TableWidget::getSelectedRow() const
{
    return selectedRow;
}

int TableWidget::selectedItemId() const
{
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().data(TableRowModel::IdRole).toInt();
}

AbstractDatabaseRow *TableWidget::rowById(int id) const
{
    for (int r : rows->rowsOf(id)) {
        if (AbstractDatabaseRow *row = rows->rowAt(r))
            return row;
    }
    return nullptr;
}

bool TableWidget::isShown(AbstractDatabaseRow *row) const
{
    for (int r : rows->rowsOf(row->getId())) {
        if (rows->rowAt(r) == row && shownRows->mapFromSource(rows->index(r, 0)).isValid())
            return true;
    }
    return false;
}

void TableWidget::selectRow(AbstractDatabaseRow *row)
{
    // A row the filter hides cannot be the selected one: what the user does
    // next (edit, record) must concern a row they see.
    if (row && !isShown(row))
        row = nullptr;
    selectedRow = row;
    selectedId = row ? row->getId() : -1;
    emit idSelected(selectedId);
    QItemSelection wanted;
    QModelIndex first;
    const int lastColumn = shownRows->columnCount() - 1;
    for (int r : rows->rowsOf(selectedId)) {
        const QModelIndex shown = shownRows->mapFromSource(rows->index(r, 0));
        if (!shown.isValid() || lastColumn < 0)
            continue;
        wanted.select(shown, shown.sibling(shown.row(), lastColumn));
        if (!first.isValid() || shown.row() < first.row())
            first = shown;
    }
    table->selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (first.isValid()) {
        // The keyboard goes on from the selected row.
        table->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        table->scrollTo(first);
    }
}

void TableWidget::setSelectedId(int id, bool apply)
{
    selectedId = id;
    if (apply)
        selectRow(rowById(id));
}

void TableWidget::setFilterText(const QString &text)
{
    if (!shownRows->setFilterText(text))
        return;
    letGoOfHiddenSelection();
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        table->scrollTo(selected.first());
}

QString TableWidget::filterText() const
{
    return shownRows->filterText();
}

int TableWidget::shownRowCount() const
{
    return shownRows->rowCount();
}

int TableWidget::totalRowCount() const
{
    return rows->rowCount();
}

QTableView *TableWidget::grid() const
{
    return table;
}

void TableWidget::letGoOfHiddenSelection()
{
    if (selectedRow && !isShown(selectedRow))
        selectRow(nullptr);
}

void TableWidget::updateTable()
{
    resetRows(rows->liveRows());
}

void TableWidget::resetRows(const QList<AbstractDatabaseRow *> &newRows)
{
    const QList<TableColumn> shown = resolveColumns(availableColumns());
    QStringList names;
    for (const TableColumn &column : shown)
        names.append(column.name);

    int sortColumn = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    const QString sorting = savedSorting();
    if (sorting.startsWith(QLatin1Char('+')) || sorting.startsWith(QLatin1Char('-'))) {
        const int index = names.indexOf(sorting.mid(1));
        if (index >= 0) {
            sortColumn = index;
            sortOrder = sorting.startsWith(QLatin1Char('-')) ? Qt::DescendingOrder : Qt::AscendingOrder;
        }
    }
    columnNames = names;
    // Sorted once, by the reset, in the saved order.
    shownRows->setSorting(sortColumn, sortOrder);
    rows->reset(newRows, shown);
    {
        // The saved sorting is no new choice of the user's: not reported.
        const QSignalBlocker blocker(table->horizontalHeader());
        table->horizontalHeader()->setSortIndicator(sortColumn, sortOrder);
    }
    sizer->sizeSections();
    selectRow(rowById(selectedId));
    if (searchTextsAhead)
        searchReader->start();
}

QList<TableColumn> TableWidget::resolveColumns(const QList<TableColumn> &all)
{
    QList<TableColumn> chosen;
    QStringList chosenNames;
    for (const QString &name : savedColumns()) {
        // A hand-edited list may name a column twice; it is shown once.
        if (chosenNames.contains(name))
            continue;
        for (const TableColumn &column : all) {
            if (!column.fixed && column.name == name) {
                chosen.append(column);
                chosenNames.append(name);
                break;
            }
        }
    }
    for (const TableColumn &column : all) {
        if (column.fixed)
            chosen.prepend(column);
    }
    if (chosen.isEmpty() && !all.isEmpty())
        chosen.append(all.first());
    return chosen;
}

void TableWidget::wireGrid()
{
    QHeaderView *header = table->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this] { showColumnMenu(); });
    connect(header, &QHeaderView::sortIndicatorChanged, this, &TableWidget::reportSorting);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &TableWidget::showRowMenu);
    connect(table, &QAbstractItemView::clicked, this, [this] { selectRow(rowById(selectedItemId())); });
    connect(table, &QAbstractItemView::doubleClicked, this, [this] { runDoubleClickRule(); });
    connect(rows, &TableRowModel::rowsRefreshed, this, [this](const QList<int> &refreshed) {
        sizer->growFor(refreshed);
        letGoOfHiddenSelection();
    });
    table->installEventFilter(this);
    table->viewport()->installEventFilter(this);
}

void TableWidget::reportSorting(int section, Qt::SortOrder order)
{
    if (section < 0 || section >= columnNames.size())
        return;
    const QString sign = order == Qt::DescendingOrder ? QStringLiteral("-") : QStringLiteral("+");
    emit sortingUpdated(sign + columnNames.at(section));
}

void TableWidget::runDoubleClickRule()
{
    const int id = selectedItemId();
    if (id > 0)
        runRowAction(doubleClickAction(), id);
}

void TableWidget::runRowAction(const QString &action, int id)
{
    if (!rowActionAllowed(action, id))
        return;
    if (action == EditAction)
        emit editRow(id);
    else if (action == QLatin1String("remove"))
        emit removeRow(id);
    else
        emit customAction(action, id);
}

bool TableWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == table->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        // A right click opens the row menu for the row under the mouse and
        // leaves the selection where it was.
        return true;
    }
    if (watched == table && event->type() == QEvent::KeyRelease) {
        // Moving through the grid with the keyboard selects like a click does,
        // so the highlighted row and the selected id never disagree.
        const int id = selectedItemId();
        if (id > 0 && id != selectedId)
            selectRow(rowById(id));
    }
    return QWidget::eventFilter(watched, event);
}

void TableWidget::showColumnMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("columnMenu"));
    fillColumnMenu(menu);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(QCursor::pos());
}

namespace
{

// A caption over a menu's entries: no command, so no mnemonic.
void addHeading(QMenu *menu, const QString &text)
{
    QAction *heading = menu->addAction(text);
    heading->setEnabled(false);
    heading->setProperty(WindowCommands::HeadingProperty, true);
}

} // namespace

void TableWidget::fillColumnMenu(QMenu *menu)
{
    menu->clear();
    const QList<TableColumn> all = availableColumns();
    if (all.isEmpty())
        return;

    if (all.first().group == NameGroup) {
        addHeading(menu, QCoreApplication::translate("Generic", "By name") + QLatin1Char(':'));
        auto *names = new QActionGroup(menu);
        names->setExclusive(true);
        for (const TableColumn &column : all) {
            if (column.group != NameGroup)
                continue;
            QAction *action = menu->addAction(column.translatedName());
            action->setObjectName(QStringLiteral("columnAction_") + column.name);
            action->setCheckable(true);
            action->setActionGroup(names);
            action->setChecked(columnNames.contains(column.name));
            const QString name = column.name;
            connect(action, &QAction::triggered, this, [this, all, name] { chooseNameColumn(all, name); });
        }
        menu->addAction(QString())->setEnabled(false);
        addHeading(menu, QCoreApplication::translate("Generic", "Other columns") + QLatin1Char(':'));
    }

    for (const TableColumn &column : all) {
        if (!column.group.isEmpty())
            continue;
        QAction *action = menu->addAction(column.translatedName());
        action->setObjectName(QStringLiteral("columnAction_") + column.name);
        action->setCheckable(true);
        if (column.fixed) {
            action->setChecked(true);
            action->setEnabled(false);
            continue;
        }
        action->setChecked(columnNames.contains(column.name));
        const QString name = column.name;
        connect(action, &QAction::triggered, this, [this, name] { toggleColumn(name); });
    }
}

void TableWidget::chooseNameColumn(const QList<TableColumn> &all, const QString &name)
{
    QStringList names = columnNames;
    for (const TableColumn &column : all) {
        if (column.group == NameGroup)
            names.removeOne(column.name);
    }
    names.prepend(name);
    emit headerColumnsUpdated(names);
}

void TableWidget::toggleColumn(const QString &name)
{
    QStringList names = columnNames;
    if (names.contains(name))
        names.removeOne(name);
    else
        names.append(name);
    emit headerColumnsUpdated(names);
}

QMenu *TableWidget::createRowMenu(const QPoint &pos)
{
    const QModelIndex index = table->indexAt(pos);
    if (!index.isValid())
        return nullptr;
    const QVariant idValue = index.data(TableRowModel::IdRole);
    if (!idValue.isValid())
        return nullptr;
    const int id = idValue.toInt();
    if (id <= 0)
        return nullptr;

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    for (auto it = customActions.cbegin(); it != customActions.cend(); ++it) {
        if (!it.value() || !rowActionAllowed(it.key(), id))
            continue;
        QAction *entry = menu->addAction(it.value()->icon(), it.value()->text());
        entry->setObjectName(QStringLiteral("rowAction_") + it.key());
        const QString key = it.key();
        connect(entry, &QAction::triggered, this, [this, key, id] { emit customAction(key, id); });
    }
    const QString white = QStringLiteral("#FFF");
    if (rowActionAllowed(EditAction, id)) {
        QAction *edit = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/edit.svg"), white),
            QCoreApplication::translate("Generic", "Edit"));
        edit->setObjectName(QStringLiteral("rowAction_edit"));
        connect(edit, &QAction::triggered, this, [this, id] { emit editRow(id); });
    }
    if (rowActionAllowed(ShowAction, id)) {
        QAction *show = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/folder.svg"), white),
            AppHelper::showInFolderCaption());
        show->setObjectName(QStringLiteral("rowAction_show"));
        connect(show, &QAction::triggered, this, [this, id] { emit customAction(ShowAction, id); });
    }
    if (rowActionAllowed(QStringLiteral("remove"), id)) {
        QAction *remove = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/delete.svg"), white),
            QCoreApplication::translate("Generic", "Remove"));
        remove->setObjectName(QStringLiteral("rowAction_remove"));
        connect(remove, &QAction::triggered, this, [this, id] { emit removeRow(id); });
    }
    if (!trailingActions.isEmpty())
        menu->addSeparator();
    for (const TrailingAction &trailing : qAsConst(trailingActions)) {
        QAction *entry = menu->addAction(trailing.caption);
        entry->setObjectName(QStringLiteral("rowAction_") + trailing.name);
        const auto run = trailing.run;
        connect(entry, &QAction::triggered, this, [run, id] { run(id); });
    }
    return menu;
}

void TableWidget::addTrailingAction(const QString &name, const QString &caption, std::function<void(int)> run)
{
    trailingActions.append({ name, caption, std::move(run) });
}

void TableWidget::showRowMenu(const QPoint &pos)
{
    QMenu *menu = createRowMenu(pos);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(QCursor::pos());
}
