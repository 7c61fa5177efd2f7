#pragma once

#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <memory>

struct DatabaseLocation;

// What a backup needs of the database that differs between backends: a
// consistent copy taken while the program works on, the rows it holds, and
// putting such a copy in place again. An embedded file is copied with the
// library's online backup; a server is dumped (pg_dump) and loaded (psql).
// Every operation may run on any thread: none uses the program's connection.
class DatabaseSnapshot
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseSnapshot)
public:
    virtual ~DatabaseSnapshot() = default;

    // "sqlite", ...: which backend wrote a copy.
    virtual QString backend() const = 0;
    // The copy's name inside a backup.
    virtual QString fileName() const = 0;
    // Writes a consistent copy of the whole database to `path`. False with the reason.
    virtual bool copyTo(const QString &path, QString *reason) const = 0;
    // The number of rows of every table of a copy, and its layout version.
    virtual bool describeCopy(
        const QString &path, QMap<QString, qint64> *rows, int *layoutVersion, QString *reason) const = 0;
    // Where a copy goes when the data folder `dataFolder` (ending in "/") is
    // restored: for a file backend, the database itself; a server's copy
    // waits there until load() takes it in.
    virtual QString placeInDataFolder(const QString &dataFolder) const = 0;
    // Makes the copy at `path` the database, once the data folder holding it
    // is in place: a file already is; a server's current content is first
    // written to keptCopy(keepIn), then replaced in one transaction, and the
    // copy leaves the data folder. With `keepIn` empty nothing is kept and the
    // copy stays (putting back what was kept). False with the reason, the
    // database unchanged.
    virtual bool load(const QString &path, const QString &keepIn, QString *reason) const;
    // Where load() keeps what a server held before.
    QString keptCopy(const QString &keepIn) const;

    // The snapshot of the location's backend.
    static std::unique_ptr<DatabaseSnapshot> forLocation(const DatabaseLocation &location);
};
