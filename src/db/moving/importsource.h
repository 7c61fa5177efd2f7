#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

// A foreign database the importer reads from: tables of typed values, read
// row by row. Access files and CSV files are read through this one interface,
// so that what maps, checks and writes never knows which it was.
class ImportSource
{
    Q_DECLARE_TR_FUNCTIONS(ImportSource)
public:
    struct Column {
        enum class Kind { Text, Number, Date, Binary };
        QString name;
        Kind kind = Kind::Text;
    };
    struct Table {
        QString name;
        QList<Column> columns;
    };
    // One row's values in the table's column order: QString, double or
    // qlonglong, QDateTime, bool; null for an empty cell and for a binary
    // column, which is never read.
    using RowHandler = std::function<bool(const QVariantList &values)>;

    virtual ~ImportSource();
    // The file (or files) read, for the report and the history.
    virtual QString description() const = 0;
    virtual QList<Table> tables() const = 0;
    // Hands every row of the table to handler in the file's order; a handler
    // answering false stops the reading. False with the reason when the table
    // could not be read through.
    virtual bool readRows(const QString &table, const RowHandler &handler, QString *reason) = 0;

    // The table of this name, case aside; an empty table when there is none.
    Table table(const QString &name) const;

    // A reader for the file by its kind: .mdb and .accdb through the Access
    // reader, .sqlite (another workstation's own file) read only, anything
    // else (.csv, .txt, .tsv) as CSV with its neighbours. Null with the
    // reason when it cannot be opened.
    static std::unique_ptr<ImportSource> open(const QString &path, QString *reason);
};
