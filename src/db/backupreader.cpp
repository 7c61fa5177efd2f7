// Reading a backup back: the checks of verify and extract, entry by entry.

#include "db/backuparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <archive.h>
#include <archive_entry.h>
#include <openssl/evp.h>

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
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
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
    struct Seen {
        qint64 size;
        QByteArray sha256;
    };
    QHash<QString, Seen> seen;
    QByteArray buffer(int(ChunkBytes), Qt::Uninitialized);
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
        if (name == QLatin1String(BackupManifest::ManifestName)) {
            QByteArray json;
            if (!regular || !reader.readSmall(&json) || !listed.readManifest(json, &result.reason)) {
                if (result.reason.isEmpty())
                    result.reason = damaged + QStringLiteral(": ") + reader.error();
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
        EVP_MD_CTX *hash = EVP_MD_CTX_new();
        EVP_DigestInit_ex(hash, EVP_sha256(), nullptr);
        qint64 size = 0;
        la_ssize_t got = 0;
        bool stopped = false;
        bool writeFailed = false;
        while (!stopped && !writeFailed
            && (got = archive_read_data(reader.archive, buffer.data(), size_t(buffer.size()))) > 0) {
            EVP_DigestUpdate(hash, buffer.constData(), size_t(got));
            size += got;
            writeFailed = out.isOpen() && out.write(buffer.constData(), got) != got;
            stopped = progress && !progress(reader.position(), total);
        }
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_DigestFinal_ex(hash, digest, &length);
        EVP_MD_CTX_free(hash);
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
        if (got < 0) {
            result.reason = damaged + QStringLiteral(": ") + reader.error();
            return result;
        }
        seen.insert(name, { size, QByteArray(reinterpret_cast<const char *>(digest), int(length)) });
    }
    if (status != ARCHIVE_EOF || !headerSeen) {
        result.reason = headerSeen ? damaged + QStringLiteral(": ") + reader.error() : notOurs;
        return result;
    }
    if (!manifestSeen) {
        result.reason = damaged + QStringLiteral(": ") + tr("its manifest is missing.");
        return result;
    }
    for (const BackupManifest::File &file : qAsConst(listed.files)) {
        const auto found = seen.constFind(file.path);
        if (found == seen.constEnd()) {
            result.reason = damaged + QStringLiteral(": ") + tr("%1 is missing.").arg(file.path);
            return result;
        }
        if (found->size != file.size || found->sha256 != file.sha256) {
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
