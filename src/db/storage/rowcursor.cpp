#include "db/storage/rowcursor.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

class QueryCursor : public RowCursor
{
public:
    explicit QueryCursor(QSqlQuery &query)
        : query(query)
        , record(query.record())
    {
    }
    bool next() override { return query.next(); }
    QVariant value(int field) const override { return query.value(field); }
    int indexOf(const QString &name) const override { return record.indexOf(name); }
    QString error() const override
    {
        const QSqlError error = query.lastError();
        if (!error.isValid())
            return QString();
        return error.databaseText().isEmpty() ? error.text() : error.databaseText();
    }

private:
    QSqlQuery &query;
    QSqlRecord record;
};

} // namespace

std::unique_ptr<RowCursor> RowCursor::of(QSqlQuery &query)
{
    return std::make_unique<QueryCursor>(query);
}

void RowCursor::share(int field, QString *text) const
{
    if (field < 0 || text->isEmpty())
        return;
    if (remembered.size() <= field)
        remembered.resize(field + 1);
    QVector<QString> &kept = remembered[field];
    // One place until a second, different text comes: reading a single row
    // makes no table.
    if (kept.isEmpty())
        kept.resize(1);
    else if (kept.size() == 1 && kept.at(0) != *text)
        kept.resize(sharedPerField);
    // One place per text: a hit costs a hash and one comparison, a miss
    // takes the place over.
    QString &place = kept[int(qHash(*text) & uint(kept.size() - 1))];
    if (place == *text)
        *text = place;
    else
        place = *text;
}
