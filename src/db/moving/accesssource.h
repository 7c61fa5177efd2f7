#pragma once

#include "db/moving/importsource.h"

// An Access file (.mdb of Jet 3 and 4, .accdb) read through MDB Tools'
// library, for reading only: the file is never written.
class AccessSource : public ImportSource
{
public:
    ~AccessSource() override;
    static std::unique_ptr<ImportSource> open(const QString &path, QString *reason);

    QString description() const override { return path; }
    QList<Table> tables() const override { return tableList; }
    bool readRows(const QString &table, const RowHandler &handler, QString *reason) override;

private:
    AccessSource() = default;
    QString path;
    // The library's handle (MdbHandle).
    void *handle = nullptr;
    QList<Table> tableList;
};
