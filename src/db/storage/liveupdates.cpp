#include "db/storage/liveupdates.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/rows/rowchange.h"
#include "db/storage/sqldialect.h"

#include <QDebug>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>

using namespace DatabaseSupport;

namespace
{

// How often a lost connection is looked for; attempts to open it again wait
// twice as long each time, up to the longest wait.
constexpr int CheckIntervalMs = 1000;
constexpr int LongestWaitMs = 30000;

} // namespace

LiveUpdates::LiveUpdates(Database *database)
    : QObject(database)
    , database(database)
    , showTimer(new QTimer(this))
    , connectionTimer(new QTimer(this))
{
    // Announced inside the write: heard when it commits, never when it is undone.
    database->addChangeHook([this](const RowChange &change, QString *reason) {
        QSqlQuery query(this->database->database());
        return this->database->run(
            query, this->database->dialect().notifyStatement(payloadOf(change)), "NOT ANNOUNCED", reason);
    });
    // One pass for a burst of announcements (a removal of many records).
    showTimer->setSingleShot(true);
    showTimer->setInterval(0);
    connect(showTimer, &QTimer::timeout, this, &LiveUpdates::showPending);
    connectionTimer->setInterval(CheckIntervalMs);
    connect(connectionTimer, &QTimer::timeout, this, &LiveUpdates::checkConnection);
    connectionTimer->start();
    if (QSqlDriver *driver = database->database().driver())
        connect(driver,
            QOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>::of(
                &QSqlDriver::notification),
            this, &LiveUpdates::hear);
    listen();
}

QString LiveUpdates::payloadOf(const RowChange &change)
{
    const char *kind = change.kind == RowChange::Kind::Insert ? "I"
        : change.kind == RowChange::Kind::Delete              ? "D"
                                                              : "U";
    return change.table + QLatin1Char(' ') + QLatin1String(kind) + QLatin1Char(' ')
        + QString::number(change.rowId);
}

void LiveUpdates::listen()
{
    const QSqlDatabase db = database->database();
    // The driver subscribes on this thread, where no deadline reaches: a
    // server that does not answer a bounded call first is not asked.
    QSqlQuery probe(db);
    listening = db.isOpen() && database->exec(probe, QStringLiteral("SELECT 1"))
        && db.driver()->subscribeToNotification(database->dialect().notificationChannel());
    everListened = everListened || listening;
}

void LiveUpdates::hear(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload)
{
    if (source == QSqlDriver::SelfSource || name != database->dialect().notificationChannel())
        return;
    const QStringList parts = payload.toString().split(QLatin1Char(' '));
    if (parts.size() < 3)
        return;
    // Every table at once: a restored backup.
    if (parts.first() == QLatin1String("*"))
        pendingAll = true;
    const int id = parts.at(2).toInt();
    if (parts.first() == patientsTable)
        pendingPatients.insert(id);
    else if (parts.first() == recordsTable)
        pendingRecords.insert(id);
    emit announced(parts.first(), id);
    showTimer->start();
}

void LiveUpdates::showPending()
{
    // Shown once the call under way has ended.
    if (database->isWaiting()) {
        QTimer::singleShot(100, this, &LiveUpdates::showPending);
        return;
    }
    if (pendingAll) {
        pendingAll = false;
        pendingPatients.clear();
        pendingRecords.clear();
        database->reloadPatients();
        emit changesShown();
        return;
    }
    const QList<Patient *> before = database->patients();
    const QSet<int> patients = pendingPatients;
    const QSet<int> records = pendingRecords;
    pendingPatients.clear();
    pendingRecords.clear();
    for (int id : patients)
        followPatient(id);
    for (int id : records)
        followRecord(id);
    if (database->patients() != before)
        emit database->patientsChanged();
    emit changesShown();
}

void LiveUpdates::followPatient(int autoId)
{
    if (Patient *shown = database->patientById(autoId)) {
        bool gone = false;
        database->refreshRow(shown, &gone);
        if (!gone)
            return;
        database->forgetPatient(shown);
        return;
    }
    database->readPatient(autoId);
}

void LiveUpdates::followRecord(int recordId)
{
    const auto stored = std::make_unique<Record>(database, nullptr);
    stored->setRecordID(recordId);
    if (!stored->load())
        return;
    // A row that is gone reads as a record of nobody.
    const QString owner = stored->getPatientID();
    for (Patient *patient : database->patients()) {
        if (!patient->recordsAreRead())
            continue;
        Record *held = nullptr;
        for (Record *record : patient->records()) {
            if (record->getId() == recordId)
                held = record;
        }
        const bool belongs = !owner.isEmpty() && owner == patient->getPatientID();
        if (held && !belongs)
            patient->dropRecord(held);
        else if (held)
            database->showStoredValues(held, stored.get());
        else if (belongs)
            patient->addRecord(new Record(recordId, database, nullptr));
    }
}

void LiveUpdates::checkConnection()
{
    // The connection is another call's until it ends.
    if (database->isWaiting())
        return;
    QSqlDatabase db = database->connectionAsIs();
    if (db.isOpen() && !database->dialect().connectionLost(db)) {
        retryInMs = 0;
        // Opened afresh by an action of the user: it listens no more, and what
        // was announced meanwhile is gone.
        if (!db.driver()->subscribedToNotifications().contains(database->dialect().notificationChannel())) {
            const bool missed = everListened;
            listen();
            if (listening && missed)
                database->reloadPatients();
        }
        return;
    }
    listening = false;
    if (retryInMs > 0 && sinceAttempt.elapsed() < retryInMs)
        return;
    retryInMs = qBound(CheckIntervalMs, retryInMs * 2, LongestWaitMs);
    sinceAttempt.start();
    // Opens it again when the server is back; the next check listens.
    if (database->database().isOpen())
        checkConnection();
}
