#pragma once

#include <QString>

class Database;
class QSqlQuery;

// Every patient's ID as PatientIdMatch compares it, kept in the table
// PatientIdKeys beside the patients and written in the same transaction as
// each change of a PatientID, so that the ID rule looks one key up by index
// instead of folding every stored ID at each write. Not unique: databases
// from before may hold IDs that are one under the fold.
class PatientIdKeys
{
public:
    // From now on every write of a patient keeps its key, once the layout
    // has the table (setKept).
    static void attach(Database *database);
    static void setKept(Database *database, bool kept);
    static bool kept(Database *database);
    // Writes the keys of the stored patients that have none and drops those
    // of patients gone, inside the caller's write.
    static bool fillMissing(Database *database, QString *reason);
    // Inside a write: a query for the stored patients whose ID has the key
    // of patientId, giving AutoID, PatientID, LastName, FirstName,
    // MiddleName. Rows that another program wrote without their key (the
    // counts differ) get their keys first. Without the table, every patient.
    static bool select(Database *database, const QString &patientId, QSqlQuery *query, QString *reason);
};
