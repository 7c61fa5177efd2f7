#pragma once

#include <QCoreApplication>
#include <QString>

class Database;
class QAction;
class QMenu;
class QWidget;

// "Copy local database to server": moves a local database file onto the
// server the settings name (DatabaseCopy), from the File menu or from the
// command line ("kesta --copy-database-to-server [file]"), which runs without
// a window and prints what became of it.
class DatabaseCopyCommand
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseCopyCommand)
public:
    static const char *const CommandLineSwitch;

    // The menu entry, before `before` (at the end when null), there when the
    // program works on a server.
    static void addTo(QMenu *menu, QAction *before, Database *database, QWidget *window);
    // Asks for the file (the data folder's by default), copies it, and shows the report.
    static void run(QWidget *window, Database *database);

    static bool requested(int argc, char **argv);
    // Reads "Settings.xml" for the server; the file is the one given after the
    // switch, or the data folder's. 0 when copied, 1 when not, 2 when no server is set.
    static int runFromCommandLine(int argc, char **argv);
};
