#pragma once

// "kesta --backup FILE": a clinic's nightly backup without a window, a display
// or the checks of an interactive start (a running program is left alone).
// Exit code 0 only when the archive was written and read back whole; 1 when
// it was not, with the reason on the error output; 2 for a wrong command line.
class BackupCommandLine
{
public:
    static bool isAsked(int argc, char *argv[]);
    // Makes its own application object.
    static int run(int argc, char *argv[]);
};
