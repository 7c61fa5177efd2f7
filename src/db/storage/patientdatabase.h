#pragma once

#include "db/storage/database.h"

// The patient database as the program uses it: the connection with what
// follows it attached (the layout steps, the check of shown values and, where
// other workstations write too, their changes shown here). The one way to make
// a Database, so no place can leave one of them out; the history is attached
// by who keeps it (ChangeHistory::attach).
class PatientDatabase : public Database
{
public:
    explicit PatientDatabase(const DatabaseLocation &location, QObject *parent = nullptr);
    PatientDatabase(
        const DatabaseLocation &location, std::unique_ptr<SqlDialect> dialect, QObject *parent = nullptr);
    // The platform's file backend at this path.
    explicit PatientDatabase(const QString &filePath, QObject *parent = nullptr);
    PatientDatabase(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent = nullptr);

private:
    void attachAll();
};
