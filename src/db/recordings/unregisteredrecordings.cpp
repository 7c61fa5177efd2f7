#include "db/recordings/unregisteredrecordings.h"

#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "toolkit/settings/settingsfile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <memory>

namespace
{

QString describe(const UnregisteredRecordings::Recording &recording)
{
    return QStringLiteral("%1 of %2 (%3): %4")
        .arg(recording.fileName, recording.patientName, recording.patientId, recording.reason);
}

} // namespace

UnregisteredRecordings::UnregisteredRecordings(const QString &filePath, QObject *parent)
    : QObject(parent)
    , path(filePath)
{
    load();
}

QString UnregisteredRecordings::defaultFile()
{
    return DataLocations::dataFolder() + QStringLiteral("unregistered-recordings.json");
}

int UnregisteredRecordings::add(Recording recording)
{
    recording.key = ++lastKey;
    list.append(recording);
    save();
    emit changed();
    return recording.key;
}

void UnregisteredRecordings::setComments(int key, const QString &comments)
{
    for (Recording &recording : list) {
        if (recording.key == key) {
            recording.comments = comments;
            save();
            return;
        }
    }
}

QString UnregisteredRecordings::filePath(const Recording &recording, Database *database)
{
    Patient *patient = database ? database->patientByPatientId(recording.patientId) : nullptr;
    if (!patient || !DataLocations::isPlainFolderName(patient->folderName()))
        return QString();
    return DataLocations::recordingPath(patient->folderName(), recording.fileName);
}

int UnregisteredRecordings::registerAgain(Database *database)
{
    int registered = 0;
    QList<Recording> kept;
    for (Recording recording : qAsConst(list)) {
        if (!recording.retriable)
            continue;
        const QString file = filePath(recording, database);
        if (file.isEmpty()) {
            recording.reason = tr("The patient is not in the database");
            kept.append(recording);
            continue;
        }
        if (!QFileInfo(file).isFile()) {
            qWarning().noquote() << "Unregistered recording dropped, its file is gone:" << file;
            continue;
        }
        Patient *patient = database->patientByPatientId(recording.patientId);
        QString reason;
        const int id = database->insertRecord(
            patient, recording.recordDate, recording.fileName, recording.recordType, QString(), &reason);
        if (id <= 0) {
            recording.reason = reason;
            kept.append(recording);
            continue;
        }
        ++registered;
        qInfo().noquote() << "Recording registered:" << file;
        // As the recorder's comment arrives: a comment the row refuses must not cost the row.
        if (!recording.comments.isEmpty()) {
            const std::unique_ptr<Record> record(database->loadRecord(id));
            record->setComments(recording.comments);
            patient->loadRecords();
        }
    }
    list = kept;
    save();
    emit changed();
    return registered;
}

void UnregisteredRecordings::dropUntold()
{
    const int before = list.size();
    list.erase(std::remove_if(
                   list.begin(), list.end(), [](const Recording &recording) { return !recording.retriable; }),
        list.end());
    if (list.size() != before)
        emit changed();
}

void UnregisteredRecordings::load()
{
    QByteArray bytes;
    if (!SettingsFile::read(path, &bytes))
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        SettingsFile::keepUnreadable(path);
        return;
    }
    for (const QJsonValue &value : document.array()) {
        const QJsonObject object = value.toObject();
        Recording recording;
        recording.key = ++lastKey;
        recording.patientId = object.value(QStringLiteral("patientId")).toString();
        recording.patientName = object.value(QStringLiteral("patientName")).toString();
        recording.folderName = object.value(QStringLiteral("folderName")).toString();
        recording.fileName = object.value(QStringLiteral("fileName")).toString();
        recording.recordType = object.value(QStringLiteral("recordType")).toString();
        recording.recordDate
            = QDateTime::fromString(object.value(QStringLiteral("recordDate")).toString(), Qt::ISODate);
        recording.comments = object.value(QStringLiteral("comments")).toString();
        recording.reason = object.value(QStringLiteral("reason")).toString();
        if (!recording.fileName.isEmpty())
            list.append(recording);
    }
    for (const Recording &recording : qAsConst(list))
        qWarning().noquote() << "Recording still not registered:" << describe(recording);
}

void UnregisteredRecordings::save()
{
    QJsonArray array;
    for (const Recording &recording : qAsConst(list)) {
        if (!recording.retriable)
            continue;
        array.append(QJsonObject { { QStringLiteral("patientId"), recording.patientId },
            { QStringLiteral("patientName"), recording.patientName },
            { QStringLiteral("folderName"), recording.folderName },
            { QStringLiteral("fileName"), recording.fileName },
            { QStringLiteral("recordType"), recording.recordType },
            { QStringLiteral("recordDate"), recording.recordDate.toString(Qt::ISODate) },
            { QStringLiteral("comments"), recording.comments },
            { QStringLiteral("reason"), recording.reason } });
    }
    if (array.isEmpty()) {
        QFile::remove(path);
        return;
    }
    if (!SettingsFile::write(path, QJsonDocument(array).toJson()))
        qWarning().noquote() << "The list of unregistered recordings was not written:" << path;
}
