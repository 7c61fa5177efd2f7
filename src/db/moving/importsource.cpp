#include "db/moving/importsource.h"

#include "db/moving/accesssource.h"
#include "db/moving/csvsource.h"
#include "db/moving/sqlitesource.h"

#include <QFileInfo>

ImportSource::~ImportSource() = default;

ImportSource::Table ImportSource::table(const QString &name) const
{
    for (const Table &each : tables()) {
        if (each.name.compare(name, Qt::CaseInsensitive) == 0)
            return each;
    }
    return Table();
}

std::unique_ptr<ImportSource> ImportSource::open(const QString &path, QString *reason)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        *reason = tr("%1 cannot be read").arg(path);
        return nullptr;
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb"))
        return AccessSource::open(path, reason);
    if (suffix == QLatin1String("sqlite") || suffix == QLatin1String("db"))
        return SqliteSource::open(path, reason);
    return CsvSource::open(path, reason);
}
