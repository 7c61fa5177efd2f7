#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QVector>

class QMetaObject;
class QSqlError;
class QSqlQuery;
class RowCursor;

// Where writes begin, commit and are undone; kept apart from the statements,
// whose log shows exactly the SQL of the data.
Q_DECLARE_LOGGING_CATEGORY(lcWrite)

// What the files of Database share: the tables it knows by name, the driver's
// reasons and the fields of a result.
namespace DatabaseSupport
{

inline const QString patientsTable = QStringLiteral("Patients");
inline const QString recordsTable = QStringLiteral("Records");
inline const QString patientIdColumn = QStringLiteral("AutoID");
inline const QString recordIdColumn = QStringLiteral("RecordID");
inline const QString removalsTable = QStringLiteral("Removals");
inline const QString removalIdColumn = QStringLiteral("RemovalID");

// The driver's own words where it has them ("database is locked").
QString reasonOf(const QSqlError &error);
// Per column of the class, the field of the result that holds it, or -1.
QVector<int> fieldsOf(const RowCursor &rows, const QMetaObject &meta);
QVector<int> fieldsOf(QSqlQuery &query, const QMetaObject &meta);

} // namespace DatabaseSupport
