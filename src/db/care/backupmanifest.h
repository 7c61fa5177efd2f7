#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// What a backup holds, written into it: first a header that names the format
// (so a foreign file is refused before anything is read); at the end the list
// of every file's checksum (XXH3, 128 bits, in the format of xxh128sum, so
// that an unpacked backup can be checked with "xxh128sum -c"), then the
// manifest: the rows of every table of the database copy, and the list's own
// checksum. A restore checks the archive against both.
struct BackupManifest {
    static constexpr int FormatVersion = 1;
    static const char *const Format;
    static const char *const HeaderName;
    static const char *const ChecksumsName;
    static const char *const ManifestName;
    // Where the database copy and the data folder lie inside the archive.
    static const char *const DatabaseFolder;
    static const char *const DataFolder;

    struct File {
        QString path;
        qint64 size = 0;
        QByteArray checksum;
    };

    QString created;
    QString workstation;
    QString user;
    QString program;
    QString backend;
    // The copy's path inside the archive.
    QString database;
    int layoutVersion = 0;
    QMap<QString, qint64> rows;
    // In the order written; the sizes are known to the writer only.
    QList<File> files;
    // The checksum of the checksum list.
    QByteArray listChecksum;

    QByteArray headerJson() const;
    QByteArray checksumList() const;
    QByteArray manifestJson() const;
    // False with the reason for a text that is not ours, or of a newer format.
    bool readHeader(const QByteArray &json, QString *reason);
    bool readChecksumList(const QByteArray &text, QString *reason);
    bool readManifest(const QByteArray &json, QString *reason);
};
