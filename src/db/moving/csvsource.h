#pragma once

#include "db/moving/importsource.h"

#include <QHash>
#include <QStringList>

// CSV files as tables, one per file, named by the file's base name; a file
// named Patients brings its neighbour Records along, as two tables of one
// source. Read as UTF-8 (with or without its mark) or, when the bytes are not
// UTF-8, as Windows-1251; the separator (comma, semicolon or tab) is the one
// the header line uses most; quoted fields may hold separators, doubled quotes
// and line breaks. The first line names the columns; every value is a text.
class CsvSource : public ImportSource
{
public:
    static std::unique_ptr<ImportSource> open(const QString &path, QString *reason);

    QString description() const override { return files.join(QStringLiteral(", ")); }
    QList<Table> tables() const override { return tableList; }
    bool readRows(const QString &table, const RowHandler &handler, QString *reason) override;

    // The rows of a text, its header first; exposed for what writes CSV to be
    // checked against what reads it.
    static QList<QStringList> parse(const QString &text);
    static QString decode(const QByteArray &bytes);

private:
    CsvSource() = default;
    bool load(const QString &path, QString *reason);

    QStringList files;
    QList<Table> tableList;
    QHash<QString, QList<QStringList>> rowsOf;
};
