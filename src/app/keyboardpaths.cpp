#include "app/keyboardpaths.h"

#include "app/patienteditor.h"
#include "app/tables/patientslistwidget.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>

namespace
{

bool canTakeFocus(const QWidget *widget)
{
    return widget && widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus);
}

} // namespace

KeyboardPaths::KeyboardPaths(PatientsListWidget *patients, QWidget *newExamination, PatientEditor *card,
    TableWidget *records, QObject *parent)
    : QObject(parent)
    , patients(patients)
    , newExamination(newExamination)
    , card(card)
    , records(records)
{
    for (QWidget *stop :
        { static_cast<QWidget *>(patients->searchField()), static_cast<QWidget *>(patients->grid()),
            newExamination, static_cast<QWidget *>(records->grid()) })
        stop->installEventFilter(this);
    // The card is rebuilt for every patient and moved by the card view.
    card->installEventFilter(this);
    followCard();
}

QList<QWidget *> KeyboardPaths::stops() const
{
    QList<QWidget *> list { patients->searchField(), patients->grid(), newExamination };
    for (QTabBar *tabs : card->findChildren<QTabBar *>()) {
        if (tabs->isVisible())
            list << tabs;
    }
    list << records->grid();
    return list;
}

void KeyboardPaths::followCard()
{
    cardCheckPending = false;
    for (QTabBar *tabs : card->findChildren<QTabBar *>()) {
        tabs->setFocusPolicy(Qt::TabFocus);
        tabs->installEventFilter(this);
    }
    // Its pages scroll by the wheel; a focus on them would be invisible and lead nowhere.
    for (QAbstractScrollArea *area : card->findChildren<QAbstractScrollArea *>())
        area->setFocusPolicy(Qt::NoFocus);
}

void KeyboardPaths::moveFocus(QWidget *from, bool forward)
{
    const QList<QWidget *> list = stops();
    const int count = list.size();
    const int at = list.indexOf(from);
    for (int step = 1; step < count; ++step) {
        QWidget *next = list.at(((at + (forward ? step : -step)) % count + count) % count);
        if (canTakeFocus(next)) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            // The grid puts its cursor on the first row without selecting it, and
            // Down then starts from there.
            if (next == patients->grid())
                selectFirstRow(patients);
            else if (next == records->grid())
                selectFirstRow(records);
            return;
        }
    }
}

void KeyboardPaths::enterList()
{
    patients->grid()->setFocus(Qt::OtherFocusReason);
    selectFirstRow(patients);
}

void KeyboardPaths::selectFirstRow(TableWidget *table)
{
    QTableView *grid = table->grid();
    if (table->getSelectedRow() || grid->model()->rowCount() == 0)
        return;
    table->setSelectedId(grid->model()->index(0, 0).data(Qt::UserRole).toInt(), true);
}

bool KeyboardPaths::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == card) {
        if ((event->type() == QEvent::ChildAdded || event->type() == QEvent::ParentChange)
            && !cardCheckPending) {
            cardCheckPending = true;
            QMetaObject::invokeMethod(this, &KeyboardPaths::followCard, Qt::QueuedConnection);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && modifiers == Qt::NoModifier) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!stops().contains(widget))
            return false;
        moveFocus(widget, key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (watched == patients->searchField() && modifiers == Qt::NoModifier
        && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        enterList();
        return true;
    }
    return false;
}
