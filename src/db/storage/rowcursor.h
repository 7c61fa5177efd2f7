#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

class QDate;
class QDateTime;
class QSqlQuery;

// The rows of a result, one after the other, as the row objects read them.
// A backend may step through its own library's result instead of Qt's, which
// copies every value of every row before anyone asks for it.
class RowCursor
{
public:
    virtual ~RowCursor() = default;

    // The next row; false at the end or on an error.
    virtual bool next() = 0;
    // A value of the current row: NULL as an invalid QVariant or a null one,
    // numbers as numbers, texts as texts.
    virtual QVariant value(int field) const = 0;
    // The field of the named column, or -1.
    virtual int indexOf(const QString &name) const = 0;
    // Why the rows stopped before their end; empty when they all came.
    virtual QString error() const = 0;
    // The field's value into *text when it is a text, not NULL; false
    // otherwise, and value() then tells what it is. Loading a list reads
    // millions of texts: this way each costs no QVariant, and a repeated one
    // is given as the one before it (share()).
    virtual bool text(int field, QString *text) const;
    // The field's value into *value, a value of QMetaType `type` (an integer,
    // a real number, a date or a date and time), when it is stored plainly as
    // one; false otherwise, and value() then tells what it is.
    virtual bool typed(int field, int type, void *value) const;

    // The rows of a query that has run, through Qt.
    static std::unique_ptr<RowCursor> of(QSqlQuery &query);

    // "yyyy-mm-dd" and "yyyy-mm-ddThh:mm:ss" (or with a blank for the T), as
    // the databases write them, read without Qt's general parser, which costs
    // more than the rest of a row; false for anything else, left to that parser.
    static bool isoDate(const char *bytes, int size, QDate *date);
    static bool isoDateTime(const char *bytes, int size, QDateTime *dateTime);

protected:
    // A text of the field that equals one it gave before, as that one: the
    // same city, diagnosis, last name or patronymic in thousands of rows is
    // then held once. Texts are remembered in a bounded table per field, so a
    // field of unique texts costs no more than the table; one whose first
    // texts seldom repeat (IDs, folder names) is no longer compared at all.
    void share(int field, QString *text) const;

    // UTF-8 bytes as a text. Most stored texts are plain ASCII, which converts
    // several times faster than through the UTF-8 decoder.
    static QString decoded(const char *bytes, int size);
    // The field's text from its `size` UTF-8 bytes, shared as share() does but
    // known by those bytes: a text that repeats is neither decoded nor copied.
    void textFrom(int field, const char *bytes, int size, QString *text) const;

private:
    // A power of two: enough for the surnames and patronymics that fill most of
    // a clinic's list, little beside a hundred thousand rows' texts.
    static constexpr int sharedPerField = 512;
    static constexpr int trialTexts = 4096;
    struct Sharing {
        QVector<QString> kept;
        // The bytes each kept text was read from, for cursors that read bytes.
        QVector<QByteArray> keys;
        int tried = 0; // -1 once given up
        int found = 0;
    };
    // The field's table, or null once it has been given up.
    Sharing *sharingOf(int field) const;
    void counted(Sharing &shared, bool hit) const;
    mutable QVector<Sharing> sharing;
};
