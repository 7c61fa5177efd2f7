#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct EdfFacts;

// Everything about the recording files of records on disk: where a record's
// file and folder lie under its patient's folder, what lies there, the
// deletion of a recording with the guard that nothing outside the patient's
// folder is ever touched, and the names the recorder gives its folders.
//
// A record names its file relative to the patient's folder (FileName, with
// the recorder's backslashes); the patient's folder is the patient's folder
// name under the patients' folder. Nothing here reads the database: what the
// other records name is handed in.
class RecordingFiles
{
public:
    // The record's file: the patients' folder, the folder name, then FileName
    // with backslashes made "/" off Windows. Nothing is looked up on disk.
    static QString recordPath(const QString &folderName, const QString &fileName);

    // What lies on disk for one record. `inside` is false for a name that
    // resolves outside its patient's folder (or an absolute one, which is never
    // looked at): such a folder is never listed or walked, and its size stays 0.
    struct Facts {
        bool exists = false;
        bool inside = false;
        // The bytes of the recording's own folder; of the file alone when it
        // lies directly in the patient's folder.
        qint64 size = 0;
        // The folder holding the file, when it exists.
        QString folder;
    };
    // Reads the disk: call it off the GUI thread. `withSize` false leaves the
    // size at 0 and lists no folder.
    static Facts factsOf(const QString &folderName, const QString &fileName, bool withSize = true);

    // Whether the record's path stays inside the patient's folder, by
    // canonical path where it exists (links and ".." resolved), by the
    // cleaned name otherwise. A name with a drive or an absolute path never does.
    static bool staysInside(const QString &folderName, const QString &fileName);

    // What deleting one record's recording takes. Only this recording is ever
    // deleted: its folder when that lies strictly inside the patient's folder
    // and no other record resolves into it; otherwise the file alone; nothing
    // for a missing file or one outside the patient's folder.
    struct Removal {
        enum class Kind { Nothing, File, Folder };
        Kind kind = Kind::Nothing;
        QString path;
    };
    // Another record, as the database names it: its patient's folder name and
    // its FileName (a record is listed once for each patient with its PatientID).
    struct OtherRecord {
        QString folderName;
        QString fileName;
    };
    static Removal planRemoval(
        const QString &folderName, const QString &fileName, const QList<OtherRecord> &otherRecords);

    // The type and date the recorder writes into a recording's folder name,
    // "<type>_<yyyy>_<MM>_<dd>_<HHmmss>"; the date is invalid when a part is
    // no number. `valid` false when the name has fewer than five parts.
    struct FolderName {
        bool valid = false;
        QString type;
        QDateTime date;
    };
    static FolderName parseFolderName(const QString &name);

    // What the record of a recording found on disk holds, by its name relative
    // to the patient's folder and its header: the start the header gives (the
    // folder name's otherwise), the type the folder name gives, the first
    // annotation as the comment.
    struct Registration {
        QDateTime date;
        QString type;
        QString comment;
    };
    static Registration registrationOf(const QString &fileName, const EdfFacts &header);
};
