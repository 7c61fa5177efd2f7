#pragma once

#include <QCoreApplication>
#include <QString>

class Database;

// The layout of the patient database has a version, kept in the table
// SchemaVersion; a database without that table has version 1, the layout of
// the empty template. Each step brings a database one version forward in a
// transaction of its own, so that a failed step leaves the version before.
// New columns and tables arrive by a step here, never by editing the
// template alone.
class SchemaMigrations
{
    Q_DECLARE_TR_FUNCTIONS(SchemaMigrations)
public:
    static constexpr int CurrentVersion = 8;

    // From now on every check that the database is usable makes the layout of
    // an empty server database and then brings the database up to date.
    static void attach(Database *database);

    // Makes the first layout version in a server database that holds no
    // table at all, from the embedded file's schema in the server's words (a
    // file gets it from the template). True when there is nothing to do.
    static bool createLayoutIfEmpty(Database *database, QString *reason = nullptr);
    // The stored version; -1 with the reason when it cannot be read.
    static int storedVersion(Database *database, QString *reason = nullptr);
    // Brings the database from any earlier version to CurrentVersion; running
    // it again changes nothing. A database newer than this program is refused
    // and left exactly as it is. False with the reason.
    static bool bringUpToDate(Database *database, QString *reason = nullptr);
    // Whether the signed-in role may change the layout (on a server whose
    // roles are set up, only the administrator); otherwise false with the
    // reason, which tells who may. Version 0: the database is empty.
    static bool mayChangeLayout(Database *database, int version, QString *reason);
};
