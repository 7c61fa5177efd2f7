#include "db/storage/liveupdates.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/rows/rowchange.h"
#include "db/storage/sqldialect.h"

#include "db/storage/changelistener.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <memory>

using namespace DatabaseSupport;

namespace
{

// How often a lost connection is looked for; attempts to open it again wait
// twice as long each time, up to the longest wait.
constexpr int CheckIntervalMs = 1000;
constexpr int LongestWaitMs = 30000;
// How long a new workstation waits for its subscription before it reads.
constexpr int FirstAnswerMs = 200;

} // namespace

LiveUpdates::LiveUpdates(Database *database)
    : QObject(database)
    , database(database)
    , listener(new ChangeListener(database->dialect().notificationChannel(), database->location().timeoutSeconds))
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

    listener->moveToThread(&thread);
    connect(&thread, &QThread::finished, listener, &QObject::deleteLater);
    connect(listener, &ChangeListener::listening, this, &LiveUpdates::heardListening);
    connect(listener, &ChangeListener::heard, this, [this](const QString &payload, int session) {
        heard.append(qMakePair(payload, session));
        showTimer->start();
    });
    thread.start();
    connectionWasOpen = database->connectionAsIs().isOpen();
    if (!connectionWasOpen)
        return;
    const auto answered = std::make_shared<QSemaphore>();
    const QMetaObject::Connection first = connect(listener, &ChangeListener::listening, listener,
        [answered] { answered->release(); }, Qt::DirectConnection);
    listen();
    // A subscription that takes longer is taken up later, and the list read
    // meanwhile is read again.
    if (answered->tryAcquire(1, FirstAnswerMs))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    disconnect(first);
}

LiveUpdates::~LiveUpdates()
{
    thread.quit();
    thread.wait();
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
    asking = true;
    retryInMs = qBound(CheckIntervalMs, retryInMs * 2, LongestWaitMs);
    sinceAttempt.start();
    const QString connection = ChangeListener::connectionString(database->connectionAsIs());
    QMetaObject::invokeMethod(listener, [this, connection] { listener->listenOn(connection); });
}

void LiveUpdates::heardListening(bool on)
{
    asking = false;
    const bool was = listening;
    listening = on;
    if (!on || was)
        return;
    retryInMs = 0;
    // What was announced before the subscription took is gone: the list read
    // before it, at an earlier subscription or at the start, is read again.
    const bool missed = everListened || database->wholeReads() > 0;
    everListened = true;
    if (missed)
        database->reloadPatients();
}

void LiveUpdates::showPending()
{
    // Shown once the call under way has ended.
    if (database->isWaiting()) {
        QTimer::singleShot(100, this, &LiveUpdates::showPending);
        return;
    }
    // This workstation's own, heard as well, were shown when they were written.
    const int self = ChangeListener::sessionOf(database->connectionAsIs());
    bool any = false;
    for (const auto &announcement : qAsConst(heard)) {
        if (announcement.second == self)
            continue;
        const QStringList parts = announcement.first.split(QLatin1Char(' '));
        if (parts.size() < 3)
            continue;
        any = true;
        // Every table at once: a restored backup.
        if (parts.first() == QLatin1String("*"))
            pendingAll = true;
        const int id = parts.at(2).toInt();
        if (parts.first() == patientsTable)
            pendingPatients.insert(id);
        else if (parts.first() == recordsTable)
            pendingRecords.insert(id);
        emit announced(parts.first(), id);
    }
    heard.clear();
    if (!any)
        return;
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
    if (listening || asking)
        return;
    // Asked at once when the window's connection has just opened (a password
    // given), else after waits that grow; never before it ever opened, when
    // the password may still be missing.
    const bool open = database->connectionAsIs().isOpen();
    const bool opened = open && !connectionWasOpen;
    connectionWasOpen = open;
    if (!open && !everListened)
        return;
    if (!opened && retryInMs > 0 && sinceAttempt.elapsed() < retryInMs)
        return;
    listen();
}
