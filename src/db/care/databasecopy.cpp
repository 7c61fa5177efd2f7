#include "db/care/databasecopy.h"

#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/serverroles.h"
#include "db/storage/databaselocation.h"
#include "db/storage/databasesupport.h"
#include "db/storage/schemamigrations.h"
#include "db/storage/sqldialect.h"
#include "db/storage/sqlitedialect.h"
#include "db/model/datalocations.h"
#include "db/moving/recordingcopy.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>
#include <memory>
#include <libpq-fe.h>
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
// with the columns both have.
QList<Table> commonTables(const QSqlDatabase &source, const QSqlDatabase &target)
{
    QList<Table> tables;
    const QStringList targetTables = target.tables();
    for (const QString &name : source.tables()) {
        if (name.compare(QLatin1String("SchemaVersion"), Qt::CaseInsensitive) == 0
            || !targetTables.contains(name, Qt::CaseInsensitive))
            continue;
        const QSqlRecord from = source.record(name);
        const QSqlRecord to = target.record(name.toLower());
        Table table { name, {}, {} };
        for (int i = 0; i < from.count(); ++i) {
            const int field = to.indexOf(from.fieldName(i));
            if (field >= 0) {
                table.columns << from.fieldName(i);
                table.types << int(to.field(field).type());
            }
        }
        tables << table;
    }
    return tables;
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
    return QStringLiteral("INSERT INTO ") + table.name + QStringLiteral(" (") + table.columns.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES ") + values.join(QStringLiteral(", "));
}

// The server's own connection, for COPY; null for another backend.
PGconn *serverOf(const QSqlDatabase &connection)
{
    const QVariant handle = connection.driver() ? connection.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.data());
}

// A value in COPY's text format.
void appendCopyValue(QByteArray &line, const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        line += "\\N";
        return;
    }
    QString text;
    switch (value.userType()) {
    case QMetaType::Bool:
        text = value.toBool() ? QStringLiteral("t") : QStringLiteral("f");
        break;
    case QMetaType::QDate:
        text = value.toDate().toString(Qt::ISODate);
        break;
    case QMetaType::QDateTime:
        text = value.toDateTime().toString(Qt::ISODateWithMs);
        break;
    case QMetaType::QByteArray:
        text = QStringLiteral("\\x") + QString::fromLatin1(value.toByteArray().toHex());
        break;
    default:
        text = value.toString();
    }
    if (text.contains(QLatin1Char('\\')) || text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\t'), QLatin1String("\\t"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"))
            .replace(QLatin1Char('\r'), QLatin1String("\\r"));
    }
    line += text.toUtf8();
}

// The rows through the server's COPY: one stream, no statement per row.
bool copyIn(PGconn *server, const Table &table, const QList<QVariantList> &rows, QString *reason)
{
    PGresult *started = PQexec(server,
        (QStringLiteral("COPY ") + table.name + QStringLiteral(" (") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(") FROM STDIN"))
            .toUtf8()
            .constData());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    PQclear(started);
    if (!copying) {
        *reason = QString::fromUtf8(PQerrorMessage(server)).trimmed();
        return false;
    }
    QByteArray data;
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (i > 0)
                data += '\t';
            appendCopyValue(data, row.at(i));
        }
        data += '\n';
    }
    bool sent = PQputCopyData(server, data.constData(), data.size()) == 1;
    sent = PQputCopyEnd(server, sent ? nullptr : "not sent") == 1 && sent;
    bool landed = sent;
    while (PGresult *result = PQgetResult(server)) {
        landed = landed && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
    }
    if (!landed)
        *reason = QString::fromUtf8(PQerrorMessage(server)).trimmed();
    return landed;
}

// One batch of rows, through COPY on the server or as one INSERT of many
// rows. When the server refuses it, the batch is undone to its savepoint and
// written again row by row, to name the row it refused.
bool insertBatch(Database *target, const Table &table, const QList<QVariantList> &rows, QString *reason)
{
    QSqlQuery mark(target->database());
    if (!target->exec(mark, QStringLiteral("SAVEPOINT kesta_copy_batch"))) {
        *reason = reasonOf(mark.lastError());
        return false;
    }
    PGconn *server = serverOf(target->database());
    if (server) {
        if (copyIn(server, table, rows, reason))
            return target->exec(mark, QStringLiteral("RELEASE SAVEPOINT kesta_copy_batch"));
    } else {
        QVariantList bound;
        for (const QVariantList &row : rows)
            bound += row;
        QSqlQuery write(target->database());
        if (target->execBound(write, insertOf(table, rows.size()), bound))
            return target->exec(mark, QStringLiteral("RELEASE SAVEPOINT kesta_copy_batch"));
        *reason = reasonOf(write.lastError());
    }
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

// The file's rows onto the server, summed as they are read (checksums), so
// that the file is read once.
bool copyRows(const QSqlDatabase &source, Database *target, const Table &table, QVector<quint64> *sums,
    qint64 *count, QString *reason)
{
    sums->fill(0, table.columns.size() + 1);
    *count = 0;
    QSqlQuery read(source);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM ") + table.name)) {
        *reason = reasonOf(read.lastError());
        return false;
    }
    const int batch = serverOf(target->database()) ? 20000 : rowsPerInsert(table.columns.size());
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

// The recordings of every record, from the old data folder into the target's
// (the share), when they are not the same folder.
bool copyRecordings(Database &source, const QString &from, RecordingCopy *files, QStringList *missing, QString *reason)
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
            const QString original = QDir(oldFolder).filePath(QStringLiteral("Data/") + folder + QLatin1Char('/')
                + QString(fileName).replace(QLatin1Char('\\'), QLatin1Char('/')));
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

bool DatabaseCopy::copy(const QString &sourceFile, Database *target, QString *report, const QString &recordingsFrom)
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
    const QList<Table> tables = commonTables(from, target->database());
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
    for (const Table &table : tables) {
        QVector<quint64> copied;
        QVector<quint64> original;
        qint64 copiedRows = 0;
        qint64 originalRows = 0;
        if (!switchTriggers(table, false) || !copyRows(from, target, table, &original, &originalRows, &why)
            || !followIdentities(target, table, &why) || !switchTriggers(table, true))
            return refuse(why);
        if (!checksums(target->database(), table, &copied, &copiedRows, &why))
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
    target->reloadPatients();
    if (!recordingsFrom.isEmpty())
        lines << tr("%n recordings copied into %1, each checked", nullptr, files.copied())
                     .arg(QDir::toNativeSeparators(DataLocations::patientsFolder()));
    for (const QString &file : missing)
        lines << tr("Not copied, missing in the old folder or named outside its patient's folder: %1").arg(QDir::toNativeSeparators(file));
    *report = tr("Copied to %1, every column checked:").arg(target->location().describe()) + QLatin1Char('\n')
        + lines.join(QLatin1Char('\n'));
    return true;
}
