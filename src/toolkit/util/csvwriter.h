#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvOptions {
    // A comma, or the semicolon of languages whose decimal point is a comma.
    QChar separator = QLatin1Char(',');
    // A field that a spreadsheet would run as a formula (it begins with
    // "=", "+", "-", "@", a tab or a carriage return and is not a plain
    // number) is written after an apostrophe, which shows it as text.
    bool formulasAsText = true;
};

// Comma-separated values as RFC 4180 has them, for spreadsheet programs:
// fields that hold the separator, a double quote, a line break or blanks at an
// end are quoted, quotes inside doubled; records end with CRLF; UTF-8 with a
// byte-order mark, without which spreadsheet programs misread Cyrillic.
class CsvWriter
{
public:
    static QString field(const QString &text, const CsvOptions &options = CsvOptions());
    static QByteArray document(const QList<QStringList> &rows, const CsvOptions &options = CsvOptions());
    // Written whole or not at all; false with the system's reason.
    static bool save(const QString &path, const QList<QStringList> &rows, QString *reason,
        const CsvOptions &options = CsvOptions());
};
