#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class Database;
class QTimer;

// What RecordingRegistration could not store, kept in a small file in the data folder until
// the user has seen it: recordings the database did not take (their files lie on disk where
// they were put, and nothing lists them), kept further until they are registered or their
// files are gone, so that they are offered again after a restart; and comments that a
// registered record could not take whole.
class UnregisteredRecordings : public QObject
{
    Q_OBJECT
public:
    struct Recording {
        // Names the entry for as long as the list lives (a following comment, being told); not
        // kept in the file.
        int key = 0;
        QString patientId;
        QString patientName;
        // The patient's folder name when the recording was reported.
        QString folderName;
        // As the recorder reported it, relative to the patient's folder.
        QString fileName;
        QString recordType;
        QDateTime recordDate;
        // Of an unregistered recording its whole comment; of a registered one the text of its
        // comment that the record could not take.
        QString comments;
        QString reason;
        // False when there is nothing in a patient's folder to register (a name that leads
        // outside it, no patient selected) or the recording is registered: dropped once told.
        bool retriable = true;
        // The record exists; only (part of) its comment was not stored.
        bool registered = false;
        // The id of a registration whose commit went unanswered: whether it
        // landed is asked before it is tried again.
        QString operation {};
    };

    // Reads the recordings kept at `filePath`.
    explicit UnregisteredRecordings(const QString &filePath, QObject *parent = nullptr);
    // Writes what a change left unwritten.
    ~UnregisteredRecordings() override;
    // "<data folder>/unregistered-recordings.json".
    static QString defaultFile();

    QList<Recording> recordings() const { return list; }
    // Adds a recording; the key names it for setComments.
    int add(Recording recording);
    void setComments(int key, const QString &comments);
    // Puts back the recording of the same key, changed; a recording of no key is added.
    void update(const Recording &recording);
    void remove(const QSet<int> &keys);
    // Where the recording's file lies now (the patient's folder may have been renamed); empty
    // when its patient is gone.
    static QString filePath(const Recording &recording, Database *database);
    // Where the file lies now, or where it lay when its patient is gone; empty for a name that
    // leads elsewhere.
    static QString lastKnownPath(const Recording &recording, Database *database);
    // Drops those of these keys that need no more than being told, now that they have been.
    void dropTold(const QSet<int> &keys);

signals:
    void changed();

private:
    void load();
    // Soon, once for the changes made meanwhile: a recorder that reports thousands of
    // recordings in a row must not cost a full rewrite of the file for each.
    void saveSoon();
    void save();

    QString path;
    QList<Recording> list;
    int lastKey = 0;
    QTimer *saveTimer = nullptr;
};
