#include "support/testdatabase.h"

#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kestatest
{

namespace
{

    QStringList *collected = nullptr;
    QtMessageHandler previousHandler = nullptr;

    void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (collected && qstrcmp(context.category, "kesta.db.sql") == 0)
            collected->append(message);
        else if (previousHandler)
            previousHandler(type, context, message);
    }

} // namespace

bool resetDataFolder()
{
    QDir(DataLocations::dataFolder()).removeRecursively();
    return DataLocations::prepareDataFolders() == DataLocations::DatabaseFileState::Created;
}

bool rawExec(Database &database, const QString &sql)
{
    return QSqlQuery(database.database()).exec(sql);
}

QVariant rawValue(Database &database, const QString &sql)
{
    QSqlQuery query(database.database());
    return query.exec(sql) && query.next() ? query.value(0) : QVariant();
}

QStringList rawRows(Database &database, const QString &sql)
{
    QStringList rows;
    QSqlQuery query(database.database());
    if (!query.exec(sql))
        return { query.lastError().text() };
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < query.record().count(); ++i)
            fields << (query.value(i).isNull()
                    ? QStringLiteral("NULL")
                    : QStringLiteral("%1:%2").arg(query.value(i).typeName(), query.value(i).toString()));
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList statementsOf(const std::function<void()> &action)
{
    QStringList statements;
    collected = &statements;
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.db.sql.debug=true"));
    previousHandler = qInstallMessageHandler(collect);
    action();
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    collected = nullptr;
    return statements;
}

int addPatient(Database &database, const QString &patientId, const QString &lastName,
    const QString &firstName, int sex, const QDate &dob, const QString &city)
{
    Patient patient;
    patient.setPatientID(patientId);
    patient.setLastName(lastName);
    patient.setFirstName(firstName);
    patient.setSex(static_cast<Patient::PatientGender>(sex));
    patient.setDOB(dob);
    patient.setCity(city);
    return database.insertPatient(&patient);
}

OtherConnection::OtherConnection(const QString &filePath)
    : name(QStringLiteral("other"))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(filePath);
    // Its own locks are waited for briefly, so that a test never hangs on it.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
    if (!db.open())
        qFatal("cannot open %s", qPrintable(filePath));
}

OtherConnection::~OtherConnection()
{
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

bool OtherConnection::exec(const QString &sql)
{
    return QSqlQuery(QSqlDatabase::database(name, false)).exec(sql);
}

} // namespace kestatest
