#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

class Database;
class Record;
struct RowChange;

// The physicians' conclusions on recordings, one per record at most, in the
// table Conclusions. Written through the database's one write path, so each
// change has its history and reaches the other workstations; what they write
// shows here as it lands. Read for every record at once when first asked.
class Conclusions : public QObject
{
    Q_OBJECT
public:
    struct Conclusion {
        QString text;
        // The user who wrote it last, and when (UTC).
        QString writtenBy;
        QDateTime writtenAt;
        bool isEmpty() const { return text.trimmed().isEmpty(); }
    };

    // The database's conclusions, made on first call; it lives as the
    // database's child. Make it before the first write, so that a record id
    // taken again never inherits a removed recording's conclusion.
    static Conclusions *of(Database *database);

    // Empty when the record has none.
    Conclusion conclusionOf(int recordId);
    // Stores the text as the record's conclusion, by this user now; an empty
    // text removes it. False with the reason; nothing is then stored.
    bool write(Record *record, const QString &text, QString *reason = nullptr);
    // Reads every conclusion again (after a restore or a lost connection).
    void reload();

signals:
    // The record's conclusion changed, here or on another workstation; -1:
    // any may have.
    void changed(int recordId);

private:
    explicit Conclusions(Database *database);
    bool readAll();
    void readOne(int recordId);
    // In the write that stores a new record: a conclusion left under its id
    // by a removed recording goes.
    bool dropStale(const RowChange &change, QString *reason);

    Database *database;
    QHash<int, Conclusion> known;
    bool read = false;
};
