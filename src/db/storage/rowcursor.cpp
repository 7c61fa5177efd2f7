#include "db/storage/rowcursor.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstring>

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
    share(field, text);
    return true;
}

bool RowCursor::typed(int field, int type, void *value) const
{
    Q_UNUSED(field)
    Q_UNUSED(type)
    Q_UNUSED(value)
    return false;
}

RowCursor::Sharing *RowCursor::sharingOf(int field) const
{
    if (field < 0)
        return nullptr;
    if (sharing.size() <= field)
        sharing.resize(field + 1);
    Sharing &shared = sharing[field];
    return shared.tried < 0 ? nullptr : &shared;
}

void RowCursor::counted(Sharing &shared, bool hit) const
{
    if (hit)
        ++shared.found;
    // Fewer than one in eight repeating: the comparisons cost more than the
    // few texts held once save.
    if (++shared.tried == trialTexts && shared.found < trialTexts / 8) {
        shared = Sharing();
        shared.tried = -1;
    }
}

void RowCursor::share(int field, QString *text) const
{
    Sharing *shared = text->isEmpty() ? nullptr : sharingOf(field);
    if (!shared)
        return;
    QVector<QString> &kept = shared->kept;
    // One place until a second, different text comes: reading a single row
    // makes no table.
    if (kept.isEmpty())
        kept.resize(1);
    else if (kept.size() == 1 && kept.at(0) != *text)
        kept.resize(sharedPerField);
    // One place per text: a hit costs a hash and one comparison, a miss
    // takes the place over.
    QString &place = kept[int(qHash(*text) & uint(kept.size() - 1))];
    const bool hit = place == *text;
    if (hit)
        *text = place;
    else
        place = *text;
    counted(*shared, hit);
}

QString RowCursor::decoded(const char *bytes, int size)
{
    for (int i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return QString::fromUtf8(bytes, size);
    }
    return QString::fromLatin1(bytes, size);
}

namespace
{

int digits(const char *bytes, int at, int count)
{
    int number = 0;
    for (int i = at; i < at + count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return -1;
        number = number * 10 + (bytes[i] - '0');
    }
    return number;
}

} // namespace

bool RowCursor::isoDate(const char *bytes, int size, QDate *date)
{
    if (size != 10 || bytes[4] != '-' || bytes[7] != '-')
        return false;
    *date = QDate(digits(bytes, 0, 4), digits(bytes, 5, 2), digits(bytes, 8, 2));
    return date->isValid();
}

bool RowCursor::isoDateTime(const char *bytes, int size, QDateTime *dateTime)
{
    QDate date;
    if (size != 19 || (bytes[10] != 'T' && bytes[10] != ' ') || bytes[13] != ':' || bytes[16] != ':'
        || !isoDate(bytes, 10, &date))
        return false;
    const QTime time(digits(bytes, 11, 2), digits(bytes, 14, 2), digits(bytes, 17, 2));
    if (!time.isValid())
        return false;
    *dateTime = QDateTime(date, time);
    return true;
}

void RowCursor::textFrom(int field, const char *bytes, int size, QString *text) const
{
    Sharing *shared = size > 0 ? sharingOf(field) : nullptr;
    if (!shared) {
        *text = decoded(bytes, size);
        return;
    }
    QVector<QByteArray> &keys = shared->keys;
    const auto same = [bytes, size](const QByteArray &key) {
        return key.size() == size && std::memcmp(key.constData(), bytes, size_t(size)) == 0;
    };
    if (keys.isEmpty()) {
        keys.resize(1);
        shared->kept.resize(1);
    } else if (keys.size() == 1 && !same(keys.at(0))) {
        keys.resize(sharedPerField);
        shared->kept.resize(sharedPerField);
    }
    const int place = int(qHashBits(bytes, size_t(size)) & uint(keys.size() - 1));
    const bool hit = same(keys.at(place));
    if (hit) {
        *text = shared->kept.at(place);
    } else {
        *text = decoded(bytes, size);
        keys[place] = QByteArray(bytes, size);
        shared->kept[place] = *text;
    }
    counted(*shared, hit);
}
