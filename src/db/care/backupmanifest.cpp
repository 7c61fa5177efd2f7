#include "db/care/backupmanifest.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

const char *const BackupManifest::Format = "kesta-backup";
const char *const BackupManifest::HeaderName = "kesta-backup.json";
const char *const BackupManifest::ChecksumsName = "checksums.xxh128";
const char *const BackupManifest::ManifestName = "manifest.json";
const char *const BackupManifest::DatabaseFolder = "database/";
const char *const BackupManifest::DataFolder = "data/";

namespace
{

QJsonObject headerObject(const BackupManifest &manifest)
{
    return QJsonObject { { "format", BackupManifest::Format }, { "version", BackupManifest::FormatVersion },
        { "created", manifest.created }, { "workstation", manifest.workstation }, { "user", manifest.user },
        { "program", manifest.program }, { "backend", manifest.backend }, { "database", manifest.database } };
}

QString incomplete()
{
    return QCoreApplication::translate("BackupArchive", "The backup's manifest is incomplete.");
}

} // namespace

QByteArray BackupManifest::headerJson() const
{
    return QJsonDocument(headerObject(*this)).toJson();
}

QByteArray BackupManifest::checksumList() const
{
    QByteArray text;
    text.reserve(files.size() * 100);
    for (const File &file : files) {
        // As xxh128sum writes a name with a backslash or a line break in it.
        QByteArray name = file.path.toUtf8();
        const bool escaped = name.contains('\\') || name.contains('\n');
        if (escaped)
            name.replace('\\', "\\\\").replace('\n', "\\n");
        text += (escaped ? "\\" : "") + file.checksum.toHex() + "  " + name + '\n';
    }
    return text;
}

QByteArray BackupManifest::manifestJson() const
{
    QJsonObject object = headerObject(*this);
    QJsonObject rowCounts;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        rowCounts.insert(it.key(), double(it.value()));
    object.insert("layoutVersion", layoutVersion);
    object.insert("rows", rowCounts);
    object.insert("files", files.size());
    object.insert("checksums", QString::fromLatin1(listChecksum.toHex()));
    return QJsonDocument(object).toJson();
}

bool BackupManifest::readHeader(const QByteArray &json, QString *reason)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    if (object.value("format").toString() != QLatin1String(Format)) {
        *reason = QCoreApplication::translate("BackupArchive", "This file is not a backup of this program.");
        return false;
    }
    if (object.value("version").toInt() > FormatVersion) {
        *reason = QCoreApplication::translate(
            "BackupArchive", "This backup was written by a newer version of the program.");
        return false;
    }
    created = object.value("created").toString();
    workstation = object.value("workstation").toString();
    user = object.value("user").toString();
    program = object.value("program").toString();
    backend = object.value("backend").toString();
    database = object.value("database").toString();
    return true;
}

bool BackupManifest::readChecksumList(const QByteArray &text, QString *reason)
{
    files.clear();
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const bool escaped = line.startsWith('\\');
        const int hexStart = escaped ? 1 : 0;
        if (line.size() < hexStart + 34 || line.mid(hexStart + 32, 2) != "  ") {
            *reason = incomplete();
            return false;
        }
        QByteArray name = line.mid(hexStart + 34);
        if (escaped) {
            QByteArray plain;
            for (int i = 0; i < name.size(); ++i) {
                const char c = name.at(i);
                plain += c == '\\' && i + 1 < name.size() ? (name.at(++i) == 'n' ? '\n' : name.at(i)) : c;
            }
            name = plain;
        }
        files.append({ QString::fromUtf8(name), 0, QByteArray::fromHex(line.mid(hexStart, 32)) });
    }
    return true;
}

bool BackupManifest::readManifest(const QByteArray &json, QString *reason)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    if (!readHeader(json, reason))
        return false;
    layoutVersion = object.value("layoutVersion").toInt();
    const QJsonObject rowCounts = object.value("rows").toObject();
    for (auto it = rowCounts.constBegin(); it != rowCounts.constEnd(); ++it)
        rows.insert(it.key(), qint64(it.value().toDouble()));
    listChecksum = QByteArray::fromHex(object.value("checksums").toString().toLatin1());
    if (database.isEmpty() || listChecksum.isEmpty() || object.value("files").toInt() != files.size()) {
        *reason = incomplete();
        return false;
    }
    return true;
}
