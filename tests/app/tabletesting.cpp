#include "tabletesting.h"

#include "toolkit/util/clock.h"

namespace tabletest
{

bool Patients::add(Database &db)
{
    using kestatest::addPatient;
    Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
    petrov = addPatient(db, "A1", "Petrov", "Ivan", Patient::Gender_Male, QDate(1980, 5, 1));
    smirnova = addPatient(db, "-1", "Smirnova", "Anna", Patient::Gender_Female);
    orlov = addPatient(db, "A3", "Orlov", {}, Patient::Gender_Unspecified, QDate(2014, 5, 1));
    kuznetsov = addPatient(db, "A4", "Kuznetsov", {}, Patient::Gender_Male, QDate(2015, 1, 1));
    volkova = addPatient(db, "A5", "Volkova", {}, Patient::Gender_Female, QDate(1924, 1, 1));
    return petrov > 0 && smirnova > 0 && orlov > 0 && kuznetsov > 0 && volkova > 0;
}

QModelIndex cell(QTableView *grid, int id, int column)
{
    const QAbstractItemModel *model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data(Qt::UserRole).toInt() == id)
            return model->index(r, column);
    }
    const QString name = grid->parentWidget()->objectName();
    QTest::qFail(qPrintable(name + " shows no row with id " + QString::number(id)), __FILE__, __LINE__);
    return QModelIndex();
}

QString text(QTableView *grid, int id, int column)
{
    if (column >= 0)
        return cell(grid, id, column).data().toString();
    const QModelIndex first = cell(grid, id);
    QStringList texts;
    for (int c = 0; first.isValid() && c < grid->model()->columnCount(); ++c)
        texts << first.siblingAtColumn(c).data().toString();
    return texts.join('|');
}

QPoint centre(QTableView *grid, int id, int column)
{
    return grid->visualRect(cell(grid, id, column)).center();
}

QStringList columnTexts(QTableView *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        texts << grid->model()->index(r, column).data().toString();
    return texts;
}

QList<int> rowIds(QTableView *grid)
{
    QList<int> ids;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        ids << grid->model()->index(r, 0).data(Qt::UserRole).toInt();
    return ids;
}

QStringList menuEntries(const QMenu *menu)
{
    QStringList entries;
    for (const QAction *action : menu->actions()) {
        const QString box = !action->isCheckable() ? "" : action->isChecked() ? "[x]" : "[ ]";
        const QString entry = (action->icon().isNull() ? "" : "*") + box + action->text();
        entries << (action->isEnabled() ? entry : '(' + entry + ')');
    }
    return entries;
}

QAction *action(QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions()) {
        if (action->objectName() == name)
            return action;
    }
    QTest::qFail(qPrintable(menu->objectName() + " has no action " + name), __FILE__, __LINE__);
    return new QAction(menu);
}

bool showTable(QWidget *table)
{
    table->resize(700, 400);
    table->show();
    return QTest::qWaitForWindowExposed(table);
}

} // namespace tabletest
