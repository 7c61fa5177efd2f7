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
    // Asks for the file (the data folder's by default), copies it, and shows the report.
    static void run(QWidget *window, Database *database);

    // "--copy-database-to-server [file]" (CommandLine): reads settingsFile for the server;
    // an empty file is the data folder's database. 0 when copied, 1 when not, 2 when no
    // server is set. Needs an application object.
    static int runFromCommandLine(const QString &settingsFile, const QString &file);
};
