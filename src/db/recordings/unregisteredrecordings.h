#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class Database;

// Recordings the recorder reported that the database did not take: their files lie on disk
// where the recorder put them, and nothing lists them. Those that lie in a patient's folder
// are kept in a small file in the data folder until they are registered or their files are
// gone, so that they are offered again after a restart.
class UnregisteredRecordings : public QObject
{
    Q_OBJECT
public:
    struct Recording {
        // Names the recording for the comment that follows it; not kept in the file.
        int key = 0;
        QString patientId;
        QString patientName;
        // The patient's folder name when the recording was reported.
        QString folderName;
        // As the recorder reported it, relative to the patient's folder.
        QString fileName;
        QString recordType;
        QDateTime recordDate;
        QString comments;
        QString reason;
        // False when there is nothing in a patient's folder to register (a name that leads
        // outside it, no patient selected): told once, never kept.
        bool retriable = true;
    };

    // Reads the recordings kept at `filePath`.
    explicit UnregisteredRecordings(const QString &filePath, QObject *parent = nullptr);
    // "<data folder>/unregistered-recordings.json".
    static QString defaultFile();

    QList<Recording> recordings() const { return list; }
    bool isEmpty() const { return list.isEmpty(); }
    // Adds a recording; the key names it for setComments.
    int add(Recording recording);
    void setComments(int key, const QString &comments);
    // Where the recording's file lies now (the patient's folder may have been renamed); empty
    // when its patient is gone.
    static QString filePath(const Recording &recording, Database *database);
    // Registers every kept recording whose patient (by PatientID) exists and whose file is
    // still there, with its comment; drops those whose file is gone and those never kept. The
    // others stay with the new reason. Returns how many were registered.
    int registerAgain(Database *database);
    // Drops those that are never kept, once they have been told.
    void dropUntold();

signals:
    void changed();

private:
    void load();
    void save();

    QString path;
    QList<Recording> list;
    int lastKey = 0;
};
