#include "db/care/databasecopy.h"

#include "db/model/datalocations.h"
#include "db/moving/recordingcopy.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/databaselocation.h"
#include "db/storage/databasesupport.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/patientidkeys.h"
#include "db/storage/schemamigrations.h"
#include "db/storage/serverroles.h"
#include "db/storage/sqldialect.h"
#include "db/storage/sqlitedialect.h"

#include <QDateTime>
#include <QHash>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>
#include <algorithm>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>
#include <xxhash.h>

using DatabaseSupport::reasonOf;

namespace
{

// The file as it is: opened for reading only, so nothing of it can change.
class ReadOnlySqlite : public SqliteDialect
{
public:
    QString databaseName(const QString &filePath) const override
    {
        return SqliteDialect::databaseName(filePath).replace(
            QLatin1String("mode=rw"), QLatin1String("mode=ro"));
    }
};

struct Table {
    QString name;
    QStringList columns;
    // Per column, the type the server stores, by which both sides' values are compared.
    QVector<int> types;
};

// A value as the column's type reads it, the same from the file (where dates
// and numbers may be text) and from the server.
QString normalized(const QVariant &value, int type)
{
    if (value.isNull())
        return QStringLiteral("\x01");
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.userType() == QMetaType::QString
            ? QDateTime::fromString(value.toString(), Qt::ISODate)
            : value.toDateTime();
        return dateTime.isValid() ? dateTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
                                  : QStringLiteral("\x02") + value.toString();
    }
    default:
        return value.toString();
    }
}

// A value's fingerprint for the sums below. XXH3 of the text as it is held:
// a cryptographic hash of every value made the check cost more than the copy.
quint64 hashOf(const QString &text)
{
    return XXH3_64bits(text.constData(), size_t(text.size()) * sizeof(QChar));
}

// The rows, and per column the sum of its values' hashes, and of the whole
// rows': alike on both sides whatever order the rows are read in.
void addToSums(const Table &table, const QVariantList &row, QVector<quint64> *sums)
{
    QString whole;
    for (int i = 0; i < table.columns.size(); ++i) {
        const QString text = normalized(row.at(i), table.types.at(i));
        (*sums)[i] += hashOf(text);
        whole += text + QLatin1Char('\x1f');
    }
    (*sums)[table.columns.size()] += hashOf(whole);
}

bool checksums(
    const QSqlDatabase &db, const Table &table, QVector<quint64> *sums, qint64 *rows, QString *reason)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM ") + table.name)) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    sums->fill(0, table.columns.size() + 1);
    *rows = 0;
    QVariantList row;
    while (query.next()) {
        row.clear();
        for (int i = 0; i < table.columns.size(); ++i)
            row.append(query.value(i));
        addToSums(table, row, sums);
        ++*rows;
    }
    if (query.lastError().isValid()) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    return true;
}

// The tables both hold (the version table aside: the server keeps its own),
// with the columns both have. False, with the reason, when the target's
// catalogue was not read, or not within the server's deadline.
bool commonTables(const QSqlDatabase &source, Database *target, QList<Table> *tables, QString *reason)
{
    QStringList names;
    for (const QString &name : source.tables()) {
        if (name.compare(QLatin1String("SchemaVersion"), Qt::CaseInsensitive) != 0)
            names << name;
    }
    const QSqlDatabase db = target->database();
    QStringList targetTables;
    QHash<QString, QSqlRecord> targetRecords;
    // A table the target holds has columns: none means its catalogue was not read.
    const bool read = target->callServer([&] {
        targetTables = db.tables();
        for (const QString &name : qAsConst(names)) {
            if (targetTables.contains(name, Qt::CaseInsensitive))
                targetRecords.insert(name, db.record(name.toLower()));
        }
        return !targetTables.isEmpty()
            && std::none_of(targetRecords.cbegin(), targetRecords.cend(),
                [](const QSqlRecord &record) { return record.isEmpty(); });
    });
    if (!read) {
        *reason = !target->givenUp().isEmpty() ? target->givenUp()
                                               : target->location().describe() + QStringLiteral(": ")
                + DatabaseCopy::tr("its tables could not be read");
        return false;
    }
    for (const QString &name : qAsConst(names)) {
        if (!targetRecords.contains(name))
            continue;
        const QSqlRecord from = source.record(name);
        const QSqlRecord &to = targetRecords[name];
        Table table { name, {}, {} };
        for (int i = 0; i < from.count(); ++i) {
            const int field = to.indexOf(from.fieldName(i));
            if (field >= 0) {
                table.columns << from.fieldName(i);
                table.types << int(to.field(field).type());
            }
        }
        *tables << table;
    }
    return true;
}

// How many rows one INSERT carries: one round trip per row made a clinic's
// move take minutes; a statement's bound values stay well under the server's
// limit of 65,535.
int rowsPerInsert(int columns)
{
    return qMax(1, qMin(1000, 30000 / qMax(1, columns)));
}

QString insertOf(const Table &table, int rows)
{
    QStringList marks;
    for (int i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << row;
    return QStringLiteral("INSERT INTO ") + table.name + QStringLiteral(" (")
        + table.columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ")
        + values.join(QStringLiteral(", "));
}

// The server's own connection, for COPY; null for another backend.
PGconn *serverOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.data());
}

// The date and time a value names, read without a time zone: a local
// QDateTime asks the system's zone for every value, which cost most of the
// copy. A text is ISO 8601 as the file stores it.
bool readDateTime(const QVariant &value, QDate *date, QTime *time)
{
    if (value.userType() == QMetaType::QDate) {
        *date = value.toDate();
        return date->isValid();
    }
    if (value.userType() == QMetaType::QDateTime) {
        const QDateTime dateTime = value.toDateTime();
        *date = dateTime.date();
        *time = dateTime.time();
        return dateTime.isValid();
    }
    const QString text = value.toString();
    *date = QDate::fromString(text.left(10), Qt::ISODate);
    if (!date->isValid() || text.size() == 10)
        return date->isValid();
    if (text.at(10) != QLatin1Char('T') && text.at(10) != QLatin1Char(' '))
        return false;
    *time = QTime::fromString(text.mid(11), Qt::ISODateWithMs);
    return time->isValid();
}

// A value in COPY's text format, written as the server prints the column's
// type back (its DateStyle ISO, shortest floats, hex bytea), so that the
// bytes sent and the bytes read back can be compared as they are. A value
// the type cannot read is sent as its text for the server to refuse.
void appendCopyValue(QByteArray &line, const QVariant &value, int type)
{
    if (value.isNull() || !value.isValid()) {
        line += "\\N";
        return;
    }
    const bool number = value.userType() != QMetaType::QString && value.userType() != QMetaType::QByteArray;
    QString text;
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        if (number && value.userType() != QMetaType::Double) {
            line += QByteArray::number(value.toLongLong());
            return;
        }
        text = value.toString();
        break;
    case QMetaType::Double:
        text = number ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
                      : value.toString();
        break;
    case QMetaType::Bool:
        text = number ? (value.toBool() ? QStringLiteral("t") : QStringLiteral("f")) : value.toString();
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        QDate date;
        QTime time(0, 0);
        if (!readDateTime(value, &date, &time)) {
            text = value.toString();
        } else if (type == QMetaType::QDate) {
            text = date.toString(Qt::ISODate);
        } else {
            text = date.toString(Qt::ISODate) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
            if (const int ms = time.msec()) {
                QString fraction = QString::number(ms).rightJustified(3, QLatin1Char('0'));
                while (fraction.endsWith(QLatin1Char('0')))
                    fraction.chop(1);
                text += QLatin1Char('.') + fraction;
            }
        }
        break;
    }
    case QMetaType::QByteArray:
        line += "\\\\x" + value.toByteArray().toHex();
        return;
    default:
        text = value.toString();
    }
    static const QString special = QStringLiteral("\\\t\n\r\b\f\v");
    bool plain = true;
    for (const QChar c : qAsConst(text)) {
        if (c.unicode() < 0x20 || c == QLatin1Char('\\')) {
            plain = plain && !special.contains(c);
            if (!plain)
                break;
        }
    }
    if (!plain) {
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\t'), QLatin1String("\\t"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"))
            .replace(QLatin1Char('\r'), QLatin1String("\\r"))
            .replace(QLatin1Char('\b'), QLatin1String("\\b"))
            .replace(QLatin1Char('\f'), QLatin1String("\\f"))
            .replace(QLatin1Char('\v'), QLatin1String("\\v"));
    }
    line += text.toUtf8();
}

// A file's text in COPY's text format, escaped as the server prints it.
void appendCopyText(QByteArray &line, const char *text, int size)
{
    int from = 0;
    for (int i = 0; i < size; ++i) {
        const char c = text[i];
        if (uchar(c) >= 0x20 && c != '\\')
            continue;
        const char *escape = c == '\\' ? "\\\\"
            : c == '\t'                ? "\\t"
            : c == '\n'                ? "\\n"
            : c == '\r'                ? "\\r"
            : c == '\b'                ? "\\b"
            : c == '\f'                ? "\\f"
            : c == '\v'                ? "\\v"
                                       : nullptr;
        if (!escape)
            continue;
        line.append(text + from, i - from);
        line += escape;
        from = i + 1;
    }
    line.append(text + from, size - from);
}

bool isDigits(const char *text, int size)
{
    for (int i = 0; i < size; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// A column of the file's current row in COPY's text format, as
// appendCopyValue writes it, read without a value object: the file's own
// date-times ("yyyy-MM-ddTHH:mm:ss") and texts go as the bytes they are.
void appendFileValue(QByteArray &line, sqlite3_stmt *row, int column, int type)
{
    const int stored = sqlite3_column_type(row, column);
    if (stored == SQLITE_NULL) {
        line += "\\N";
        return;
    }
    if (stored == SQLITE_TEXT && type != QMetaType::QByteArray) {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(row, column));
        const int size = sqlite3_column_bytes(row, column);
        const bool dateTime = type == QMetaType::QDateTime && size == 19 && text[10] == 'T' && text[4] == '-'
            && text[7] == '-' && text[13] == ':' && text[16] == ':' && isDigits(text, 4)
            && isDigits(text + 5, 2) && isDigits(text + 8, 2) && isDigits(text + 11, 2)
            && isDigits(text + 14, 2) && isDigits(text + 17, 2);
        if (dateTime) {
            const auto number = [text](int at, int digits) { return QByteArray(text + at, digits).toInt(); };
            if (QDate(number(0, 4), number(5, 2), number(8, 2)).isValid()
                && QTime(number(11, 2), number(14, 2), number(17, 2)).isValid()) {
                line.append(text, 10);
                line += ' ';
                line.append(text + 11, 8);
                return;
            }
        }
        const bool verbatim
            = type != QMetaType::QDate && type != QMetaType::QDateTime && type != QMetaType::Bool;
        if (verbatim) {
            appendCopyText(line, text, size);
            return;
        }
        appendCopyValue(line, QString::fromUtf8(text, size), type);
        return;
    }
    switch (stored) {
    case SQLITE_INTEGER:
        appendCopyValue(line, QVariant(qlonglong(sqlite3_column_int64(row, column))), type);
        return;
    case SQLITE_FLOAT:
        appendCopyValue(line, QVariant(sqlite3_column_double(row, column)), type);
        return;
    default:
        appendCopyValue(line,
            QByteArray(static_cast<const char *>(sqlite3_column_blob(row, column)),
                sqlite3_column_bytes(row, column)),
            type);
    }
}

// One COPY text line (without its line end) into the sums: each field's
// bytes and the whole line's, alike in any order of rows. Tabs inside values
// are escaped, so the fields split at every tab.
void addLineToSums(const char *line, int size, QVector<quint64> *sums)
{
    const int columns = sums->size() - 1;
    int column = 0;
    int start = 0;
    for (int i = 0; i <= size; ++i) {
        if (i < size && line[i] != '\t')
            continue;
        if (column < columns)
            (*sums)[column] += XXH3_64bits(line + start, size_t(i - start));
        ++column;
        start = i + 1;
    }
    (*sums)[columns] += XXH3_64bits(line, size_t(size));
}

QString serverReason(PGconn *server)
{
    return QString::fromUtf8(PQerrorMessage(server)).trimmed();
}

// What the server holds of the table, read through its COPY as text and
// summed like the lines sent: no row goes through a value object.
bool serverSums(PGconn *server, const Table &table, QVector<quint64> *sums, qint64 *rows, QString *reason)
{
    PGresult *started = PQexec(server,
        (QStringLiteral("COPY (SELECT ") + table.columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
            + table.name + QStringLiteral(") TO STDOUT"))
            .toUtf8()
            .constData());
    const bool copying = PQresultStatus(started) == PGRES_COPY_OUT;
    PQclear(started);
    if (!copying) {
        *reason = serverReason(server);
        return false;
    }
    sums->fill(0, table.columns.size() + 1);
    *rows = 0;
    char *line = nullptr;
    int size = 0;
    while ((size = PQgetCopyData(server, &line, 0)) > 0) {
        addLineToSums(line, line[size - 1] == '\n' ? size - 1 : size, sums);
        ++*rows;
        PQfreemem(line);
    }
    bool done = size == -1;
    while (PGresult *result = PQgetResult(server)) {
        done = done && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    if (!done)
        *reason = serverReason(server);
    return done;
}

// The handle of the file's connection, read directly where it is read most.
sqlite3 *fileOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

// The file's rows onto the server through one COPY stream per table, summed
// as they are sent.
bool copyIn(
    PGconn *server, sqlite3 *file, const Table &table, QVector<quint64> *sums, qint64 *count, QString *reason)
{
    sqlite3_stmt *read = nullptr;
    if (sqlite3_prepare_v2(file,
            (QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
                + table.name)
                .toUtf8()
                .constData(),
            -1, &read, nullptr)
        != SQLITE_OK) {
        *reason = QString::fromUtf8(sqlite3_errmsg(file));
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> finish(read, sqlite3_finalize);
    PGresult *started = PQexec(server,
        (QStringLiteral("COPY ") + table.name + QStringLiteral(" (")
            + table.columns.join(QStringLiteral(", ")) + QStringLiteral(") FROM STDIN"))
            .toUtf8()
            .constData());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    PQclear(started);
    if (!copying) {
        *reason = serverReason(server);
        return false;
    }
    QByteArray data;
    bool sent = true;
    int status = SQLITE_ROW;
    while (sent && (status = sqlite3_step(read)) == SQLITE_ROW) {
        const int lineStart = data.size();
        for (int i = 0; i < table.columns.size(); ++i) {
            if (i > 0)
                data += '\t';
            appendFileValue(data, read, i, table.types.at(i));
        }
        addLineToSums(data.constData() + lineStart, data.size() - lineStart, sums);
        data += '\n';
        ++*count;
        if (data.size() >= (1 << 20)) {
            sent = PQputCopyData(server, data.constData(), data.size()) == 1;
            data.clear();
        }
    }
    const bool readAll = !sent || status == SQLITE_DONE;
    if (!readAll)
        *reason = QString::fromUtf8(sqlite3_errmsg(file));
    sent = sent && readAll && (data.isEmpty() || PQputCopyData(server, data.constData(), data.size()) == 1);
    sent = PQputCopyEnd(server, sent ? nullptr : "the file could not be read") == 1 && sent;
    bool landed = sent;
    while (PGresult *result = PQgetResult(server)) {
        landed = landed && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    if (!landed && readAll)
        *reason = serverReason(server);
    return landed;
}

// Each row as one INSERT, from the start, to name the first one the target
// refuses.
void nameRefusedRow(const QSqlDatabase &source, Database *target, const Table &table, QString *reason)
{
    QSqlQuery read(source);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM ") + table.name))
        return;
    QVariantList row;
    while (read.next()) {
        row.clear();
        for (int i = 0; i < table.columns.size(); ++i)
            row.append(read.value(i));
        QSqlQuery single(target->database());
        if (!target->execBound(single, insertOf(table, 1), row)) {
            *reason = DatabaseCopy::tr("%1, row %2: %3")
                          .arg(table.name, row.value(0).toString(), reasonOf(single.lastError()));
            return;
        }
    }
}

// One batch of rows as one INSERT of many rows. When the target refuses it,
// the batch is undone to its savepoint and written again row by row, to name
// the row it refused.
bool insertBatch(Database *target, const Table &table, const QList<QVariantList> &rows, QString *reason)
{
    QSqlQuery mark(target->database());
    if (!target->exec(mark, QStringLiteral("SAVEPOINT kesta_copy_batch"))) {
        *reason = reasonOf(mark.lastError());
        return false;
    }
    QVariantList bound;
    for (const QVariantList &row : rows)
        bound += row;
    QSqlQuery write(target->database());
    if (target->execBound(write, insertOf(table, rows.size()), bound))
        return target->exec(mark, QStringLiteral("RELEASE SAVEPOINT kesta_copy_batch"));
    *reason = reasonOf(write.lastError());
    target->exec(mark, QStringLiteral("ROLLBACK TO SAVEPOINT kesta_copy_batch"));
    for (const QVariantList &row : rows) {
        QSqlQuery single(target->database());
        if (!target->execBound(single, insertOf(table, 1), row)) {
            *reason = DatabaseCopy::tr("%1, row %2: %3")
                          .arg(table.name, row.value(0).toString(), reasonOf(single.lastError()));
            // Its prepared statement can be let go only outside the failed batch.
            target->exec(mark, QStringLiteral("ROLLBACK TO SAVEPOINT kesta_copy_batch"));
            break;
        }
    }
    return false;
}

// The file's rows onto the target, summed as they are read (checksums, or
// addLineToSums on a server), so that the file is read once. On a server the
// whole table goes as one COPY; only when the server refuses it is the table
// undone and written again row by row, to name the row.
bool copyRows(const QSqlDatabase &source, Database *target, const Table &table, QVector<quint64> *sums,
    qint64 *count, QString *reason)
{
    sums->fill(0, table.columns.size() + 1);
    *count = 0;
    PGconn *server = serverOf(target->database());
    sqlite3 *file = fileOf(source);
    if (server && file) {
        QSqlQuery mark(target->database());
        if (!target->exec(mark, QStringLiteral("SAVEPOINT kesta_copy_table"))) {
            *reason = reasonOf(mark.lastError());
            return false;
        }
        if (copyIn(server, file, table, sums, count, reason))
            return target->exec(mark, QStringLiteral("RELEASE SAVEPOINT kesta_copy_table"));
        target->exec(mark, QStringLiteral("ROLLBACK TO SAVEPOINT kesta_copy_table"));
        nameRefusedRow(source, target, table, reason);
        // Its prepared statement can be let go only outside the failed write.
        target->exec(mark, QStringLiteral("ROLLBACK TO SAVEPOINT kesta_copy_table"));
        return false;
    }
    QSqlQuery read(source);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM ") + table.name)) {
        *reason = reasonOf(read.lastError());
        return false;
    }
    const int batch = rowsPerInsert(table.columns.size());
    QList<QVariantList> rows;
    while (read.next()) {
        QVariantList row;
        row.reserve(table.columns.size());
        for (int i = 0; i < table.columns.size(); ++i)
            row.append(read.value(i));
        addToSums(table, row, sums);
        ++*count;
        rows.append(row);
        if (rows.size() == batch) {
            if (!insertBatch(target, table, rows, reason))
                return false;
            rows.clear();
        }
    }
    if (read.lastError().isValid()) {
        *reason = reasonOf(read.lastError());
        return false;
    }
    return rows.isEmpty() || insertBatch(target, table, rows, reason);
}

// The keys, unique constraints, foreign keys and indexes of the tables are
// dropped before the copy and made again after it, as a dump's restore does:
// the server builds an index over rows it holds far faster than it keeps one
// up to date row by row. All inside the copy's transaction, so a failure
// puts them back with everything else. restore gets the statements that
// make them again, in the order they must run.
bool setKeysAside(Database *target, const QList<Table> &tables, QStringList *restore, QString *reason)
{
    QStringList names;
    for (const Table &table : tables)
        names << QStringLiteral("to_regclass('%1')")
                     .arg(QString(table.name).replace(QLatin1Char('\''), QLatin1String("''")));
    const QString relations = QStringLiteral("ARRAY[") + names.join(QStringLiteral(", ")) + QLatin1Char(']');
    QSqlQuery constraints(target->database());
    if (!target->exec(constraints,
            QStringLiteral("SELECT format('ALTER TABLE %s DROP CONSTRAINT %I', conrelid::regclass, conname), "
                           "format('ALTER TABLE %s ADD CONSTRAINT %I %s', conrelid::regclass, conname, "
                           "pg_get_constraintdef(oid)), contype = 'f' "
                           "FROM pg_constraint WHERE contype IN ('p', 'u', 'f') "
                           "AND (conrelid = ANY(%1) OR confrelid = ANY(%1)) ORDER BY contype = 'f' DESC")
                .arg(relations))) {
        *reason = reasonOf(constraints.lastError());
        return false;
    }
    QStringList drops;
    QStringList keys;
    QStringList foreignKeys;
    while (constraints.next()) {
        drops << constraints.value(0).toString();
        (constraints.value(2).toBool() ? foreignKeys : keys) << constraints.value(1).toString();
    }
    QSqlQuery indexes(target->database());
    if (!target->exec(indexes,
            QStringLiteral(
                "SELECT format('DROP INDEX %s', indexrelid::regclass), pg_get_indexdef(indexrelid) "
                "FROM pg_index i WHERE indrelid = ANY(%1) AND NOT EXISTS (SELECT 1 FROM pg_constraint c "
                "WHERE c.conindid = i.indexrelid AND c.contype IN ('p', 'u', 'x'))")
                .arg(relations))) {
        *reason = reasonOf(indexes.lastError());
        return false;
    }
    QStringList plainIndexes;
    while (indexes.next()) {
        drops << indexes.value(0).toString();
        plainIndexes << indexes.value(1).toString();
    }
    for (const QString &drop : qAsConst(drops)) {
        QSqlQuery query(target->database());
        if (!target->exec(query, drop)) {
            *reason = reasonOf(query.lastError());
            return false;
        }
    }
    *restore = keys + plainIndexes + foreignKeys;
    return true;
}

bool runAll(Database *target, const QStringList &statements, QString *reason)
{
    for (const QString &statement : statements) {
        QSqlQuery query(target->database());
        if (!target->exec(query, statement)) {
            *reason = reasonOf(query.lastError());
            return false;
        }
    }
    return true;
}

// The recordings of every record, from the old data folder into the target's
// (the share), when they are not the same folder.
bool copyRecordings(
    Database &source, const QString &from, RecordingCopy *files, QStringList *missing, QString *reason)
{
    const QString oldFolder = QFileInfo(from).canonicalFilePath();
    if (oldFolder.isEmpty() || oldFolder == QFileInfo(DataLocations::dataFolder()).canonicalFilePath())
        return true;
    if (!source.reloadPatients()) {
        *reason = source.loadError();
        return false;
    }
    for (Patient *patient : source.patients()) {
        const QString folder = patient->folderName();
        for (Record *record : patient->records()) {
            const QString fileName = record->getFileName();
            if (fileName.isEmpty())
                continue;
            const QString original = QDir(oldFolder).filePath(QStringLiteral("Data/") + folder
                + QLatin1Char('/') + QString(fileName).replace(QLatin1Char('\\'), QLatin1Char('/')));
            if (!QFileInfo(original).isFile()) {
                missing->append(original);
                continue;
            }
            if (!DataLocations::isPlainFolderName(folder) || !RecordingFiles::staysInside(folder, fileName)) {
                // Never written outside its patient's folder.
                missing->append(original);
                continue;
            }
            if (!files->copy(original, DataLocations::recordingPath(folder, fileName), reason))
                return false;
        }
    }
    return true;
}

// Each self-numbering column's sequence past the highest copied value.
bool followIdentities(Database *target, const Table &table, QString *reason)
{
    const SqlDialect &dialect = target->dialect();
    const QString list = dialect.identityColumnsStatement(table.name);
    if (list.isEmpty())
        return true;
    QSqlQuery columns(target->database());
    if (!target->exec(columns, list)) {
        *reason = reasonOf(columns.lastError());
        return false;
    }
    QStringList names;
    while (columns.next())
        names << columns.value(0).toString();
    for (const QString &column : names) {
        QSqlQuery follow(target->database());
        if (!target->exec(follow, dialect.followIdentityStatement(table.name, column))) {
            *reason = reasonOf(follow.lastError());
            return false;
        }
    }
    return true;
}

} // namespace

bool DatabaseCopy::copy(
    const QString &sourceFile, Database *target, QString *report, const QString &recordingsFrom)
{
    QString why;
    QStringList lines;
    const auto refuse = [&](const QString &reason) {
        *report = tr("Nothing was copied") + QStringLiteral(":\n") + reason;
        return false;
    };
    if (!QFileInfo(sourceFile).isFile())
        return refuse(tr("There is no database file at %1").arg(sourceFile));
    PatientDatabase source(DatabaseLocation::sqliteFile(sourceFile), std::make_unique<ReadOnlySqlite>());
    const int version = SchemaMigrations::storedVersion(&source, &why);
    if (version < 1 || version > SchemaMigrations::CurrentVersion)
        return refuse(version < 1 ? why : tr("The file was written by a newer version of the program"));
    if (!target->isUsable(&why))
        return refuse(target->location().describe() + QStringLiteral(": ") + why);
    if (const ServerRoles *roles = ServerRoles::of(target)) {
        if (!ServerRoles::allows(roles->role(), ServerRoles::Action::MoveIn))
            return refuse(ServerRoles::refusal(roles->role(), roles->account(), ServerRoles::Action::MoveIn));
    }

    const QSqlDatabase from = source.database();
    QList<Table> tables;
    if (!commonTables(from, target, &tables, &why))
        return refuse(why);
    for (const Table &table : tables) {
        QSqlQuery count(target->database());
        if (!target->exec(count, QStringLiteral("SELECT count(*) FROM ") + table.name) || !count.next())
            return refuse(reasonOf(count.lastError()));
        if (count.value(0).toLongLong() > 0)
            return refuse(tr("The server database already holds rows in %1").arg(table.name));
    }

    Database::Transaction write(target);
    // The history arrives as the file kept it: the server's own triggers
    // would add every copied row to it as new, and stay off until the copy
    // commits (only the tables' owner may turn them off).
    const bool triggers = target->dialect().writesHistoryItself();
    const auto switchTriggers = [&](const Table &table, bool on) {
        QSqlQuery query(target->database());
        return !triggers
            || target->run(query,
                QStringLiteral("ALTER TABLE %1 %2 TRIGGER USER")
                    .arg(table.name, on ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE")),
                "TRIGGERS NOT SWITCHED", &why);
    };
    // The file's rows stream onto a server (copyRows), checked as text.
    PGconn *server = fileOf(from) ? serverOf(target->database()) : nullptr;
    // The server prints values back as they are sent (appendCopyValue).
    QStringList restore;
    if (server
        && (!runAll(target,
                { QStringLiteral("SET LOCAL DateStyle = 'ISO, YMD'"),
                    QStringLiteral("SET LOCAL extra_float_digits = 1"),
                    QStringLiteral("SET LOCAL bytea_output = 'hex'") },
                &why)
            || !setKeysAside(target, tables, &restore, &why)))
        return refuse(why);
    QVector<QVector<quint64>> originals;
    QVector<qint64> originalCounts;
    for (const Table &table : tables) {
        QVector<quint64> original;
        qint64 originalRows = 0;
        if (!switchTriggers(table, false) || !copyRows(from, target, table, &original, &originalRows, &why)
            || !switchTriggers(table, true))
            return refuse(why);
        originals << original;
        originalCounts << originalRows;
    }
    if (!runAll(target, restore, &why))
        return refuse(why);
    for (int t = 0; t < tables.size(); ++t) {
        const Table &table = tables.at(t);
        const QVector<quint64> &original = originals.at(t);
        const qint64 originalRows = originalCounts.at(t);
        QVector<quint64> copied;
        qint64 copiedRows = 0;
        if (!followIdentities(target, table, &why))
            return refuse(why);
        if (!(server ? serverSums(server, table, &copied, &copiedRows, &why)
                     : checksums(target->database(), table, &copied, &copiedRows, &why)))
            return refuse(why);
        if (copiedRows != originalRows)
            return refuse(tr("%1: %2 rows on the server, %3 in the file")
                              .arg(table.name)
                              .arg(copiedRows)
                              .arg(originalRows));
        for (int i = 0; i < table.columns.size(); ++i) {
            if (copied.at(i) != original.at(i))
                return refuse(
                    tr("%1: the column %2 differs on the server").arg(table.name, table.columns.at(i)));
        }
        if (copied.last() != original.last())
            return refuse(tr("%1: the rows differ on the server").arg(table.name));
        lines << tr("%1: %n rows", nullptr, int(originalRows)).arg(table.name);
    }
    // The keys of the ID rule, for the patients as copied.
    if (!PatientIdKeys::fillMissing(target, &why))
        return refuse(why);
    RecordingCopy files;
    QStringList missing;
    if (!recordingsFrom.isEmpty() && !copyRecordings(source, recordingsFrom, &files, &missing, &why)) {
        files.undo();
        return refuse(why);
    }
    if (!write.commit(&why)) {
        files.undo();
        return refuse(why);
    }
    if (!recordingsFrom.isEmpty())
        lines << tr("%n recordings copied into %1, each checked", nullptr, files.copied())
                     .arg(QDir::toNativeSeparators(DataLocations::patientsFolder()));
    for (const QString &file : missing)
        lines << tr("Not copied, missing in the old folder or named outside its patient's folder: %1")
                     .arg(QDir::toNativeSeparators(file));
    *report = tr("Copied to %1, every column checked:").arg(target->location().describe()) + QLatin1Char('\n')
        + lines.join(QLatin1Char('\n'));
    return true;
}
