#include "db/storage/servercheck.h"

#include "db/storage/postgresdialect.h"

#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

QAtomicInt checks;

ServerCheck::Outcome failureOf(const QString &error)
{
    // libpq tells the causes apart only in its text, which is English whatever the locale.
    if (error.contains(QLatin1String("password authentication failed"))
        || error.contains(QLatin1String("no password supplied")))
        return ServerCheck::RefusedPassword;
    if (error.contains(QLatin1String("database \"")) && error.contains(QLatin1String("does not exist")))
        return ServerCheck::NoSuchDatabase;
    if (error.contains(QLatin1String("timeout expired"))
        || error.contains(QLatin1String("Connection refused"))
        || error.contains(QLatin1String("could not connect"))
        || error.contains(QLatin1String("could not translate")))
        return ServerCheck::NoAnswer;
    return ServerCheck::Failed;
}

} // namespace

ServerCheck ServerCheck::run(const DatabaseLocation &location)
{
    ServerCheck result;
    const QString name = QStringLiteral("kesta-server-check-%1").arg(checks.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        PostgresDialect().configure(db, location);
        if (!db.open()) {
            result.detail = db.lastError().text().trimmed();
            result.outcome = failureOf(result.detail);
        } else {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT Version FROM SchemaVersion")) && query.next()) {
                result.outcome = Connected;
                result.layoutVersion = query.value(0).toInt();
            } else {
                result.outcome = Empty;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QString ServerCheck::text(const DatabaseLocation &location) const
{
    switch (outcome) {
    case Connected:
        return tr("Connected: the database has layout version %1.").arg(layoutVersion);
    case Empty:
        return tr("Connected: the database is empty; the program lays it out at its next start.");
    case RefusedPassword:
        return tr("The server refused the password of %1 (libpq reads it from ~/.pgpass).")
            .arg(location.user);
    case NoAnswer:
        return tr("No answer from %1:%2 within %3 s.")
            .arg(location.host)
            .arg(location.port)
            .arg(location.timeoutSeconds);
    case NoSuchDatabase:
        return tr("The server has no database named %1.").arg(location.databaseName);
    case Failed:
        break;
    }
    return tr("The connection failed: %1").arg(detail);
}
