#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

// The files of one removal in the trash: a folder under "<data>/Trash/", named
// by the time and the patient's folder name, holding the removed recordings at
// their places relative to the patient's folder, and a note of what was moved
// from where, written before anything moves, so that a removal cut off
// halfway can be put back at the next start.
class TrashFolder
{
public:
    // One recording (a folder or a file) on its way into the trash or back:
    // `from` relative to the patients' folder, `to` relative to the removal's
    // folder.
    struct Move {
        QString from;
        QString to;
    };

    // "<data>/Trash/".
    static QString root();
    // The note's name inside a removal's folder.
    static QString noteName();
    // A prefix that marks a folder whose removal is being purged.
    static QString purgingPrefix();

    // Makes a new, empty folder for a removal of the patient whose folder is
    // folderName, named by the clock's time; its name, or empty when none
    // could be made.
    static QString create(const QString &folderName, QString *reason);
    // Writes the note of the moves about to happen.
    static bool writeNote(const QString &name, const QList<Move> &moves, QString *reason);
    // The moves a note holds; empty when there is none or it cannot be read.
    static QList<Move> readNote(const QString &name);

    // Adds to the note the operation id of a removal whose commit went
    // unanswered, so that the next start can learn whether it landed; an
    // empty id takes it out again once that is known.
    static bool noteOperation(const QString &name, const QString &operation);
    // That id; empty when none was noted.
    static QString operationOf(const QString &name);

    // Moves into the trash, in order; stops at the first that fails and puts
    // back those done. False with the path and the system's reason.
    static bool moveIn(const QString &name, const QList<Move> &moves, QString *reason);
    // Moves back to their places, in order; stops at the first that fails and
    // returns those done to the trash. False with the path and the reason.
    static bool moveOut(const QString &name, const QList<Move> &moves, QString *reason);
    // Puts back what moveIn did (out) or moveOut did (in), newest first; the
    // paths that could not be moved.
    static QStringList undo(const QString &name, const QList<Move> &moves, bool wasMovedIn);

    // Removes the note and the folder when nothing else is left in it.
    static void tidy(const QString &name);

    static QJsonArray toJson(const QList<Move> &moves);
    // Refuses names that climb out of their folders.
    static bool fromJson(const QJsonArray &array, QList<Move> *moves);

    static QString absoluteFrom(const Move &move);
    static QString absoluteTo(const QString &name, const Move &move);
};
