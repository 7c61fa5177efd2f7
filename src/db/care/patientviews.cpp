#include "db/care/patientviews.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/storage/sqldialect.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QSqlError>
#include <QSqlQuery>

bool PatientViews::note(Database *database, int autoId, const QString &workstation, QString *reason)
{
    QSqlQuery query(database->database());
    bool noted = false;
    if (database->dialect().writesHistoryItself()) {
        noted = database->execBound(
            query, QStringLiteral("SELECT kesta_log_patient_view(?, ?)"), { qint64(autoId), workstation });
    } else {
        const QString since = Clock::now().toUTC().addSecs(-QuietSeconds).toString(Qt::ISODateWithMs);
        noted = database->execBound(query,
            QStringLiteral("INSERT INTO PatientViews (ViewedAt, UserName, Workstation, Address, PatientRef) "
                           "SELECT ?, ?, ?, 'local', ? WHERE NOT EXISTS (SELECT 1 FROM PatientViews "
                           "WHERE PatientRef = ? AND Workstation = ? AND ViewedAt > ?)"),
            { Workstation::nowText(), Workstation::userName(), workstation, qint64(autoId), qint64(autoId),
                workstation, since });
    }
    if (!noted) {
        qWarning() << "Patient view not noted:" << autoId << query.lastError().text();
        if (reason)
            *reason = DatabaseSupport::reasonOf(query.lastError());
    }
    return noted;
}

bool PatientViews::read(Database *database, QList<View> *views, QString *reason)
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query,
            QStringLiteral("SELECT ViewedAt, UserName, Workstation, Address, PatientRef FROM PatientViews "
                           "ORDER BY ViewID DESC"))) {
        if (reason)
            *reason = DatabaseSupport::reasonOf(query.lastError());
        return false;
    }
    while (query.next()) {
        View view;
        view.viewedAt = QDateTime::fromString(query.value(0).toString(), Qt::ISODateWithMs);
        view.user = query.value(1).toString();
        view.workstation = query.value(2).toString();
        view.address = query.value(3).toString();
        view.patient = query.value(4).toLongLong();
        views->append(view);
    }
    return true;
}
