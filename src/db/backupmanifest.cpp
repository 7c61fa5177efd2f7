#include "db/backupmanifest.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

const char *const BackupManifest::Format = "kesta-backup";
const char *const BackupManifest::HeaderName = "kesta-backup.json";
const char *const BackupManifest::ManifestName = "manifest.json";
const char *const BackupManifest::DatabaseFolder = "database/";
const char *const BackupManifest::DataFolder = "data/";

namespace
{

QJsonObject headerObject(const BackupManifest &manifest)
{
    return QJsonObject { { "format", BackupManifest::Format }, { "version", BackupManifest::FormatVersion },
        { "created", manifest.created }, { "workstation", manifest.workstation }, { "user", manifest.user },
        { "program", manifest.program }, { "backend", manifest.backend }, { "database", manifest.database },
        { "expectedBytes", double(manifest.expectedBytes) } };
}

} // namespace

QByteArray BackupManifest::headerJson() const
{
    return QJsonDocument(headerObject(*this)).toJson();
}

QByteArray BackupManifest::manifestJson() const
{
    QJsonObject object = headerObject(*this);
    QJsonObject rowCounts;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        rowCounts.insert(it.key(), double(it.value()));
    QJsonArray fileList;
    for (const File &file : files)
        fileList.append(QJsonObject { { "path", file.path }, { "size", double(file.size) },
            { "sha256", QString::fromLatin1(file.sha256.toHex()) } });
    object.insert("layoutVersion", layoutVersion);
    object.insert("rows", rowCounts);
    object.insert("files", fileList);
    object.insert("folders", QJsonArray::fromStringList(folders));
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
    expectedBytes = qint64(object.value("expectedBytes").toDouble());
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
    for (const QJsonValue &value : object.value("files").toArray()) {
        const QJsonObject file = value.toObject();
        files.append({ file.value("path").toString(), qint64(file.value("size").toDouble()),
            QByteArray::fromHex(file.value("sha256").toString().toLatin1()) });
    }
    for (const QJsonValue &value : object.value("folders").toArray())
        folders.append(value.toString());
    if (files.isEmpty() || database.isEmpty()) {
        *reason = QCoreApplication::translate("BackupArchive", "The backup's manifest is incomplete.");
        return false;
    }
    return true;
}
