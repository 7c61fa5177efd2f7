#pragma once

#include <QString>

// Folder and size helpers.
class FileUtilities
{
public:
    // Forward slashes, no doubled slash, one trailing slash; empty stays empty.
    static QString FolderSlash(const QString &path);
    // True when the folder exists or was made, with its missing parents.
    static bool createIfNotExists(const QString &path);
    // Removes an existing folder with all it holds and, unless `removeOnly`, makes it again,
    // empty. False when the folder is missing or either step failed.
    static bool clearFolder(const QString &path, bool removeOnly);
    // Bytes in all files below the folder; symbolic links are not followed. 0 when missing.
    static qint64 dirsize(const QString &path);
    // Moves a file, folder or link to `to` in one step (a rename, so both lie
    // on one file system), making `to`'s parent folder when missing. Never
    // replaces what is at `to`. False with the system's reason.
    static bool moveEntry(const QString &from, const QString &to, QString *reason = nullptr);
    // "1.5 KB": divided by 1024 while above 1024; bytes carry no decimals.
    static QString filesizeNice(qint64 bytes, int precision = 2);
};
