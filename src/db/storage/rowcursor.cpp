#include "db/storage/rowcursor.h"

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
