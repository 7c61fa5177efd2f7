#pragma once

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QList>

class QCommandLineParser;

// "kesta --import SOURCE [--data-folder DIR] [--mapping FILE] [--duplicates
// skip|new|add] [--dry-run]": moves patients and their recordings from another
// system into the database the settings name (a local file or the server),
// without a window. Prints what it did; the report is saved beside the source.
class ImportCommand
{
    Q_DECLARE_TR_FUNCTIONS(ImportCommand)
public:
    static QList<QCommandLineOption> options();
    // 0 when everything asked for was imported (or, with --dry-run, would be):
    // no row refused, no recording missing, duplicates only as --duplicates
    // said. 1 otherwise, with the reasons on the error output.
    static int run(const QString &settingsFile, const QCommandLineParser &parser);
};
