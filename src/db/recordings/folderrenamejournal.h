#pragma once

#include <QString>

class Database;

// A patient's folder is renamed inside the database write that changes the
// patient's name, and a program killed between the two would leave the
// database naming one folder and the disk holding the other: every recording
// would show as missing. A small note in the data folder, written before the
// rename and removed once folder and row agree, lets the next start finish
// or undo what was under way.
class FolderRenameJournal
{
public:
    // "<data>/rename.journal".
    static QString path();
    // Notes the rename about to happen; false when the note cannot be written,
    // and then nothing may be renamed.
    static bool begin(int autoId, const QString &fromFolder, const QString &toFolder);
    // The folder agrees with the row again.
    static void finish();
    // Makes the folder of a rename left unfinished agree with what the
    // database holds: moved on to the new name when the write committed, moved
    // back otherwise; a folder that stands in the way is never replaced. Call
    // it once the patient list has been read. Says what was done, empty when
    // there was nothing to do, or when the row could not be read (the note
    // stays for the next try).
    static QString recover(Database *database);
};
