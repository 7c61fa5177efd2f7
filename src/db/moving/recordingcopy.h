#pragma once

#include <QCoreApplication>
#include <QStringList>

// Recordings copied into a data folder as part of a larger write: each copy
// is read back and must have the source's XXH3, never replaces a file, and
// keeps the source's modification time; undo() removes every file and folder
// made so far, so that a write that does not land leaves the folders as they
// were. The sources are only read.
class RecordingCopy
{
    Q_DECLARE_TR_FUNCTIONS(RecordingCopy)
public:
    // False with the reason; what it made until then stays listed for undo().
    bool copy(const QString &from, const QString &to, QString *reason);
    void undo();
    int copied() const { return files; }

private:
    // Files and folders (ending in "/") in the order made.
    QStringList made;
    int files = 0;
};
