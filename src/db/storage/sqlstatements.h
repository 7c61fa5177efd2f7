#pragma once

#include <QString>
#include <QStringList>

// The shapes of the statements the program builds as text. A value given as
// text here is SQL already (Database::valueText, textLiteral).
class SqlStatements
{
public:
    static QString highestId(const QString &table, const QString &idColumn);
    static QString allRows(const QString &table);
    static QString row(const QString &table, const QString &idColumn, int id);
    static QString insert(const QString &table, const QStringList &columns, const QStringList &valueTexts);
    static QString deleteRow(const QString &table, const QString &idColumn, int id);
    static QString writeColumn(const QString &table, const QString &column, const QString &valueText,
        const QString &idColumn, int id);
    static QString recordsOfPatient(const QString &patientId);
    static QString recordIds(const QString &patientId);
    static QString visits();
    static QString moveRecords(const QString &oldPatientId, const QString &newPatientId);

    // A text between single quotes, each quote inside doubled. An empty text
    // is written as a single blank, ' ', since an Access text column may refuse
    // a zero-length text; reading turns the blank back into an empty text.
    static QString textLiteral(const QString &text);
};
