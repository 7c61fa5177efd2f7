#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 has them, for spreadsheet programs:
// fields that hold a comma, a double quote, a line break or blanks at an end
// are quoted, quotes inside doubled; records end with CRLF; UTF-8 with a
// byte-order mark, without which spreadsheet programs misread Cyrillic.
class CsvWriter
{
public:
    static QString field(const QString &text);
    static QByteArray document(const QList<QStringList> &rows);
    // Written whole or not at all; false with the system's reason.
    static bool save(const QString &path, const QList<QStringList> &rows, QString *reason);
};
