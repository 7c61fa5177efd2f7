#pragma once

#include <QString>

// "kesta --backup FILE": a clinic's nightly backup without a window, a display
// or the checks of an interactive start (a running program is left alone).
// Exit code 0 only when the archive was written and read back whole; 1 when
// it was not, with the reason on the error output; 2 for a wrong command line
// (CommandLine).
// The command line itself is CommandLine's.
class BackupCommandLine
{
public:
    // Backs up into target, reading the settings (SettingsLocation) for the database; the
    // exit code. Needs an application object.
    static int run(const QString &target);
};
