#pragma once

#include <QString>
#include <QStringList>

// The program's command line. Without options it opens the window; the other modes run
// without one and end with an exit code:
//   --backup FILE [--encrypt-to FINGERPRINT]... [--overwrite]
//                                        the nightly backup (BackupCommandLine)
//   --copy-database-to-server [FILE]     a local database onto the server (DatabaseCopyCommand)
//   --import SOURCE [...]                patients from another system (ImportCommand)
//   --server-setup [--apply]             the server's roles (ServerSetupCommand)
//   --help, --version                    0
// A wrong command line ends with 2 and the usage on the error output.
class CommandLine
{
public:
    enum class Mode { Window, Backup, CopyDatabaseToServer, ServerSetup, Import, Help, Version };
    struct Parsed {
        Mode mode = Mode::Window;
        // Backup: the archive; CopyDatabaseToServer: the database, empty for the data folder's.
        QString file;
        // Why the command line is wrong; empty when it is right.
        QString error;
        QStringList arguments;
        // ServerSetup: applied, not only printed.
        bool apply = false;
    };

    // Needs no application object: a mode without a window must not make one that needs a
    // display. Qt's own options ("-platform ...") are taken for the window's and left to
    // the application object, which removes them; parse its arguments() again then. Any
    // other unknown option is refused at once (the mode is then Help, with the error).
    static Parsed parse(const QStringList &arguments);
    static QStringList arguments(int argc, char **argv);
    // Runs a mode other than the window's, making its own application object.
    static int runWithoutWindow(const Parsed &parsed, int argc, char **argv);
    // Prints error and the usage on the error output; the exit code of a wrong command line.
    static int refuse(const QString &error);
};
