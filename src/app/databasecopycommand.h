#pragma once

#include <QCoreApplication>
#include <QString>

class Database;
class QAction;
class QWidget;

// "Copy local database to server": moves a local database file onto the
// server the settings name (DatabaseCopy), from the File menu or from the
// command line ("kesta --copy-database-to-server [file]"), which runs without
// a window and prints what became of it.
class DatabaseCopyCommand
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseCopyCommand)
public:
    // The menu entry, owned by window; null unless the program works on a server.
    static QAction *makeAction(Database *database, QWidget *window);
    // The local database of this workstation: the platform's data folder's,
    // whatever DataFolder names (the share, once the settings are made).
    static QString localDatabaseFile();
    // Asks for the file (the local one by default), copies it with the
    // recordings of its folder, and shows the report.
    static void run(QWidget *window, Database *database);

    // "--copy-database-to-server [file]" (CommandLine): reads settingsFile for the server
    // and the data folder the recordings go to; an empty file is localDatabaseFile(). The
    // recordings come from the file's folder. 0 when copied, 1 when not, 2 when no
    // server is set. Needs an application object.
    static int runFromCommandLine(const QString &settingsFile, const QString &file);
    // Whether target can be used from the command line; a server that asks
    // for a password gets it typed at the terminal, unshown. Without a
    // terminal the reason says where to give it.
    static bool signIn(Database *target, QString *reason);
};
