#include "db/recordings/unregisteredrecordings.h"

#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "toolkit/settings/settingsfile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <algorithm>

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
    saveTimer = new QTimer(this);
    saveTimer->setSingleShot(true);
    saveTimer->setInterval(200);
    connect(saveTimer, &QTimer::timeout, this, &UnregisteredRecordings::save);
    load();
}

UnregisteredRecordings::~UnregisteredRecordings()
{
    if (saveTimer->isActive())
        save();
}

void UnregisteredRecordings::saveSoon()
{
    if (!saveTimer->isActive())
        saveTimer->start();
}

QString UnregisteredRecordings::defaultFile()
{
    return DataLocations::dataFolder() + QStringLiteral("unregistered-recordings.json");
}

int UnregisteredRecordings::add(Recording recording)
{
    recording.key = ++lastKey;
    list.append(recording);
    saveSoon();
    emit changed();
    return recording.key;
}

void UnregisteredRecordings::setComments(int key, const QString &comments)
{
    for (Recording &recording : list) {
        if (recording.key == key) {
            recording.comments = comments;
            saveSoon();
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

QString UnregisteredRecordings::lastKnownPath(const Recording &recording, Database *database)
{
    if (!recording.retriable && !recording.registered)
        return QString();
    const QString now = filePath(recording, database);
    if (!now.isEmpty() || !DataLocations::isPlainFolderName(recording.folderName))
        return now;
    return DataLocations::recordingPath(recording.folderName, recording.fileName);
}

void UnregisteredRecordings::update(const Recording &recording)
{
    for (Recording &kept : list) {
        if (kept.key == recording.key && recording.key > 0) {
            kept = recording;
            saveSoon();
            emit changed();
            return;
        }
    }
    add(recording);
}

void UnregisteredRecordings::remove(const QSet<int> &keys)
{
    const int before = list.size();
    list.erase(std::remove_if(list.begin(), list.end(),
                   [&keys](const Recording &recording) { return keys.contains(recording.key); }),
        list.end());
    if (list.size() == before)
        return;
    saveSoon();
    emit changed();
}

void UnregisteredRecordings::dropTold(const QSet<int> &keys)
{
    QSet<int> told;
    for (const Recording &recording : qAsConst(list)) {
        if (!recording.retriable && keys.contains(recording.key))
            told.insert(recording.key);
    }
    remove(told);
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
        recording.retriable = object.value(QStringLiteral("retriable")).toBool(true);
        recording.registered = object.value(QStringLiteral("registered")).toBool(false);
        recording.operation = object.value(QStringLiteral("operation")).toString();
        if (!recording.fileName.isEmpty())
            list.append(recording);
    }
    for (const Recording &recording : qAsConst(list))
        qWarning().noquote() << "Recording still not registered:" << describe(recording);
}

void UnregisteredRecordings::save()
{
    saveTimer->stop();
    QJsonArray array;
    // Also those that are dropped once told: a program closed before it told them tells them
    // at the next start.
    for (const Recording &recording : qAsConst(list)) {
        array.append(QJsonObject { { QStringLiteral("patientId"), recording.patientId },
            { QStringLiteral("patientName"), recording.patientName },
            { QStringLiteral("folderName"), recording.folderName },
            { QStringLiteral("fileName"), recording.fileName },
            { QStringLiteral("recordType"), recording.recordType },
            { QStringLiteral("recordDate"), recording.recordDate.toString(Qt::ISODate) },
            { QStringLiteral("comments"), recording.comments },
            { QStringLiteral("reason"), recording.reason },
            { QStringLiteral("retriable"), recording.retriable },
            { QStringLiteral("registered"), recording.registered },
            { QStringLiteral("operation"), recording.operation } });
    }
    if (array.isEmpty()) {
        QFile::remove(path);
        return;
    }
    if (!SettingsFile::write(path, QJsonDocument(array).toJson(QJsonDocument::Compact)))
        qWarning().noquote() << "The list of unregistered recordings was not written:" << path;
}
