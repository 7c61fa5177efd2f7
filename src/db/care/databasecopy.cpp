#include "db/care/databasecopy.h"

#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/serverroles.h"
#include "db/storage/databaselocation.h"
#include "db/storage/databasesupport.h"
#include "db/storage/schemamigrations.h"
#include "db/storage/sqldialect.h"
#include "db/storage/sqlitedialect.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>
#include <memory>

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

quint64 hashOf(const QString &text)
{
    const QByteArray digest = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1);
    quint64 sum = 0;
    for (int i = 0; i < 8; ++i)
        sum = (sum << 8) | quint8(digest.at(i));
    return sum;
}

// The rows, and per column the sum of its values' hashes, and of the whole
// rows': alike on both sides whatever order the rows are read in.
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
    while (query.next()) {
        QString whole;
        for (int i = 0; i < table.columns.size(); ++i) {
            const QString text = normalized(query.value(i), table.types.at(i));
            (*sums)[i] += hashOf(text);
            whole += text + QLatin1Char('\x1f');
        }
        (*sums)[table.columns.size()] += hashOf(whole);
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

bool copyRows(const QSqlDatabase &source, Database *target, const Table &table, QString *reason)
{
    QSqlQuery read(source);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT ") + table.columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM ") + table.name)) {
        *reason = reasonOf(read.lastError());
        return false;
    }
    QStringList marks;
    for (int i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery write(target->database());
    if (!write.prepare(QStringLiteral("INSERT INTO ") + table.name + QStringLiteral(" (")
            + table.columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
            + marks.join(QStringLiteral(", ")) + QLatin1Char(')'))) {
        *reason = reasonOf(write.lastError());
        return false;
    }
    while (read.next()) {
        for (int i = 0; i < table.columns.size(); ++i)
            write.bindValue(i, read.value(i));
        if (!write.exec()) {
            *reason = DatabaseCopy::tr("%1, row %2: %3")
                          .arg(table.name, read.value(0).toString(), reasonOf(write.lastError()));
            return false;
        }
    }
    if (read.lastError().isValid()) {
        *reason = reasonOf(read.lastError());
        return false;
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

bool DatabaseCopy::copy(const QString &sourceFile, Database *target, QString *report)
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
        if (!switchTriggers(table, false) || !copyRows(from, target, table, &why)
            || !followIdentities(target, table, &why) || !switchTriggers(table, true))
            return refuse(why);
        QVector<quint64> copied;
        QVector<quint64> original;
        qint64 copiedRows = 0;
        qint64 originalRows = 0;
        if (!checksums(from, table, &original, &originalRows, &why)
            || !checksums(target->database(), table, &copied, &copiedRows, &why))
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
    if (!write.commit(&why))
        return refuse(why);
    target->reloadPatients();
    *report = tr("Copied to %1, every column checked:").arg(target->location().describe()) + QLatin1Char('\n')
        + lines.join(QLatin1Char('\n'));
    return true;
}
