#include "app/tablewidget.h"

#include "db/abstractdatabaserow.h"
#include "toolkit/style/stylehelper.h"

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
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

const QString EditAction = QStringLiteral("edit");
const QString ShowAction = QStringLiteral("show");
const QString NameGroup = QStringLiteral("name");

// What a cell shows for a row's text: an unknown age and a temperature never
// measured read as "-".
QString cellText(const QString &column, const QString &text)
{
    if ((column == QLatin1String("Age") && text == QLatin1String("-1"))
        || (column == QLatin1String("Temperature") && text == QLatin1String("0")))
        return QStringLiteral("-");
    return text;
}

} // namespace

TableWidget::TableWidget(QWidget *parent)
    : QWidget(parent)
    , layout(new QVBoxLayout(this))
{
    layout->setContentsMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
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

void TableWidget::setRows(const QList<AbstractDatabaseRow *> &newRows)
{
    rows.clear();
    for (AbstractDatabaseRow *row : newRows) {
        if (row)
            rows.append(row);
    }
    updateTable();
}

QList<AbstractDatabaseRow *> TableWidget::getRows() const
{
    QList<AbstractDatabaseRow *> result;
    for (const QPointer<AbstractDatabaseRow> &row : rows) {
        if (row)
            result.append(row);
    }
    return result;
}

void TableWidget::forgetRows()
{
    rows.clear();
    selectedRow = nullptr;
}

AbstractDatabaseRow *TableWidget::getSelectedRow() const
{
    return selectedRow;
}

int TableWidget::selectedItemId() const
{
    if (!table)
        return -1;
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->data(Qt::UserRole).toInt();
}

AbstractDatabaseRow *TableWidget::rowById(int id) const
{
    for (const QPointer<AbstractDatabaseRow> &row : rows) {
        if (row && row->getId() == id)
            return row;
    }
    return nullptr;
}

void TableWidget::selectRow(AbstractDatabaseRow *row)
{
    selectedRow = row;
    selectedId = row ? row->getId() : -1;
    emit idSelected(selectedId);
    if (!table)
        return;
    // Every cell of a row carries the row's id, so the first cell decides; the
    // matching rows are selected in one step, every other cell deselected.
    QItemSelection wanted;
    QTableWidgetItem *firstSelected = nullptr;
    const int lastColumn = table->columnCount() - 1;
    for (int r = 0; r < table->rowCount() && lastColumn >= 0; ++r) {
        QTableWidgetItem *first = table->item(r, 0);
        if (!first || first->data(Qt::UserRole).toInt() != selectedId)
            continue;
        if (!firstSelected)
            firstSelected = first;
        wanted.select(table->model()->index(r, 0), table->model()->index(r, lastColumn));
    }
    table->selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (firstSelected)
        table->scrollToItem(firstSelected);
}

void TableWidget::setSelectedId(int id, bool apply)
{
    selectedId = id;
    if (apply)
        selectRow(rowById(id));
}

void TableWidget::updateTable()
{
    bool hadFocus = false;
    if (table) {
        hadFocus = table->hasFocus();
        // The old grid may be the sender of the signal that led here (a click
        // whose handler reloaded the rows), so it goes later, silenced.
        table->blockSignals(true);
        table->horizontalHeader()->blockSignals(true);
        table->hide();
        table->setParent(nullptr);
        table->deleteLater();
        table = nullptr;
    }

    table = new QTableWidget();
    layout->addWidget(table);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setObjectName(QStringLiteral("sortableTable"));
    wireGrid();

    const QList<TableColumn> shown = resolveColumns(availableColumns());
    QStringList names;
    QStringList captions;
    for (const TableColumn &column : shown) {
        names.append(column.name);
        captions.append(column.caption());
    }

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

    if (names != columnNames)
        columnNames = names;

    table->setColumnCount(shown.size());
    table->setHorizontalHeaderLabels(captions);
    table->verticalHeader()->hide();
    table->setIconSize(QSize(20, 20));
    fillGrid(shown);
    {
        // Switching sorting on sorts by the header's current indicator; that
        // is no choice of the user's and must not be reported.
        const QSignalBlocker blocker(table->horizontalHeader());
        table->setSortingEnabled(true);
    }
    sizeHeaderSections(shown);
    if (table->columnCount() > 0) {
        const QSignalBlocker blocker(table->horizontalHeader());
        table->sortByColumn(sortColumn, sortOrder);
    }

    // Shown now rather than when the layout gets round to it, so that no
    // event passes with the old grid gone and the new one not yet there.
    table->show();
    // Keyboard work goes on in the new grid when the records change under it.
    if (hadFocus)
        table->setFocus();
    selectRow(rowById(selectedId));
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
    connect(table, &QTableWidget::cellClicked, this, [this] { selectRow(rowById(selectedItemId())); });
    connect(table, &QTableWidget::cellDoubleClicked, this, [this] { runDoubleClickRule(); });
    table->installEventFilter(this);
    table->viewport()->installEventFilter(this);
}

void TableWidget::fillGrid(const QList<TableColumn> &shown)
{
    QList<AbstractDatabaseRow *> live = getRows();
    table->setRowCount(live.size());
    for (int r = 0; r < live.size(); ++r) {
        AbstractDatabaseRow *row = live.at(r);
        const int id = row->getId();
        for (int c = 0; c < shown.size(); ++c) {
            const TableColumn &column = shown.at(c);
            auto *item = new QTableWidgetItem(cellText(column.name, row->getTextValue(column.name)));
            item->setTextAlignment(column.alignment | Qt::AlignVCenter);
            item->setData(Qt::UserRole, id);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c == 0)
                item->setIcon(rowIcon(row));
            table->setItem(r, c, item);
        }
    }
}

void TableWidget::sizeHeaderSections(const QList<TableColumn> &shown)
{
    QHeaderView *header = table->horizontalHeader();
    bool anyStretch = false;
    for (int c = 0; c < shown.size(); ++c) {
        const TableColumn &column = shown.at(c);
        if (QTableWidgetItem *headerItem = table->horizontalHeaderItem(c))
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
    if (id <= 0)
        return;
    const QString action = doubleClickAction();
    if (action == EditAction)
        emit editRow(id);
    else
        emit customAction(action, id);
}

bool TableWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (table && watched == table->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        // A right click opens the row menu for the row under the mouse and
        // leaves the selection where it was.
        return true;
    }
    if (table && watched == table && event->type() == QEvent::KeyRelease) {
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

void TableWidget::fillColumnMenu(QMenu *menu)
{
    menu->clear();
    const QList<TableColumn> all = availableColumns();
    if (all.isEmpty())
        return;

    if (all.first().group == NameGroup) {
        menu->addAction(QCoreApplication::translate("Generic", "By name") + QLatin1Char(':'))
            ->setEnabled(false);
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
        menu->addAction(QCoreApplication::translate("Generic", "Other columns") + QLatin1Char(':'))
            ->setEnabled(false);
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
    if (!table)
        return nullptr;
    QTableWidgetItem *item = table->itemAt(pos);
    if (!item)
        return nullptr;
    const QVariant idValue = item->data(Qt::UserRole);
    if (!idValue.isValid())
        return nullptr;
    const int id = idValue.toInt();
    if (id <= 0)
        return nullptr;

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rowMenu"));
    for (auto it = customActions.cbegin(); it != customActions.cend(); ++it) {
        if (!it.value())
            continue;
        QAction *entry = menu->addAction(it.value()->icon(), it.value()->text());
        entry->setObjectName(QStringLiteral("rowAction_") + it.key());
        const QString key = it.key();
        connect(entry, &QAction::triggered, this, [this, key, id] { emit customAction(key, id); });
    }
    const QString white = QStringLiteral("#FFF");
    QAction *edit = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/edit.svg"), white),
        QCoreApplication::translate("Generic", "Edit"));
    edit->setObjectName(QStringLiteral("rowAction_edit"));
    connect(edit, &QAction::triggered, this, [this, id] { emit editRow(id); });
    QAction *show = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/folder.svg"), white),
        QCoreApplication::translate("Generic", "Show in explorer"));
    show->setObjectName(QStringLiteral("rowAction_show"));
    connect(show, &QAction::triggered, this, [this, id] { emit customAction(ShowAction, id); });
    QAction *remove = menu->addAction(StyleHelper::ColoredIcon(QStringLiteral(":/icons/delete.svg"), white),
        QCoreApplication::translate("Generic", "Remove"));
    remove->setObjectName(QStringLiteral("rowAction_remove"));
    connect(remove, &QAction::triggered, this, [this, id] { emit removeRow(id); });
    return menu;
}

void TableWidget::showRowMenu(const QPoint &pos)
{
    QMenu *menu = createRowMenu(pos);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(QCursor::pos());
}
