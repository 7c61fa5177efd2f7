#include "db/care/backuparchive.h"

#include "db/care/backupchecksum.h"
#include "db/care/backupencryption.h"
#include "db/care/databasesnapshot.h"
#include "db/storage/databaselocation.h"
#include "toolkit/util/platform.h"
#include "toolkit/util/workstation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
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
constexpr int BlockBytes = 64 * 1024;
// tar's own record: "gpg -d | tar -x" reads the stream to its end, so gpg
// never writes into a pipe that tar has left.
constexpr int PipedBlockBytes = 10240;
constexpr qint64 WritebackBytes = qint64(32) << 20;

using Found = Platform::FolderEntry;

// The entries of one folder, links resolved, neither folders nor files
// skipped (-1 size); in name order, folders first.
QVector<Found> entriesOf(const QString &path)
{
    QVector<Found> found = Platform::folderEntries(path);
    std::sort(found.begin(), found.end(),
        [](const Found &a, const Found &b) { return a.folder != b.folder ? a.folder : a.name < b.name; });
    return found;
}

// Calls `take` for every folder (before what it holds) and every file below
// the data folder, by its path relative to it; links are followed (a
// recordings folder may lie on another disk) but never back into a folder on
// the way there. The database file and its journals are skipped: they are
// taken from the copy instead. Stops when `take` returns false.
bool visit(const QString &root, const QString &relative, const QString &canonical,
    const QSet<QString> &skipped, const std::function<bool(const QString &name, const Found &entry)> &take)
{
    for (const Found &entry : entriesOf(root + relative)) {
        const QString name = relative + entry.name;
        if (skipped.contains(name))
            continue;
        if (!entry.folder) {
            if (!take(name, entry))
                return false;
            continue;
        }
        // Only a link can lead back up; its target is looked up, nothing else is.
        QString inside = canonical + QLatin1Char('/') + entry.name;
        if (entry.link) {
            inside = QFileInfo(root + name).canonicalFilePath();
            if (inside.isEmpty() || canonical == inside || canonical.startsWith(inside + QLatin1Char('/')))
                continue;
        }
        if (!take(name, entry) || !visit(root, name + QLatin1Char('/'), inside, skipped, take))
            return false;
    }
    return true;
}

using SourceFile = Platform::SequentialFile;

bool writeWhole(int fd, const char *bytes, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= size_t(written);
    }
    return true;
}

// The tar stream, into the file itself or into the pipe to gpg.
class Writer
{
public:
    Writer(int fd, int blockBytes)
        : archive(archive_write_new())
        , buffer(int(ChunkBytes), Qt::Uninitialized)
        , fd(fd)
    {
        archive_write_set_format_pax_restricted(archive);
        archive_write_set_bytes_per_block(archive, blockBytes);
        opened = archive_write_open2(archive, this, nullptr, &Writer::writeBlock, nullptr, nullptr)
            == ARCHIVE_OK;
    }
    ~Writer() { archive_write_free(archive); }
    bool isOpen() const { return opened; }
    QString error() const { return QString::fromUtf8(archive_error_string(archive)); }

    bool folder(const QString &name, const Found &found)
    {
        Entry entry(name, AE_IFDIR, found, 0);
        return archive_write_header(archive, entry.entry) == ARCHIVE_OK;
    }
    bool bytes(const QString &name, const QByteArray &data)
    {
        Found now;
        now.seconds = QDateTime::currentSecsSinceEpoch();
        Entry entry(name, AE_IFREG, now, data.size());
        return archive_write_header(archive, entry.entry) == ARCHIVE_OK
            && archive_write_data(archive, data.constData(), size_t(data.size())) == data.size();
    }
    // The file's first `size` bytes, zeros for any it lost meanwhile (*shrank).
    // False when it cannot be read (*vanished when it is gone) or the archive refused.
    bool file(const QString &name, const QString &path, const Found &found, QByteArray *checksum,
        bool *vanished, bool *shrank, QString *reason, const std::function<bool(qint64)> &advance)
    {
        const qint64 size = found.size;
        SourceFile source(path);
        if (!source.isOpen()) {
            *vanished = source.isGone();
            *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + source.errorString();
            return false;
        }
        Entry entry(name, AE_IFREG, found, size);
        if (archive_write_header(archive, entry.entry) != ARCHIVE_OK) {
            *reason = error();
            return false;
        }
        hash.reset();
        for (qint64 left = size; left > 0;) {
            const qint64 wanted = qMin<qint64>(left, buffer.size());
            qint64 got = source.read(buffer.data(), wanted);
            if (got < 0) {
                *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + source.errorString();
                return false;
            }
            if (got == 0) {
                *shrank = true;
                std::fill(buffer.begin(), buffer.begin() + int(wanted), '\0');
                got = wanted;
            }
            hash.add(buffer.constData(), got);
            if (archive_write_data(archive, buffer.constData(), size_t(got)) != got) {
                *reason = error();
                return false;
            }
            left -= got;
            if (!advance(got))
                return false;
        }
        *checksum = hash.result();
        return true;
    }
    bool close() { return archive_write_close(archive) == ARCHIVE_OK; }

private:
    struct Entry {
        Entry(const QString &name, unsigned type, const Found &found, qint64 size)
            : entry(archive_entry_new())
        {
            archive_entry_set_pathname_utf8(entry, name.toUtf8().constData());
            archive_entry_set_filetype(entry, type);
            archive_entry_set_perm(entry, mode_t(found.permissions));
            archive_entry_set_mtime(entry, time_t(found.seconds), found.nanoseconds);
            archive_entry_set_size(entry, size);
        }
        ~Entry() { archive_entry_free(entry); }
        archive_entry *entry;
    };

    static la_ssize_t writeBlock(struct archive *archive, void *self, const void *data, size_t length)
    {
        auto *writer = static_cast<Writer *>(self);
        if (!writeWhole(writer->fd, static_cast<const char *>(data), length)) {
            archive_set_error(archive, errno, "%s", std::strerror(errno));
            return -1;
        }
        writer->written += qint64(length);
        // The disk starts on what is written while the rest is read, rather
        // than all of it at the flush at the end.
        if (writer->written - writer->handedOver >= WritebackBytes) {
            Platform::startWriteback(writer->fd, writer->handedOver, writer->written - writer->handedOver);
            writer->handedOver = writer->written;
        }
        return la_ssize_t(length);
    }

    struct archive *archive;
    // One for every file: most recordings fit it whole.
    QByteArray buffer;
    BackupChecksum hash;
    int fd;
    qint64 written = 0;
    qint64 handedOver = 0;
    bool opened = false;
};

bool sameContents(const BackupManifest &written, const BackupManifest &read)
{
    if (written.files.size() != read.files.size() || written.rows != read.rows)
        return false;
    for (int i = 0; i < written.files.size(); ++i) {
        if (written.files.at(i).path != read.files.at(i).path
            || written.files.at(i).checksum != read.files.at(i).checksum)
            return false;
    }
    return true;
}

// One backup being written: each step a function, what they share here.
class WriteJob
{
    Q_DECLARE_TR_FUNCTIONS(BackupArchive)
public:
    WriteJob(const QString &archivePath, const BackupArchive::Progress &progress,
        const BackupArchive::WriteOptions &options)
        : target(archivePath)
        , progress(progress)
        , options(options)
    {
    }
    ~WriteJob() { stopCounting(); }
    WriteJob(const WriteJob &) = delete;
    WriteJob &operator=(const WriteJob &) = delete;

    BackupArchive::Result run(const DatabaseLocation &location, const QString &dataFolder)
    {
        if (prepare(location, dataFolder) && copyDatabase() && openPart()
            && (options.recipients.isEmpty() ? writeEntries(part.handle()) : writeEncrypted())
            && checkWritten() && putInPlace())
            result.ok = true;
        result.cancelled = result.cancelled || stopped;
        result.encrypted = !options.recipients.isEmpty();
        if (!result.ok && result.reason.isEmpty())
            result.reason
                = stopped ? tr("The backup was cancelled.") : tr("The backup could not be written.");
        return result;
    }

private:
    bool fail(const QString &reason)
    {
        if (result.reason.isEmpty())
            result.reason = reason;
        return false;
    }

    // Everything that can be refused is, before a byte is written.
    bool prepare(const DatabaseLocation &location, const QString &dataFolder)
    {
        dataRoot = QDir(dataFolder).canonicalPath();
        targetFolder = target.absoluteDir().canonicalPath();
        if (dataRoot.isEmpty())
            return fail(tr("The data folder is missing: %1").arg(QDir::toNativeSeparators(dataFolder)));
        if (targetFolder.isEmpty())
            return fail(tr("The folder of the backup file does not exist: %1")
                            .arg(QDir::toNativeSeparators(target.absolutePath())));
        if (targetFolder == dataRoot || targetFolder.startsWith(dataRoot + QLatin1Char('/')))
            return fail(tr("A backup cannot be written inside the data folder it backs up."));
        const QString refused = BackupArchive::refusedTarget(target.absoluteFilePath(), options);
        if (!refused.isEmpty())
            return fail(refused);
        if (!options.recipients.isEmpty()
            && !BackupEncryption::checkRecipients(options.recipients, &result.reason))
            return false;
        snapshot = DatabaseSnapshot::forLocation(location);
        for (const char *suffix : { "", "-journal", "-wal", "-shm" })
            skipped.insert(snapshot->fileName() + QLatin1String(suffix));
        root = dataRoot + QLatin1Char('/');
        // Everything partial lies in one folder beside the target, gone with it.
        work = std::make_unique<QTemporaryDir>(
            targetFolder + QLatin1Char('/') + target.fileName() + QStringLiteral(".part-XXXXXX"));
        if (!work->isValid())
            return fail(
                tr("No temporary folder can be made beside the backup file: %1").arg(work->errorString()));
        startCounting();
        return true;
    }

    // The data folder is written as it is walked; what it holds in all is
    // counted beside, on a thread of its own, for the progress and the check
    // of free space.
    void startCounting()
    {
        counter.reset(QThread::create([this] {
            qint64 sum = 0;
            const bool whole
                = visit(root, QString(), dataRoot, skipped, [&](const QString &, const Found &entry) {
                      sum += qMax<qint64>(0, entry.size);
                      return bool(counting);
                  });
            if (whole)
                counted = sum;
        }));
        counter->start();
    }
    void stopCounting()
    {
        counting = false;
        if (counter)
            counter->wait();
    }

    bool copyDatabase()
    {
        copyPath = work->filePath(snapshot->fileName());
        BackupManifest &manifest = result.manifest;
        if (!snapshot->copyTo(copyPath, &result.reason)
            || !snapshot->describeCopy(copyPath, &manifest.rows, &manifest.layoutVersion, &result.reason))
            return false;
        copy.size = QFileInfo(copyPath).size();
        copy.seconds = QDateTime::currentSecsSinceEpoch();
        manifest.created = Workstation::nowText();
        manifest.workstation = Workstation::hostName();
        manifest.user = Workstation::userName();
        manifest.program = QCoreApplication::applicationVersion();
        manifest.backend = snapshot->backend();
        manifest.database = QLatin1String(BackupManifest::DatabaseFolder) + snapshot->fileName();
        available = QStorageInfo(targetFolder).bytesAvailable();
        return true;
    }

    bool openPart()
    {
        part.setFileName(work->filePath(target.fileName()));
        if (!part.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(
                QDir::toNativeSeparators(part.fileName()) + QStringLiteral(": ") + part.errorString());
        return true;
    }

    // Written and read back: twice the bytes; 0 while they are still being counted.
    qint64 total() const { return counted < 0 ? 0 : 2 * (counted + copy.size); }
    bool advance(qint64 bytes)
    {
        done += bytes;
        if (!roomChecked && counted >= 0) {
            roomChecked = true;
            const qint64 needed = counted + copy.size + (qint64(1) << 20);
            if (available >= 0 && available < needed)
                return fail(tr("There is not enough free space for the backup: it needs about %1 MB, %2 MB "
                               "are free.")
                                .arg(needed >> 20)
                                .arg(available >> 20));
        }
        stopped = progress && !progress(done, total());
        return !stopped;
    }

    // The tar stream into fd: header, database copy, data folder, checksums, manifest.
    bool writeEntries(int fd)
    {
        Writer writer(fd, options.recipients.isEmpty() ? BlockBytes : PipedBlockBytes);
        BackupManifest &manifest = result.manifest;
        const auto advancing = [this](qint64 bytes) { return advance(bytes); };
        QByteArray checksum;
        bool vanished = false;
        bool shrank = false;
        bool ok = writer.isOpen()
            && writer.bytes(QLatin1String(BackupManifest::HeaderName), manifest.headerJson())
            && writer.file(
                manifest.database, copyPath, copy, &checksum, &vanished, &shrank, &result.reason, advancing);
        if (ok)
            manifest.files.append({ manifest.database, copy.size, checksum });
        const QString dataPrefix = QLatin1String(BackupManifest::DataFolder);
        ok = ok && visit(root, QString(), dataRoot, skipped, [&](const QString &name, const Found &entry) {
            const QString archived = dataPrefix + name;
            if (entry.folder)
                return writer.folder(archived, entry);
            vanished = false;
            shrank = false;
            if (writer.file(
                    archived, root + name, entry, &checksum, &vanished, &shrank, &result.reason, advancing)) {
                manifest.files.append({ archived, entry.size, checksum });
                if (shrank)
                    result.notes << tr("%1 changed while it was read").arg(name);
                return true;
            }
            // Taken away meanwhile (a removal, a rename): what is gone is no longer data.
            if (vanished)
                result.notes << tr("%1 went away while it was read").arg(name);
            return vanished;
        });
        const QByteArray checksums = manifest.checksumList();
        manifest.listChecksum = BackupChecksum::of(checksums);
        ok = ok && writer.bytes(QLatin1String(BackupManifest::ChecksumsName), checksums)
            && writer.bytes(QLatin1String(BackupManifest::ManifestName), manifest.manifestJson())
            && writer.close();
        return ok || fail(stopped ? tr("The backup was cancelled.") : writer.error());
    }

    // The tar stream through a pipe into gpg, what comes out into the file,
    // its checksum kept for the check that follows.
    bool writeEncrypted()
    {
        int ends[2] = { -1, -1 };
        if (::pipe(ends) != 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
        QString encryptReason;
        bool encrypted = false;
        std::unique_ptr<QThread> encrypting(QThread::create([&] {
            encrypted = BackupEncryption::encrypt(
                options.recipients, ends[0],
                [&](const char *data, qint64 size) {
                    cipherHash.add(data, size);
                    cipherBytes += size;
                    return writeWhole(part.handle(), data, size_t(size));
                },
                &encryptReason);
            // A writer still going learns that gpg stopped.
            ::close(ends[0]);
        }));
        encrypting->start();
        bool written = false;
        {
            const Platform::QuietPipeWrites quiet;
            written = writeEntries(ends[1]);
        }
        ::close(ends[1]);
        encrypting->wait();
        if (!written && !stopped && !encryptReason.isEmpty())
            result.reason = encryptReason;
        return written && (encrypted || fail(encryptReason));
    }

    // On the disk before it is called written; read back meanwhile.
    bool checkWritten()
    {
        // The whole is known for the check that follows.
        counter->wait();
        int flushError = 0;
        std::unique_ptr<QThread> flush(
            QThread::create([&] { flushError = Platform::syncToDisk(part) ? 0 : errno; }));
        flush->start();
        const qint64 written = done;
        const BackupArchive::Progress readingBack = [&](qint64 bytes, qint64 whole) {
            return !progress
                || progress(written + bytes * (total() - written) / qMax<qint64>(1, whole), total());
        };
        BackupArchive::Result check;
        if (options.recipients.isEmpty())
            check = BackupArchive::verify(part.fileName(), readingBack);
        else
            check.ok = readBackCipher(readingBack, &check);
        flush->wait();
        part.close();
        if (flushError != 0)
            return fail(QDir::toNativeSeparators(part.fileName()) + QStringLiteral(": ")
                + QString::fromLocal8Bit(std::strerror(flushError)));
        result.cancelled = check.cancelled;
        if (!check.ok)
            return fail(check.reason);
        if (options.recipients.isEmpty() && !sameContents(result.manifest, check.manifest))
            return fail(tr("The backup read back differs from what was written."));
        return true;
    }

    // Without the secret key the file is compared with the bytes gpg gave.
    bool readBackCipher(const BackupArchive::Progress &readingBack, BackupArchive::Result *check)
    {
        SourceFile file(part.fileName());
        QByteArray buffer(int(ChunkBytes), Qt::Uninitialized);
        BackupChecksum hash;
        qint64 size = 0;
        for (qint64 got = 0; (got = file.read(buffer.data(), buffer.size())) > 0;) {
            hash.add(buffer.constData(), got);
            size += got;
            if (!readingBack(size, cipherBytes)) {
                check->cancelled = true;
                check->reason = tr("The backup was cancelled.");
                return false;
            }
        }
        if (size != cipherBytes || hash.result() != cipherHash.result()) {
            check->reason = tr("The backup read back differs from what was written.");
            return false;
        }
        return true;
    }

    bool putInPlace()
    {
        // Looked at again: the target may have changed while the backup was written.
        const QString refused = BackupArchive::refusedTarget(target.absoluteFilePath(), options);
        if (!refused.isEmpty())
            return fail(refused);
        if (!Platform::replaceFile(part.fileName(), target.absoluteFilePath()))
            return fail(
                tr("The backup cannot be put in place: %1").arg(QDir::toNativeSeparators(target.filePath())));
        if (progress)
            progress(total(), total());
        return true;
    }

    const QFileInfo target;
    const BackupArchive::Progress progress;
    const BackupArchive::WriteOptions options;
    BackupArchive::Result result;
    QString dataRoot;
    QString targetFolder;
    QString root;
    std::unique_ptr<DatabaseSnapshot> snapshot;
    QSet<QString> skipped;
    std::unique_ptr<QTemporaryDir> work;
    std::unique_ptr<QThread> counter;
    std::atomic<qint64> counted { -1 };
    std::atomic<bool> counting { true };
    QString copyPath;
    Found copy;
    QFile part;
    qint64 available = -1;
    qint64 done = 0;
    bool stopped = false;
    bool roomChecked = false;
    BackupChecksum cipherHash;
    qint64 cipherBytes = 0;
};

} // namespace

BackupArchive::Result BackupArchive::write(const DatabaseLocation &location, const QString &dataFolder,
    const QString &archivePath, const Progress &progress, const WriteOptions &options)
{
    WriteJob job(archivePath, progress, options);
    return job.run(location, dataFolder);
}

QString BackupArchive::refusedTarget(const QString &archivePath, const WriteOptions &options)
{
    const QString shown = QDir::toNativeSeparators(archivePath);
    QString error;
    switch (Platform::fileKind(archivePath, &error)) {
    case Platform::FileKind::Missing:
        return QString();
    case Platform::FileKind::Unreadable:
        return shown + QStringLiteral(": ") + error;
    case Platform::FileKind::Link:
        return tr("%1 is a link: a backup replaces no link, nor what it points to.").arg(shown);
    case Platform::FileKind::Folder:
        return tr("%1 is a folder.").arg(shown);
    case Platform::FileKind::Special:
        return tr("%1 is a device or another special file, not a file a backup may replace.").arg(shown);
    case Platform::FileKind::NotRegular:
        return tr("%1 is not a file a backup may replace.").arg(shown);
    case Platform::FileKind::Regular:
        break;
    }
    if (options.overwrite || header(archivePath).ok
        || (!options.recipients.isEmpty()
            && BackupEncryption::isAddressedTo(archivePath, options.recipients)))
        return QString();
    return tr("%1 exists and is no earlier backup of this program: it is left as it is.").arg(shown);
}
