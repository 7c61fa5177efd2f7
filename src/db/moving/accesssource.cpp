#include "db/moving/accesssource.h"

#include <QDateTime>
#include <QFile>
#include <mdbtools.h>
#include <vector>

namespace
{

// A memo holds up to 65,535 characters, several bytes each once in UTF-8.
constexpr size_t BindSize = 256 * 1024;

ImportSource::Column::Kind kindOf(int type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return ImportSource::Column::Kind::Number;
    case MDB_DATETIME:
        return ImportSource::Column::Kind::Date;
    case MDB_BINARY:
    case MDB_OLE:
    case MDB_COMPLEX:
        return ImportSource::Column::Kind::Binary;
    default:
        return ImportSource::Column::Kind::Text;
    }
}

QVariant valueOf(int type, const char *text, int length)
{
    if (length <= 0)
        return QVariant();
    const QString value = QString::fromUtf8(text, length);
    switch (type) {
    case MDB_BOOL:
        return value != QLatin1String("0");
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return value.toLongLong();
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return value.toDouble();
    case MDB_DATETIME: {
        // The library gives day 0 of 1900 for what it cannot convert (before
        // 1900, after 2700): a text that no date reads from, never a wrong date.
        const QDateTime at = QDateTime::fromString(value, Qt::ISODate);
        return at.isValid() ? QVariant(at) : QVariant(ImportSource::tr("out of range"));
    }
    default:
        return value;
    }
}

MdbTableDef *openTable(MdbHandle *mdb, const QString &name)
{
    QByteArray utf8 = name.toUtf8();
    MdbTableDef *table = mdb_read_table_by_name(mdb, utf8.data(), MDB_TABLE);
    if (table)
        mdb_read_columns(table);
    return table;
}

} // namespace

AccessSource::~AccessSource()
{
    if (handle)
        mdb_close(static_cast<MdbHandle *>(handle));
}

std::unique_ptr<ImportSource> AccessSource::open(const QString &path, QString *reason)
{
    std::unique_ptr<AccessSource> source(new AccessSource);
    source->path = path;
    MdbHandle *mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        *reason = ImportSource::tr("%1 is not an Access database").arg(path);
        return nullptr;
    }
    source->handle = mdb;
    mdb_set_date_fmt(mdb, "%Y-%m-%dT%H:%M:%S");
    mdb_set_shortdate_fmt(mdb, "%Y-%m-%dT%H:%M:%S");
    mdb_set_bind_size(mdb, BindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        *reason = ImportSource::tr("The tables of %1 cannot be read").arg(path);
        return nullptr;
    }
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        MdbTableDef *definition = mdb_read_table(entry);
        if (!definition)
            continue;
        mdb_read_columns(definition);
        Table table { QString::fromUtf8(entry->object_name), {} };
        for (unsigned int c = 0; c < definition->num_cols; ++c) {
            auto *column = static_cast<MdbColumn *>(g_ptr_array_index(definition->columns, c));
            table.columns.append({ QString::fromUtf8(column->name), kindOf(column->col_type) });
        }
        mdb_free_tabledef(definition);
        source->tableList.append(table);
    }
    return source;
}

bool AccessSource::readRows(const QString &name, const RowHandler &handler, QString *reason)
{
    auto *mdb = static_cast<MdbHandle *>(handle);
    MdbTableDef *table = openTable(mdb, name);
    if (!table) {
        *reason = ImportSource::tr("%1 holds no table %2").arg(path, name);
        return false;
    }
    const unsigned int count = table->num_cols;
    std::vector<std::vector<char>> buffers(count, std::vector<char>(BindSize + 1));
    std::vector<int> lengths(count, 0);
    std::vector<int> types(count, 0);
    for (unsigned int c = 0; c < count; ++c) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
        types[c] = column->col_type;
        // Binary columns stay unbound: their bytes are never imported.
        if (kindOf(types[c]) != Column::Kind::Binary)
            mdb_bind_column(table, int(c + 1), buffers[c].data(), &lengths[c]);
    }
    mdb_rewind_table(table);
    bool whole = true;
    while (mdb_fetch_row(table)) {
        QVariantList values;
        values.reserve(int(count));
        for (unsigned int c = 0; c < count; ++c) {
            values.append(kindOf(types[c]) == Column::Kind::Binary
                    ? QVariant()
                    : valueOf(types[c], buffers[c].data(), lengths[c]));
        }
        if (!handler(values)) {
            whole = false;
            break;
        }
    }
    mdb_free_tabledef(table);
    if (!whole)
        *reason = ImportSource::tr("Stopped");
    return whole;
}
