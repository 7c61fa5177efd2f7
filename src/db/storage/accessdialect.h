#pragma once

#include "db/storage/sqldialect.h"

// Microsoft Access through the ODBC driver: dates as 'dd/MM/yyyy hh:mm:ss'.
class AccessDialect : public SqlDialect
{
public:
    QString driverName() const override;
    QString databaseName(const QString &filePath) const override;
    QString dateLiteral(const QVariant &value) const override;
};
