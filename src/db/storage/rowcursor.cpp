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

void RowCursor::share(int field, QString *text) const
{
    if (field < 0 || text->isEmpty())
        return;
    if (recent.size() <= field * sharedPerField) {
        recent.resize((field + 1) * sharedPerField);
        nextSlot.resize(field + 1);
    }
    QString *kept = recent.data() + field * sharedPerField;
    for (int i = 0; i < sharedPerField; ++i) {
        if (kept[i] == *text) {
            *text = kept[i];
            return;
        }
    }
    kept[nextSlot[field]] = *text;
    nextSlot[field] = quint8((nextSlot[field] + 1) % sharedPerField);
}
