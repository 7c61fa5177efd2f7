#include "app/tables/rowkeys.h"

#include "app/tables/tablewidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

RowKeys::RowKeys(TableWidget *table)
    : QObject(table)
    , table(table)
{
    // Tab leaves the grid for the next part of the window instead of walking its cells.
    table->grid()->setTabKeyNavigation(false);
    table->grid()->installEventFilter(this);
}

RowKeys::Key RowKeys::keyOf(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return modifiers == Qt::NoModifier ? Activate : None;
    case Qt::Key_Delete:
        return modifiers == Qt::NoModifier ? Remove : None;
    case Qt::Key_F2:
        return modifiers == Qt::NoModifier ? Edit : None;
    case Qt::Key_E:
        return modifiers == Qt::ControlModifier ? Edit : None;
    case Qt::Key_Space:
    case Qt::Key_Menu:
        return modifiers == Qt::NoModifier ? Menu : None;
    case Qt::Key_F10:
        return modifiers == Qt::ShiftModifier ? Menu : None;
    default:
        return None;
    }
}

bool RowKeys::eventFilter(QObject *watched, QEvent *event)
{
    // The system turns the menu key into a context menu at the mouse pointer,
    // wherever that is; from the keyboard the menu belongs at the row.
    if (watched == table->grid() && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (table->selectedItemId() <= 0)
            return false;
        showMenu();
        return true;
    }
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (watched != table->grid() || !(override || event->type() == QEvent::KeyPress))
        return false;
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    const Key key = keyOf(keyEvent);
    const int id = table->selectedItemId();
    // Delete in a list with nothing selected must not fall through to removing the patient.
    if (key == None || (id <= 0 && key != Remove))
        return false;
    if (override) {
        // The row's own meaning wins over the window's shortcut for the same key.
        keyEvent->accept();
        return true;
    }
    if (id <= 0)
        return true;
    switch (key) {
    case Activate:
        table->runRowAction(table->doubleClickAction(), id);
        break;
    case Remove:
        table->runRowAction(QStringLiteral("remove"), id);
        break;
    case Edit:
        table->runRowAction(QStringLiteral("edit"), id);
        break;
    case Menu:
        showMenu();
        break;
    case None:
        break;
    }
    return true;
}

void RowKeys::showMenu()
{
    // The key and the system's context menu for it arrive both.
    if (QApplication::activePopupWidget())
        return;
    QTableView *grid = table->grid();
    const QModelIndex current = grid->selectionModel()->selectedRows().value(0);
    if (!current.isValid())
        return;
    grid->scrollTo(current);
    const QPoint at = grid->visualRect(current).center();
    QMenu *menu = table->createRowMenu(at);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    const QRect row = grid->visualRect(current);
    menu->popup(grid->viewport()->mapToGlobal(QPoint(row.left() + 16, row.bottom())));
}
