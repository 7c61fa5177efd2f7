#pragma once

#include "db/moving/importsource.h"

// Another workstation's own database file (SQLite), opened for reading only:
// its Patients and Records map themselves, so two clinics' files become one.
class SqliteSource : public ImportSource
{
public:
    ~SqliteSource() override;
    static std::unique_ptr<ImportSource> open(const QString &path, QString *reason);

    QString description() const override { return path; }
    QList<Table> tables() const override { return tableList; }
    bool readRows(const QString &table, const RowHandler &handler, QString *reason) override;

private:
    SqliteSource() = default;
    QString path;
    QString connection;
    QList<Table> tableList;
};
