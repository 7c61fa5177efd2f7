#pragma once

#include <QCoreApplication>
#include <QString>

class Database;
struct DatabaseLocation;

// Moves a clinic's local database file onto an empty server database: every
// table the two have in common, row by row with the ids as they are, the
// server's numbering set past the highest copied id, all in one write that is
// checked before it commits (the row count and a checksum of every column on
// both sides). The file is opened for reading only and never changed; a
// server database that already holds rows is refused untouched.
class DatabaseCopy
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseCopy)
public:
    // Copies the file at sourceFile into target, whose layout is made and
    // brought up to date first. With recordingsFrom (the old data folder),
    // every record's recording is copied into the data folder's patient
    // folders, checked, in the same all-or-nothing step; one missing there is
    // reported. The report tells, line by line, what was copied, or why
    // nothing was. The target's patients are not read again: whoever shows
    // them reloads.
    static bool copy(const QString &sourceFile, Database *target, QString *report,
        const QString &recordingsFrom = QString());
};
