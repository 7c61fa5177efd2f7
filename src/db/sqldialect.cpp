#include "db/sqldialect.h"

#include "db/accessdialect.h"
#include "db/sqlitedialect.h"

std::unique_ptr<SqlDialect> SqlDialect::platformDefault()
{
#ifdef Q_OS_WIN
    return std::make_unique<AccessDialect>();
#else
    return std::make_unique<SqliteDialect>();
#endif
}
