#include "tabletesting.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTableView>
#include <QtTest>

namespace tabletest
{

QModelIndex cell(QTableView *grid, int id, int column)
{
    const QAbstractItemModel *model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->index(r, 0).data(Qt::UserRole).toInt() == id)
            return model->index(r, column);
    }
    QTest::qFail(
        qPrintable(
            QStringLiteral("%1 shows no row with id %2").arg(grid->parentWidget()->objectName()).arg(id)),
        __FILE__, __LINE__);
    return QModelIndex();
}

QString text(QTableView *grid, int id, int column)
{
    return cell(grid, id, column).data().toString();
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

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

QAction *action(const QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions()) {
        if (action->objectName() == name)
            return action;
    }
    QTest::qFail(qPrintable(QStringLiteral("the menu %1 has no action %2").arg(menu->objectName(), name)),
        __FILE__, __LINE__);
    return nullptr;
}

bool showTable(QWidget *table)
{
    table->resize(700, 400);
    table->show();
    return QTest::qWaitForWindowExposed(table);
}

int addRecord(Database &db, Patient *patient, const QDateTime &date, const QString &fileName, bool withFile)
{
    QFile file(DataLocations::recordingPath(patient->folderName(), fileName));
    if (withFile && !(QDir().mkpath(QFileInfo(file).absolutePath()) && file.open(QIODevice::WriteOnly)))
        return -1;
    return db.insertRecord(patient, date, fileName, "EEG", QString());
}

} // namespace tabletest
