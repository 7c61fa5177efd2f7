#pragma once

#include <QCoreApplication>
#include <QString>

// "kesta --server-setup [--apply]": the SQL that gives a clinic's server the
// four roles (ServerRoles) and hands Kesta's tables to the administrator
// role. Printed for a superuser to run with psql, or applied at once over the
// connection the settings name, whose account must then be a superuser.
class ServerSetupCommand
{
    Q_DECLARE_TR_FUNCTIONS(ServerSetupCommand)
public:
    // The script as psql takes it, with a note of how to run it.
    static QString script();
    // Prints the script (0), or applies it in one transaction: 0 when done, 1
    // when the server refused it (nothing changed), 2 when no server is set.
    static int runFromCommandLine(const QString &settingsFile, bool apply);
};
