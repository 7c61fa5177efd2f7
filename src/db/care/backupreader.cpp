// Reading a backup back: the checks of verify and extract, entry by entry,
// from the file or, for an encrypted one, from gpg through a pipe.

#include "db/care/backuparchive.h"
#include "db/care/backupchecksum.h"
#include "db/care/backupencryption.h"
#include "toolkit/util/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <archive.h>
#include <archive_entry.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace
{

constexpr qint64 ChunkBytes = 1 << 20;
// The header is read before anything is known of the file: a few hundred
// bytes in any backup, refused beyond this before a byte of it is read.
constexpr qint64 MaxHeaderBytes = 64 * 1024;
constexpr qint64 MaxManifestBytes = 1 << 20;
// About 100 bytes a file: room for millions.
constexpr qint64 MaxChecksumListBytes = qint64(512) << 20;

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

// The tar stream of a backup: the file itself, or for an encrypted one what
// gpg decrypts into a pipe on a thread of its own.
class Reader
{
public:
    explicit Reader(const QString &path)
        : archive(archive_read_new())
        , total(QFileInfo(path).size())
    {
        archive_read_support_format_tar(archive);
        if (!BackupEncryption::isEncrypted(path)) {
            opened = archive_read_open_filename(archive, QFile::encodeName(path).constData(), ChunkBytes)
                == ARCHIVE_OK;
            return;
        }
        encrypted = true;
        int ends[2] = { -1, -1 };
        if (::pipe(ends) != 0) {
            decryptReason = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
        readEnd = ends[0];
        decrypting.reset(QThread::create([this, path, writeEnd = ends[1]] {
            decrypted = BackupEncryption::decrypt(path, writeEnd, &consumed, &decryptReason);
            ::close(writeEnd);
        }));
        decrypting->start();
        opened = archive_read_open_fd(archive, readEnd, ChunkBytes) == ARCHIVE_OK;
    }
    ~Reader()
    {
        archive_read_free(archive);
        stopDecrypting();
    }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    QString error() const { return QString::fromUtf8(archive_error_string(archive)); }
    qint64 position() const { return encrypted ? qint64(consumed) : archive_filter_bytes(archive, -1); }
    qint64 size() const { return total; }

    // The entry's data whole, when it is no larger than `limit`.
    bool readSmall(archive_entry *entry, qint64 limit, QByteArray *data)
    {
        if (archive_entry_size(entry) > limit)
            return false;
        char buffer[65536];
        la_ssize_t got = 0;
        while ((got = archive_read_data(archive, buffer, sizeof buffer)) > 0) {
            data->append(buffer, int(got));
            if (data->size() > limit)
                return false;
        }
        return got == 0;
    }

    // For an encrypted backup, whether gpg decrypted it whole: it checks the
    // message's integrity only at its end, so the rest is read first.
    // Otherwise, or after a failure of its own, the reader stops it early.
    bool finish(bool readWhole, QString *reason)
    {
        if (!encrypted)
            return true;
        if (readWhole) {
            char sink[65536];
            while (::read(readEnd, sink, sizeof sink) > 0) { }
        }
        stopDecrypting();
        if (decrypted || (!readWhole && decryptReason.isEmpty()))
            return true;
        *reason = decryptReason;
        return false;
    }

    struct archive *archive;
    bool opened = false;

private:
    void stopDecrypting()
    {
        if (readEnd >= 0)
            ::close(readEnd);
        readEnd = -1;
        if (decrypting)
            decrypting->wait();
        decrypting.reset();
    }

    qint64 total;
    bool encrypted = false;
    int readEnd = -1;
    std::unique_ptr<QThread> decrypting;
    std::atomic<qint64> consumed { 0 };
    bool decrypted = false;
    QString decryptReason;
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

// One pass over the archive: each entry checked (and unpacked when a folder
// is given) as it comes, the whole compared with the manifest at the end.
class Unpacking
{
    Q_DECLARE_TR_FUNCTIONS(BackupArchive)
public:
    Unpacking(Reader &reader, const QString &folder, const QString &databaseCopy,
        const BackupArchive::Progress &progress)
        : reader(reader)
        , folder(folder)
        , databaseCopy(databaseCopy)
        , progress(progress)
    {
    }

    // False with result.reason set when the entry is refused.
    bool take(archive_entry *entry)
    {
        const char *utf8 = archive_entry_pathname_utf8(entry);
        const QString name = QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry));
        const bool regular = archive_entry_filetype(entry) == AE_IFREG && !archive_entry_hardlink(entry);
        if (!headerSeen)
            return takeHeader(entry, name, regular);
        if (manifestSeen)
            return fail(damaged() + tr("it goes on after its manifest."));
        if (name == QLatin1String(BackupManifest::ChecksumsName))
            return takeChecksums(entry, regular);
        if (name == QLatin1String(BackupManifest::ManifestName))
            return takeManifest(entry, regular);
        if (!isSafeName(name) || !(name.startsWith(dataPrefix()) || name == header.database))
            return fail(tr("The backup holds an entry outside its folders: %1").arg(name));
        if (archive_entry_filetype(entry) == AE_IFDIR && !archive_entry_hardlink(entry))
            return takeFolder(entry, name);
        if (!regular)
            return fail(tr("The backup holds an entry of a kind it never writes: %1").arg(name));
        return takeFile(entry, name);
    }

    // After the last entry: every file the manifest lists was there and matched.
    bool finish(int status)
    {
        if (status != ARCHIVE_EOF || !headerSeen)
            return fail(headerSeen ? damaged() + reader.error() : notOurs());
        if (!manifestSeen)
            return fail(damaged() + tr("its manifest is missing."));
        for (BackupManifest::File &file : listed.files) {
            const auto found = seen.constFind(file.path);
            if (found == seen.constEnd())
                return fail(damaged() + tr("%1 is missing.").arg(file.path));
            file.size = found->size;
            if (found->checksum != file.checksum)
                return fail(damaged() + tr("%1 does not match its checksum.").arg(file.path));
            seen.remove(file.path);
        }
        if (!seen.isEmpty())
            return fail(damaged() + tr("%1 is not in its manifest.").arg(seen.keys().first()));
        applyFolderFacts();
        result.manifest = listed;
        result.ok = true;
        return true;
    }

    BackupArchive::Result result;

private:
    struct Seen {
        qint64 size;
        QByteArray checksum;
    };
    struct FolderFacts {
        QString path;
        qint64 seconds;
        long nanoseconds;
        int permissions;
    };

    static QString damaged() { return tr("The backup is damaged or incomplete") + QStringLiteral(": "); }
    static QString notOurs() { return tr("This file is not a backup of this program."); }
    static QString dataPrefix() { return QLatin1String(BackupManifest::DataFolder); }
    bool fail(const QString &reason)
    {
        result.reason = reason;
        return false;
    }

    bool takeHeader(archive_entry *entry, const QString &name, bool regular)
    {
        QByteArray json;
        if (name != QLatin1String(BackupManifest::HeaderName) || !regular)
            return fail(notOurs());
        if (!reader.readSmall(entry, MaxHeaderBytes, &json))
            return fail(tr("The backup's header is larger than any this program writes."));
        if (!header.readHeader(json, &result.reason))
            return false;
        headerSeen = true;
        return true;
    }
    bool takeChecksums(archive_entry *entry, bool regular)
    {
        QByteArray text;
        if (!regular || !reader.readSmall(entry, MaxChecksumListBytes, &text)
            || !listed.readChecksumList(text, &result.reason))
            return fail(result.reason.isEmpty() ? damaged() + reader.error() : result.reason);
        listChecksum = BackupChecksum::of(text);
        return true;
    }
    bool takeManifest(archive_entry *entry, bool regular)
    {
        QByteArray json;
        if (!regular || !reader.readSmall(entry, MaxManifestBytes, &json)
            || !listed.readManifest(json, &result.reason))
            return fail(result.reason.isEmpty() ? damaged() + reader.error() : result.reason);
        if (listed.listChecksum != listChecksum)
            return fail(damaged()
                + tr("%1 does not match its checksum.").arg(QLatin1String(BackupManifest::ChecksumsName)));
        manifestSeen = true;
        return true;
    }
    bool takeFolder(archive_entry *entry, const QString &name)
    {
        if (folder.isEmpty())
            return true;
        const QString path = folder + QLatin1Char('/') + name.mid(dataPrefix().size());
        if (!QDir().mkpath(path))
            return fail(tr("A folder cannot be made: %1").arg(QDir::toNativeSeparators(path)));
        // Set once all it holds is written, which would change its time.
        folders.append({ path, qint64(archive_entry_mtime(entry)), archive_entry_mtime_nsec(entry),
            int(archive_entry_perm(entry) & 0777) });
        return true;
    }
    bool takeFile(archive_entry *entry, const QString &name)
    {
        QFile out(name == header.database ? databaseCopy
                                          : folder + QLatin1Char('/') + name.mid(dataPrefix().size()));
        if (!folder.isEmpty()
            && (!QDir().mkpath(QFileInfo(out.fileName()).absolutePath()) || !out.open(QIODevice::WriteOnly)))
            return fail(QDir::toNativeSeparators(out.fileName()) + QStringLiteral(": ") + out.errorString());
        BackupChecksum hash;
        qint64 size = 0;
        const void *block = nullptr;
        size_t length = 0;
        la_int64_t offset = 0;
        int read = ARCHIVE_OK;
        // The blocks as the library holds them: nothing is copied to be checked.
        while ((read = archive_read_data_block(reader.archive, &block, &length, &offset)) == ARCHIVE_OK) {
            if (offset != size) {
                read = ARCHIVE_FATAL;
                break;
            }
            hash.add(static_cast<const char *>(block), qint64(length));
            size += qint64(length);
            if (out.isOpen() && out.write(static_cast<const char *>(block), qint64(length)) != qint64(length))
                return fail(
                    QDir::toNativeSeparators(out.fileName()) + QStringLiteral(": ") + out.errorString());
            if (progress && !progress(reader.position(), reader.size())) {
                result.cancelled = true;
                return fail(tr("The restore was cancelled."));
            }
        }
        if (read != ARCHIVE_EOF)
            return fail(damaged() + reader.error());
        if (out.isOpen() && !keepFacts(out, entry))
            return fail(QDir::toNativeSeparators(out.fileName()) + QStringLiteral(": ") + out.errorString());
        seen.insert(name, { size, hash.result() });
        return true;
    }
    // The file's time and permissions as the backup holds them.
    static bool keepFacts(QFile &out, archive_entry *entry)
    {
        return Platform::keepTimeAndPermissions(
            out, archive_entry_mtime(entry), archive_entry_mtime_nsec(entry), int(archive_entry_perm(entry)));
    }
    void applyFolderFacts()
    {
        // Deepest first, so that setting one leaves those above as they are.
        for (auto it = folders.crbegin(); it != folders.crend(); ++it)
            Platform::keepFolderTimeAndPermissions(
                it->path, it->seconds, it->nanoseconds, it->permissions | 0700);
    }

    Reader &reader;
    const QString folder;
    const QString databaseCopy;
    const BackupArchive::Progress progress;
    BackupManifest header;
    BackupManifest listed;
    QByteArray listChecksum;
    bool headerSeen = false;
    bool manifestSeen = false;
    QHash<QString, Seen> seen;
    QVector<FolderFacts> folders;
};

} // namespace

BackupArchive::Result BackupArchive::header(const QString &archivePath)
{
    Result result;
    if (BackupEncryption::isEncrypted(archivePath)) {
        result.reason = tr("This backup is encrypted.");
        return result;
    }
    Reader reader(archivePath);
    if (!reader.opened) {
        result.reason = unopened(archivePath, reader);
        return result;
    }
    archive_entry *entry = nullptr;
    QByteArray json;
    const int status = archive_read_next_header(reader.archive, &entry);
    const char *name = status == ARCHIVE_OK ? archive_entry_pathname(entry) : nullptr;
    if (!name || qstrcmp(name, BackupManifest::HeaderName) != 0
        || !reader.readSmall(entry, MaxHeaderBytes, &json)
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
    Reader reader(archivePath);
    Unpacking unpacking(reader, folder, databaseCopy, progress);
    bool whole = false;
    if (reader.opened) {
        archive_entry *entry = nullptr;
        int status = ARCHIVE_OK;
        bool refused = false;
        while (!refused
            && ((status = archive_read_next_header(reader.archive, &entry)) == ARCHIVE_OK
                || status == ARCHIVE_WARN))
            refused = !unpacking.take(entry);
        whole = !refused && unpacking.finish(status);
    } else {
        unpacking.result.reason = unopened(archivePath, reader);
    }
    // A message that did not decrypt whole is refused, whatever its tar showed;
    // gpg's reason comes first, since a cut or changed message also breaks the tar.
    QString decryptReason;
    const bool cancelled = unpacking.result.cancelled;
    if (!reader.finish(whole, &decryptReason) && !cancelled) {
        unpacking.result.ok = false;
        unpacking.result.reason = decryptReason;
    }
    unpacking.result.encrypted = BackupEncryption::isEncrypted(archivePath);
    return unpacking.result;
}
