#include "db/backuparchive.h"

#include "db/databaselocation.h"
#include "db/databasesnapshot.h"
#include "toolkit/util/workstation.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <cstdio>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>

namespace
{

constexpr qint64 ChunkBytes = 1 << 20;
constexpr int BlockBytes = 64 * 1024;

struct Item {
    QString relative;
    QString path;
    bool folder = false;
    qint64 size = 0;
};

// Every folder and file below the data folder, links followed (a recordings
// folder may lie on another disk) but each folder once; the database file and
// its journals are taken from the copy instead.
void walk(const QString &root, const QString &relative, const QSet<QString> &skipped, QSet<QString> *seen,
    QList<Item> *items)
{
    const QDir dir(root + relative);
    if (seen->contains(dir.canonicalPath()))
        return;
    seen->insert(dir.canonicalPath());
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        const QString name = relative + entry.fileName();
        if (skipped.contains(name))
            continue;
        if (entry.isDir()) {
            items->append({ name, entry.filePath(), true, 0 });
            walk(root, name + QLatin1Char('/'), skipped, seen, items);
        } else if (entry.isFile()) {
            items->append({ name, entry.filePath(), false, entry.size() });
        }
    }
}

class Sha256
{
public:
    Sha256()
        : context(EVP_MD_CTX_new())
    {
        EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    }
    ~Sha256() { EVP_MD_CTX_free(context); }
    void add(const char *data, qint64 size) { EVP_DigestUpdate(context, data, size_t(size)); }
    QByteArray result()
    {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestFinal_ex(context, digest, &length);
        return QByteArray(reinterpret_cast<const char *>(digest), int(length));
    }

private:
    EVP_MD_CTX *context;
};

class Writer
{
public:
    explicit Writer(int fd)
        : archive(archive_write_new())
    {
        archive_write_set_format_pax_restricted(archive);
        archive_write_set_bytes_per_block(archive, BlockBytes);
        opened = archive_write_open_fd(archive, fd) == ARCHIVE_OK;
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
    // The file's first `size` bytes, zeros for any it lost meanwhile. False when
    // it cannot be read (*vanished when it is gone) or the archive refused.
    bool file(const QString &name, const QString &path, qint64 size, QByteArray *sha256, bool *vanished,
        QString *reason, const std::function<bool(qint64)> &advance)
    {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly)) {
            *vanished = !source.exists();
            *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + source.errorString();
            return false;
        }
        Entry entry(name, AE_IFREG, 0644, size);
        if (archive_write_header(archive, entry.entry) != ARCHIVE_OK) {
            *reason = error();
            return false;
        }
        Sha256 hash;
        QByteArray buffer(int(qMin(size, ChunkBytes)), Qt::Uninitialized);
        for (qint64 left = size; left > 0;) {
            const qint64 wanted = qMin<qint64>(left, buffer.size());
            qint64 got = source.read(buffer.data(), wanted);
            if (got <= 0) {
                qWarning() << "File changed while being backed up:" << path;
                std::fill(buffer.begin(), buffer.begin() + int(wanted), '\0');
                got = wanted;
            }
            hash.add(buffer.constData(), got);
            if (archive_write_data(archive, buffer.constData(), size_t(got)) != got) {
                *reason = error();
                return false;
            }
            left -= got;
            if (!advance(got)) {
                *reason = QString();
                return false;
            }
        }
        *sha256 = hash.result();
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

    struct archive *archive;
    bool opened = false;
};

bool sameContents(const BackupManifest &written, const BackupManifest &read)
{
    if (written.files.size() != read.files.size() || written.rows != read.rows)
        return false;
    for (int i = 0; i < written.files.size(); ++i) {
        if (written.files.at(i).path != read.files.at(i).path
            || written.files.at(i).sha256 != read.files.at(i).sha256)
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
    QList<Item> items;
    QSet<QString> seen;
    walk(dataRoot + QLatin1Char('/'), QString(), skipped, &seen, &items);
    qint64 expected = 0;
    for (const Item &item : qAsConst(items))
        expected += item.size;

    // Everything partial lies in one folder beside the target, gone with it.
    QTemporaryDir work(targetFolder + QLatin1Char('/') + target.fileName() + QStringLiteral(".part-XXXXXX"));
    if (!work.isValid()) {
        result.reason
            = tr("No temporary folder can be made beside the backup file: %1").arg(work.errorString());
        return result;
    }
    const QString copyPath = work.filePath(snapshot->fileName());
    if (!snapshot->copyTo(copyPath, &result.reason)
        || !snapshot->describeCopy(
            copyPath, &result.manifest.rows, &result.manifest.layoutVersion, &result.reason))
        return result;
    const qint64 copySize = QFileInfo(copyPath).size();
    // Room for the archive, judged before anything large is written.
    const qint64 needed = expected + copySize + (qint64(items.size()) + 4) * 2 * BlockBytes;
    const qint64 available = QStorageInfo(targetFolder).bytesAvailable();
    if (available >= 0 && available < needed) {
        result.reason
            = tr("There is not enough free space for the backup: it needs about %1 MB, %2 MB are free.")
                  .arg(needed >> 20)
                  .arg(available >> 20);
        return result;
    }

    BackupManifest &manifest = result.manifest;
    manifest.created = Workstation::nowText();
    manifest.workstation = Workstation::hostName();
    manifest.user = Workstation::userName();
    manifest.program = QCoreApplication::applicationVersion();
    manifest.backend = snapshot->backend();
    manifest.database = QLatin1String(BackupManifest::DatabaseFolder) + snapshot->fileName();
    manifest.expectedBytes = expected + copySize;

    const qint64 total = 2 * (expected + copySize);
    qint64 done = 0;
    bool stopped = false;
    const auto advance = [&](qint64 bytes) {
        done += bytes;
        stopped = progress && !progress(done, total);
        return !stopped;
    };
    const QString partPath = work.filePath(target.fileName());
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly)) {
        result.reason = QDir::toNativeSeparators(partPath) + QStringLiteral(": ") + part.errorString();
        return result;
    }
    {
        Writer writer(part.handle());
        bool ok = writer.isOpen()
            && writer.bytes(QLatin1String(BackupManifest::HeaderName), manifest.headerJson());
        const QString dataPrefix = QLatin1String(BackupManifest::DataFolder);
        QByteArray sha;
        bool vanished = false;
        ok = ok
            && writer.file(manifest.database, copyPath, copySize, &sha, &vanished, &result.reason, advance);
        if (ok)
            manifest.files.append({ manifest.database, copySize, sha });
        for (const Item &item : qAsConst(items)) {
            if (!ok)
                break;
            if (item.folder) {
                ok = writer.folder(dataPrefix + item.relative);
                manifest.folders.append(dataPrefix + item.relative);
                continue;
            }
            vanished = false;
            ok = writer.file(
                dataPrefix + item.relative, item.path, item.size, &sha, &vanished, &result.reason, advance);
            if (ok) {
                manifest.files.append({ dataPrefix + item.relative, item.size, sha });
            } else if (vanished) {
                // Taken away meanwhile (a removal, a rename): what is gone is no longer data.
                result.notes << item.relative;
                ok = true;
            }
        }
        ok = ok && writer.bytes(QLatin1String(BackupManifest::ManifestName), manifest.manifestJson())
            && writer.close();
        if (!ok) {
            result.cancelled = stopped;
            if (result.reason.isEmpty())
                result.reason = stopped ? tr("The backup was cancelled.") : writer.error();
            return result;
        }
    }
    // On the disk before it is called written.
    if (!part.flush() || ::fsync(part.handle()) != 0) {
        result.reason = QDir::toNativeSeparators(partPath) + QStringLiteral(": ") + part.errorString();
        return result;
    }
    part.close();

    const qint64 written = done;
    const Result check = verify(partPath, [&](qint64 bytes, qint64 whole) {
        return !progress || progress(written + bytes * (total - written) / qMax<qint64>(1, whole), total);
    });
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
        progress(total, total);
    result.ok = true;
    return result;
}
