// Reading a backup back: the checks of verify and extract, entry by entry.

#include "db/care/backuparchive.h"
#include "db/care/backupchecksum.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <archive.h>
#include <archive_entry.h>

namespace
{

constexpr qint64 ChunkBytes = 1 << 20;
// The header and the manifest are small; a foreign file must not fill the memory.
constexpr qint64 MaxJsonBytes = qint64(256) << 20;

// A name below the archive's own folders, with nothing that climbs out.
bool isSafeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QChar(0)))
        return false;
    // No "." or ".." between slashes.
    int start = 0;
    while (start <= name.size()) {
        int end = name.indexOf(QLatin1Char('/'), start);
        if (end < 0)
            end = name.size();
        const QStringRef part = name.midRef(start, end - start);
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        start = end + 1;
    }
    return true;
}

class Reader
{
public:
    explicit Reader(const QString &path)
        : archive(archive_read_new())
    {
        archive_read_support_format_tar(archive);
        opened = archive_read_open_filename(archive, QFile::encodeName(path).constData(), ChunkBytes)
            == ARCHIVE_OK;
    }
    ~Reader() { archive_read_free(archive); }
    QString error() const { return QString::fromUtf8(archive_error_string(archive)); }
    qint64 position() const { return archive_filter_bytes(archive, -1); }

    bool readSmall(QByteArray *data)
    {
        char buffer[65536];
        la_ssize_t got = 0;
        while ((got = archive_read_data(archive, buffer, sizeof buffer)) > 0) {
            data->append(buffer, int(got));
            if (data->size() > MaxJsonBytes)
                return false;
        }
        return got == 0;
    }

    bool opened = false;
    struct archive *archive;
};

// A file that opens but is no tar at all is simply not ours.
QString unopened(const QString &path, const Reader &reader)
{
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
        return BackupArchive::tr("This file is not a backup of this program.");
    return QDir::toNativeSeparators(path) + QStringLiteral(": ")
        + (file.exists() ? reader.error() : file.errorString());
}

} // namespace

BackupArchive::Result BackupArchive::header(const QString &archivePath)
{
    Result result;
    Reader reader(archivePath);
    archive_entry *entry = nullptr;
    QByteArray json;
    if (!reader.opened) {
        result.reason = unopened(archivePath, reader);
        return result;
    }
    const int status = archive_read_next_header(reader.archive, &entry);
    const char *name = status == ARCHIVE_OK ? archive_entry_pathname(entry) : nullptr;
    if (!name || qstrcmp(name, BackupManifest::HeaderName) != 0 || !reader.readSmall(&json)
        || !result.manifest.readHeader(json, &result.reason)) {
        if (result.reason.isEmpty())
            result.reason = tr("This file is not a backup of this program.");
        return result;
    }
    result.ok = true;
    return result;
}

BackupArchive::Result BackupArchive::verify(const QString &archivePath, const Progress &progress)
{
    return read(archivePath, QString(), QString(), progress);
}

BackupArchive::Result BackupArchive::extract(
    const QString &archivePath, const QString &folder, const QString &databaseCopy, const Progress &progress)
{
    return read(archivePath, folder, databaseCopy, progress);
}

BackupArchive::Result BackupArchive::read(
    const QString &archivePath, const QString &folder, const QString &databaseCopy, const Progress &progress)
{
    Result result;
    const qint64 total = QFileInfo(archivePath).size();
    const QString damaged = tr("The backup is damaged or incomplete");
    const QString notOurs = tr("This file is not a backup of this program.");
    Reader reader(archivePath);
    if (!reader.opened) {
        result.reason = unopened(archivePath, reader);
        return result;
    }
    const QString dataPrefix = QLatin1String(BackupManifest::DataFolder);
    BackupManifest header;
    bool headerSeen = false;
    bool manifestSeen = false;
    BackupManifest listed;
    QByteArray listChecksum;
    struct Seen {
        qint64 size;
        QByteArray checksum;
    };
    QHash<QString, Seen> seen;
    archive_entry *entry = nullptr;
    int status = ARCHIVE_OK;
    while (
        (status = archive_read_next_header(reader.archive, &entry)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
        const char *utf8 = archive_entry_pathname_utf8(entry);
        const QString name = QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry));
        const bool regular = archive_entry_filetype(entry) == AE_IFREG;
        if (!headerSeen) {
            QByteArray json;
            if (name != QLatin1String(BackupManifest::HeaderName) || !regular || !reader.readSmall(&json)
                || !header.readHeader(json, &result.reason)) {
                if (result.reason.isEmpty())
                    result.reason = notOurs;
                return result;
            }
            headerSeen = true;
            continue;
        }
        if (manifestSeen) {
            result.reason = damaged + QStringLiteral(": ") + tr("it goes on after its manifest.");
            return result;
        }
        if (name == QLatin1String(BackupManifest::ChecksumsName)) {
            QByteArray text;
            if (!regular || !reader.readSmall(&text) || !listed.readChecksumList(text, &result.reason)) {
                if (result.reason.isEmpty())
                    result.reason = damaged + QStringLiteral(": ") + reader.error();
                return result;
            }
            listChecksum = BackupChecksum::of(text);
            continue;
        }
        if (name == QLatin1String(BackupManifest::ManifestName)) {
            QByteArray json;
            if (!regular || !reader.readSmall(&json) || !listed.readManifest(json, &result.reason)) {
                if (result.reason.isEmpty())
                    result.reason = damaged + QStringLiteral(": ") + reader.error();
                return result;
            }
            if (listed.listChecksum != listChecksum) {
                result.reason = damaged + QStringLiteral(": ")
                    + tr("%1 does not match its checksum.").arg(QLatin1String(BackupManifest::ChecksumsName));
                return result;
            }
            manifestSeen = true;
            continue;
        }
        if (!isSafeName(name) || !(name.startsWith(dataPrefix) || name == header.database)) {
            result.reason = tr("The backup holds an entry outside its folders: %1").arg(name);
            return result;
        }
        const QString relative = name.mid(dataPrefix.size());
        if (archive_entry_filetype(entry) == AE_IFDIR) {
            if (!folder.isEmpty() && !QDir().mkpath(folder + QLatin1Char('/') + relative)) {
                result.reason = tr("A folder cannot be made: %1")
                                    .arg(QDir::toNativeSeparators(folder + "/" + relative));
                return result;
            }
            continue;
        }
        if (!regular) {
            result.reason = tr("The backup holds an entry of a kind it never writes: %1").arg(name);
            return result;
        }
        QFile out(name == header.database ? databaseCopy : folder + QLatin1Char('/') + relative);
        if (!folder.isEmpty()
            && (!QDir().mkpath(QFileInfo(out.fileName()).absolutePath())
                || !out.open(QIODevice::WriteOnly))) {
            result.reason
                = QDir::toNativeSeparators(out.fileName()) + QStringLiteral(": ") + out.errorString();
            return result;
        }
        BackupChecksum hash;
        qint64 size = 0;
        const void *block = nullptr;
        size_t length = 0;
        la_int64_t offset = 0;
        int read = ARCHIVE_OK;
        bool stopped = false;
        bool writeFailed = false;
        // The blocks as the library holds them: nothing is copied to be checked.
        while (!stopped && !writeFailed
            && (read = archive_read_data_block(reader.archive, &block, &length, &offset)) == ARCHIVE_OK) {
            if (offset != size) {
                read = ARCHIVE_FATAL;
                break;
            }
            hash.add(static_cast<const char *>(block), qint64(length));
            size += qint64(length);
            writeFailed = out.isOpen()
                && out.write(static_cast<const char *>(block), qint64(length)) != qint64(length);
            stopped = progress && !progress(reader.position(), total);
        }
        if (stopped) {
            result.cancelled = true;
            result.reason = tr("The restore was cancelled.");
            return result;
        }
        if (writeFailed) {
            result.reason
                = QDir::toNativeSeparators(out.fileName()) + QStringLiteral(": ") + out.errorString();
            return result;
        }
        if (read != ARCHIVE_EOF) {
            result.reason = damaged + QStringLiteral(": ") + reader.error();
            return result;
        }
        seen.insert(name, { size, hash.result() });
    }
    if (status != ARCHIVE_EOF || !headerSeen) {
        result.reason = headerSeen ? damaged + QStringLiteral(": ") + reader.error() : notOurs;
        return result;
    }
    if (!manifestSeen) {
        result.reason = damaged + QStringLiteral(": ") + tr("its manifest is missing.");
        return result;
    }
    for (BackupManifest::File &file : listed.files) {
        const auto found = seen.constFind(file.path);
        if (found == seen.constEnd()) {
            result.reason = damaged + QStringLiteral(": ") + tr("%1 is missing.").arg(file.path);
            return result;
        }
        file.size = found->size;
        if (found->checksum != file.checksum) {
            result.reason
                = damaged + QStringLiteral(": ") + tr("%1 does not match its checksum.").arg(file.path);
            return result;
        }
        seen.remove(file.path);
    }
    if (!seen.isEmpty()) {
        result.reason
            = damaged + QStringLiteral(": ") + tr("%1 is not in its manifest.").arg(seen.keys().first());
        return result;
    }
    result.manifest = listed;
    result.ok = true;
    return result;
}
