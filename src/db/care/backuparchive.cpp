#include "db/care/backuparchive.h"

#include "db/care/backupchecksum.h"
#include "db/storage/databaselocation.h"
#include "db/care/databasesnapshot.h"
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
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace
{

constexpr qint64 ChunkBytes = 1 << 20;
constexpr int BlockBytes = 64 * 1024;
constexpr qint64 WritebackBytes = qint64(32) << 20;

struct Found {
    QString name;
    bool folder = false;
    bool link = false;
    qint64 size = -1;
};

// The entries of one folder, links resolved, neither folders nor files
// skipped (-1 size); in name order, folders first.
QVector<Found> entriesOf(const QString &path)
{
    QVector<Found> found;
#ifdef Q_OS_UNIX
    // Read with one stat for each file and none for a folder: a data folder
    // holds a hundred thousand of them.
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        if (qstrcmp(entry->d_name, ".") == 0 || qstrcmp(entry->d_name, "..") == 0)
            continue;
        Found item;
        item.name = QFile::decodeName(entry->d_name);
        item.folder = entry->d_type == DT_DIR;
        if (!item.folder) {
            struct stat facts {
            };
            if (::fstatat(::dirfd(dir), entry->d_name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            item.link = S_ISLNK(facts.st_mode);
            if (item.link && ::fstatat(::dirfd(dir), entry->d_name, &facts, 0) != 0)
                continue;
            item.folder = S_ISDIR(facts.st_mode);
            if (S_ISREG(facts.st_mode))
                item.size = facts.st_size;
            else if (!item.folder)
                continue;
        }
        found.append(item);
    }
    ::closedir(dir);
#else
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() || entry.isFile())
            found.append(
                { entry.fileName(), entry.isDir(), entry.isSymLink(), entry.isFile() ? entry.size() : -1 });
    }
#endif
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

// A file read into the archive: plain system calls where there are some, since
// a data folder holds a hundred thousand of them.
class SourceFile
{
public:
    explicit SourceFile(const QString &path)
    {
#ifdef Q_OS_UNIX
        do
            fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        error = fd < 0 ? errno : 0;
#else
        file.setFileName(path);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
#endif
    }
    ~SourceFile()
    {
#ifdef Q_OS_UNIX
        if (fd >= 0)
            ::close(fd);
#endif
    }
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

#ifdef Q_OS_UNIX
    bool isOpen() const
    {
        return fd >= 0;
    }
    bool isGone() const
    {
        return error == ENOENT;
    }
    QString errorString() const
    {
        return QString::fromLocal8Bit(std::strerror(error));
    }
    qint64 read(char *data, qint64 size)
    {
        ssize_t got = 0;
        do
            got = ::read(fd, data, size_t(size));
        while (got < 0 && errno == EINTR);
        error = got < 0 ? errno : 0;
        return got;
    }

private:
    int fd = -1;
    int error = 0;
#else
    bool isOpen() const
    {
        return file.isOpen();
    }
    bool isGone() const
    {
        return !file.exists();
    }
    QString errorString() const
    {
        return file.errorString();
    }
    qint64 read(char *data, qint64 size)
    {
        return file.read(data, size);
    }

private:
    QFile file;
#endif
};

class Writer
{
public:
    explicit Writer(int fd)
        : archive(archive_write_new())
        , buffer(int(ChunkBytes), Qt::Uninitialized)
        , fd(fd)
    {
        archive_write_set_format_pax_restricted(archive);
        archive_write_set_bytes_per_block(archive, BlockBytes);
        opened = archive_write_open2(archive, this, nullptr, &Writer::writeBlock, nullptr, nullptr)
            == ARCHIVE_OK;
    }
    ~Writer() { archive_write_free(archive); }
    bool isOpen() const { return opened; }
    QString error() const { return QString::fromUtf8(archive_error_string(archive)); }

    bool folder(const QString &name)
    {
        Entry entry(name, AE_IFDIR, 0755, 0);
        return archive_write_header(archive, entry.entry) == ARCHIVE_OK;
    }
    bool bytes(const QString &name, const QByteArray &data)
    {
        Entry entry(name, AE_IFREG, 0644, data.size());
        return archive_write_header(archive, entry.entry) == ARCHIVE_OK
            && archive_write_data(archive, data.constData(), size_t(data.size())) == data.size();
    }
    // The file's first `size` bytes, zeros for any it lost meanwhile (*shrank).
    // False when it cannot be read (*vanished when it is gone) or the archive refused.
    bool file(const QString &name, const QString &path, qint64 size, QByteArray *checksum, bool *vanished,
        bool *shrank, QString *reason, const std::function<bool(qint64)> &advance)
    {
        SourceFile source(path);
        if (!source.isOpen()) {
            *vanished = source.isGone();
            *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + source.errorString();
            return false;
        }
        Entry entry(name, AE_IFREG, 0644, size);
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
        Entry(const QString &name, unsigned type, int permissions, qint64 size)
            : entry(archive_entry_new())
        {
            archive_entry_set_pathname_utf8(entry, name.toUtf8().constData());
            archive_entry_set_filetype(entry, type);
            archive_entry_set_perm(entry, permissions);
            archive_entry_set_size(entry, size);
        }
        ~Entry() { archive_entry_free(entry); }
        archive_entry *entry;
    };

    static la_ssize_t writeBlock(struct archive *archive, void *self, const void *data, size_t length)
    {
        auto *writer = static_cast<Writer *>(self);
        const char *bytes = static_cast<const char *>(data);
        size_t left = length;
        while (left > 0) {
            const ssize_t written = ::write(writer->fd, bytes, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                archive_set_error(archive, errno, "%s", std::strerror(errno));
                return -1;
            }
            bytes += written;
            left -= size_t(written);
        }
        writer->written += qint64(length);
#ifdef Q_OS_LINUX
        // The disk starts on what is written while the rest is read, rather
        // than all of it at the flush at the end.
        if (writer->written - writer->handedOver >= WritebackBytes) {
            ::sync_file_range(
                writer->fd, writer->handedOver, writer->written - writer->handedOver, SYNC_FILE_RANGE_WRITE);
            writer->handedOver = writer->written;
        }
#endif
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

} // namespace

BackupArchive::Result BackupArchive::write(const DatabaseLocation &location, const QString &dataFolder,
    const QString &archivePath, const Progress &progress)
{
    Result result;
    const QFileInfo target(archivePath);
    const QString dataRoot = QDir(dataFolder).canonicalPath();
    const QString targetFolder = target.absoluteDir().canonicalPath();
    if (dataRoot.isEmpty()) {
        result.reason = tr("The data folder is missing: %1").arg(QDir::toNativeSeparators(dataFolder));
        return result;
    }
    if (targetFolder.isEmpty()) {
        result.reason = tr("The folder of the backup file does not exist: %1")
                            .arg(QDir::toNativeSeparators(target.absolutePath()));
        return result;
    }
    if (targetFolder == dataRoot || targetFolder.startsWith(dataRoot + QLatin1Char('/'))) {
        result.reason = tr("A backup cannot be written inside the data folder it backs up.");
        return result;
    }

    const std::unique_ptr<DatabaseSnapshot> snapshot = DatabaseSnapshot::forLocation(location);
    QSet<QString> skipped;
    for (const char *suffix : { "", "-journal", "-wal", "-shm" })
        skipped.insert(snapshot->fileName() + QLatin1String(suffix));
    const QString root = dataRoot + QLatin1Char('/');

    // Everything partial lies in one folder beside the target, gone with it.
    QTemporaryDir work(targetFolder + QLatin1Char('/') + target.fileName() + QStringLiteral(".part-XXXXXX"));
    if (!work.isValid()) {
        result.reason
            = tr("No temporary folder can be made beside the backup file: %1").arg(work.errorString());
        return result;
    }
    // The data folder is written as it is walked; what it holds in all is
    // counted beside, on a thread of its own, for the progress and the check
    // of free space.
    std::atomic<qint64> counted { -1 };
    std::atomic<bool> counting { true };
    std::unique_ptr<QThread> counter(QThread::create([&] {
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
    const auto stopCounting = qScopeGuard([&] {
        counting = false;
        counter->wait();
    });

    const QString copyPath = work.filePath(snapshot->fileName());
    if (!snapshot->copyTo(copyPath, &result.reason)
        || !snapshot->describeCopy(
            copyPath, &result.manifest.rows, &result.manifest.layoutVersion, &result.reason))
        return result;
    const qint64 copySize = QFileInfo(copyPath).size();

    BackupManifest &manifest = result.manifest;
    manifest.created = Workstation::nowText();
    manifest.workstation = Workstation::hostName();
    manifest.user = Workstation::userName();
    manifest.program = QCoreApplication::applicationVersion();
    manifest.backend = snapshot->backend();
    manifest.database = QLatin1String(BackupManifest::DatabaseFolder) + snapshot->fileName();

    const qint64 available = QStorageInfo(targetFolder).bytesAvailable();
    qint64 done = 0;
    bool stopped = false;
    bool roomChecked = false;
    // Written and read back: twice the bytes; 0 while they are still being counted.
    const auto total = [&] { return counted < 0 ? 0 : 2 * (counted + copySize); };
    const auto advance = [&](qint64 bytes) {
        done += bytes;
        if (!roomChecked && counted >= 0) {
            roomChecked = true;
            const qint64 needed = counted + copySize + (qint64(1) << 20);
            if (available >= 0 && available < needed) {
                result.reason
                    = tr("There is not enough free space for the backup: it needs about %1 MB, %2 MB "
                         "are free.")
                          .arg(needed >> 20)
                          .arg(available >> 20);
                return false;
            }
        }
        stopped = progress && !progress(done, total());
        return !stopped;
    };
    const QString partPath = work.filePath(target.fileName());
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.reason = QDir::toNativeSeparators(partPath) + QStringLiteral(": ") + part.errorString();
        return result;
    }
    {
        Writer writer(part.handle());
        bool ok = writer.isOpen()
            && writer.bytes(QLatin1String(BackupManifest::HeaderName), manifest.headerJson());
        const QString dataPrefix = QLatin1String(BackupManifest::DataFolder);
        QByteArray checksum;
        bool vanished = false;
        bool shrank = false;
        ok = ok
            && writer.file(manifest.database, copyPath, copySize, &checksum, &vanished, &shrank,
                &result.reason, advance);
        if (ok)
            manifest.files.append({ manifest.database, copySize, checksum });
        ok = ok && visit(root, QString(), dataRoot, skipped, [&](const QString &name, const Found &entry) {
            const QString archived = dataPrefix + name;
            if (entry.folder)
                return writer.folder(archived);
            vanished = false;
            shrank = false;
            if (writer.file(archived, root + name, entry.size, &checksum, &vanished, &shrank, &result.reason,
                    advance)) {
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
        if (!ok) {
            result.cancelled = stopped;
            if (result.reason.isEmpty())
                result.reason = stopped ? tr("The backup was cancelled.") : writer.error();
            return result;
        }
    }
    // The whole is known for the check that follows.
    counter->wait();
    // On the disk before it is called written; read back meanwhile.
    int flushError = 0;
    std::unique_ptr<QThread> flush(
        QThread::create([&] { flushError = ::fsync(part.handle()) == 0 ? 0 : errno; }));
    flush->start();
    const qint64 written = done;
    const Result check = verify(partPath, [&](qint64 bytes, qint64 whole) {
        return !progress || progress(written + bytes * (total() - written) / qMax<qint64>(1, whole), total());
    });
    flush->wait();
    part.close();
    if (flushError != 0) {
        result.reason = QDir::toNativeSeparators(partPath) + QStringLiteral(": ")
            + QString::fromLocal8Bit(std::strerror(flushError));
        return result;
    }
    if (!check.ok || !sameContents(manifest, check.manifest)) {
        result.cancelled = check.cancelled;
        result.reason = check.ok ? tr("The backup read back differs from what was written.") : check.reason;
        return result;
    }
    if (std::rename(
            QFile::encodeName(partPath).constData(), QFile::encodeName(target.absoluteFilePath()).constData())
        != 0) {
        result.reason
            = tr("The backup cannot be put in place: %1").arg(QDir::toNativeSeparators(archivePath));
        return result;
    }
    if (progress)
        progress(total(), total());
    result.ok = true;
    return result;
}
