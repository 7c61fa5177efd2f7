#pragma once

#include <QList>

class QCommandLineOption;
class QCommandLineParser;

// "kesta --backup FILE [--encrypt-to FINGERPRINT]... [--overwrite]": a
// clinic's nightly backup without a window, a display or the checks of an
// interactive start (a running program is left alone). Encrypted to every
// key named by --encrypt-to (full fingerprints, repeated or apart by commas),
// plain without. FILE may be a new name or an earlier backup; any other
// regular file only with --overwrite, never a device, folder or link.
// Exit code 0 only when the archive was written and read back whole; 1 when
// it was not, with the reason on the error output; 2 for a wrong command line.
class BackupCommandLine
{
public:
    static bool isAsked(int argc, char *argv[]);
    // Makes its own application object.
    static int run(int argc, char *argv[]);

    // The options of this mode, for a parser that also knows the others.
    static QList<QCommandLineOption> options();
    // Runs with the options parsed (an application object exists).
    static int run(const QCommandLineParser &parser);
};
