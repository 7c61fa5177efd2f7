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

bool RowCursor::text(int field, QString *text) const
{
    const QVariant found = value(field);
    if (found.userType() != QMetaType::QString || found.isNull())
        return false;
    *text = *static_cast<const QString *>(found.constData());
    return true;
}

void RowCursor::share(int field, QString *text) const
{
    if (field < 0 || text->isEmpty())
        return;
    if (sharing.size() <= field)
        sharing.resize(field + 1);
    Sharing &shared = sharing[field];
    if (shared.tried < 0)
        return;
    QVector<QString> &kept = shared.kept;
    // One place until a second, different text comes: reading a single row
    // makes no table.
    if (kept.isEmpty())
        kept.resize(1);
    else if (kept.size() == 1 && kept.at(0) != *text)
        kept.resize(sharedPerField);
    // One place per text: a hit costs a hash and one comparison, a miss
    // takes the place over.
    QString &place = kept[int(qHash(*text) & uint(kept.size() - 1))];
    if (place == *text) {
        *text = place;
        ++shared.found;
    } else {
        place = *text;
    }
    // Fewer than one in eight repeating: the comparisons cost more than the
    // few texts held once save.
    if (++shared.tried == trialTexts && shared.found < trialTexts / 8) {
        shared.kept = QVector<QString>();
        shared.tried = -1;
    }
}
