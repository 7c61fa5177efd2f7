#include "db/storage/editconflict.h"

#include "db/storage/database.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "toolkit/util/texthelper.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

QString shownLiteral(
    const Database &database, AbstractDatabaseRow *row, const QString &column, const QVariant &shown)
{
    std::unique_ptr<AbstractDatabaseRow> blank = Database::blankLike(row);
    if (!blank)
        return QString();
    blank->setValue(column, shown);
    return database.valueText(blank.get(), column);
}

} // namespace

void EditConflict::attach(Database *database)
{
    Database::ShownValueCheck check;
    check.condition = [database](AbstractDatabaseRow *row, const QString &column, const QVariant &shown) {
        return condition(*database, row, column, shown);
    };
    check.readsAsShown
        = [database](AbstractDatabaseRow *row, const QString &column, const QVariant &shown, QString *refusal) {
              const std::unique_ptr<AbstractDatabaseRow> stored = readHeld(database, row);
              if (readsAsShown(*database, stored.get(), row, column, shown))
                  return true;
              *refusal = reason(stored.get(), column);
              return false;
          };
    database->setShownValueCheck(std::move(check));
}

QString EditConflict::condition(
    const Database &database, AbstractDatabaseRow *row, const QString &column, const QVariant &shown)
{
    const QString literal = shownLiteral(database, row, column, shown);
    if (literal.isEmpty())
        return QString();
    return QStringLiteral(" AND ") + column
        + (literal == QLatin1String("NULL") ? QStringLiteral(" IS NULL") : QLatin1Char('=') + literal);
}

bool EditConflict::readsAsShown(const Database &database, AbstractDatabaseRow *stored,
    AbstractDatabaseRow *row, const QString &column, const QVariant &shown)
{
    return stored && database.valueText(stored, column) == shownLiteral(database, row, column, shown);
}

std::unique_ptr<AbstractDatabaseRow> EditConflict::readHeld(Database *database, AbstractDatabaseRow *row)
{
    std::unique_ptr<AbstractDatabaseRow> stored = Database::blankLike(row);
    if (!stored)
        return nullptr;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    const QString statement = QStringLiteral("SELECT * from ") + row->tableName() + QStringLiteral(" where ")
        + row->idColumnName() + QLatin1Char('=') + QString::number(row->getId())
        + QStringLiteral(" FOR UPDATE");
    if (!database->exec(query, statement) || !query.next())
        return nullptr;
    QVector<int> fields;
    for (const QString &name : stored->columnNames())
        fields.append(query.record().indexOf(name));
    stored->takeStoredValues(query, fields);
    return stored;
}

QString EditConflict::reason(AbstractDatabaseRow *stored, const QString &column)
{
    if (!stored)
        return tr("Another workstation has removed this entry meanwhile");
    QString text = stored->getTextValue(column);
    const QMetaObject *meta = stored->metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(column.toLatin1().constData()));
    if (property.isEnumType()) {
        const QMetaEnum values = property.enumerator();
        text = QCoreApplication::translate(values.name(), values.valueToKey(property.read(stored).toInt()));
    }
    return tr("Another workstation has changed it meanwhile to: %1").arg(TextHelper::visibleText(text));
}
