#include "db/abstractdatabaserow.h"

#include "db/database.h"
#include "db/sqldialect.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

AbstractDatabaseRow::AbstractDatabaseRow(QObject *parent)
    : ZTSettings(QString(), false, parent, ZTSettings::XML)
{
}

int AbstractDatabaseRow::getId()
{
    return getValue(idColumnName()).toInt();
}

bool AbstractDatabaseRow::fromDatabaseValue(const QString &column, const QVariant &value)
{
    Q_UNUSED(column)
    Q_UNUSED(value)
    return false;
}

bool AbstractDatabaseRow::toDatabaseText(const QString &column, QString *text)
{
    Q_UNUSED(column)
    Q_UNUSED(text)
    return false;
}

void AbstractDatabaseRow::enableAutoUpdate()
{
    connect(this, &AbstractSettings::propertyChanged, this, &AbstractDatabaseRow::updateColumn,
        Qt::DirectConnection);
}

void AbstractDatabaseRow::load()
{
    if (!database)
        return;
    const bool wasBlocked = blockSignals(true);
    const QString table = tableName();
    const QString idColumn = idColumnName();
    const int id = getId();
    QSqlQuery query(database->database());
    for (const QString &column : columnNames()) {
        if (column == idColumn)
            continue;
        if (!database->exec(query, Database::readColumnStatement(table, column, idColumn, id)))
            continue;
        // No row reads as an invalid value, which keeps the default.
        const QVariant value = query.next() ? query.value(0) : QVariant();
        if (!fromDatabaseValue(column, value))
            setValue(column, value);
    }
    blockSignals(wasBlocked);
}

void AbstractDatabaseRow::updateColumn(const QString &column)
{
    if (!database)
        return;
    const int id = getId();
    if (id <= 0 || column == idColumnName())
        return;
    const QVariant value = getValue(column);
    QString text;
    if (toDatabaseText(column, &text)) {
        text = Database::quoted(text);
    } else {
        switch (value.userType()) {
        case QMetaType::Int:
        case QMetaType::Double:
            text = value.toString();
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            // NULL for an invalid date: date columns refuse an empty text, so
            // clearing a date would otherwise fail.
            text = database->dialect().dateLiteral(value);
            break;
        default:
            text = Database::quoted(value.toString());
            break;
        }
    }
    const QString statement = Database::writeColumnStatement(tableName(), column, text, idColumnName(), id);
    QSqlQuery query(database->database());
    if (!database->exec(query, statement)) {
        qDebug() << "NOT SET" << column << text << statement << query.lastError().text();
        return;
    }
    columnWritten(column);
}
