#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// What a backup holds, written into it: first a header that names the format
// (so a foreign file is refused before anything is read), last the manifest:
// the rows of every table of the database copy and every file with its size
// and SHA-256, which a restore checks the archive against.
struct BackupManifest {
    static constexpr int FormatVersion = 1;
    static const char *const Format;
    static const char *const HeaderName;
    static const char *const ManifestName;
    // Where the database copy and the data folder lie inside the archive.
    static const char *const DatabaseFolder;
    static const char *const DataFolder;

    struct File {
        QString path;
        qint64 size = 0;
        QByteArray sha256;
    };

    QString created;
    QString workstation;
    QString user;
    QString program;
    QString backend;
    // The copy's path inside the archive.
    QString database;
    // The bytes of the files, as counted before they were read.
    qint64 expectedBytes = 0;
    int layoutVersion = 0;
    QMap<QString, qint64> rows;
    QList<File> files;
    QStringList folders;

    QByteArray headerJson() const;
    QByteArray manifestJson() const;
    // False with the reason for a text that is not ours, or of a newer format.
    bool readHeader(const QByteArray &json, QString *reason);
    bool readManifest(const QByteArray &json, QString *reason);
};
