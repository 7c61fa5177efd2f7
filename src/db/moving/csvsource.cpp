#include "db/moving/csvsource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace
{

QChar separatorOf(const QString &text)
{
    int comma = 0;
    int semicolon = 0;
    int tab = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++comma;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolon;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tab;
    }
    if (tab > comma && tab > semicolon)
        return QLatin1Char('\t');
    return semicolon > comma ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace

QString CsvSource::decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QTextCodec::ConverterState state;
    const QString utf8
        = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0)
        return utf8;
    return QTextCodec::codecForName("Windows-1251")->toUnicode(bytes);
}

QList<QStringList> CsvSource::parse(const QString &text)
{
    const QChar separator = separatorOf(text);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endRow = [&] {
        row.append(field);
        field.clear();
        fieldStarted = false;
        // Blank lines hold no row.
        if (row.size() > 1 || !row.first().isEmpty())
            rows.append(row);
        row.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field.append(c);
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field.append(c);
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            row.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty())
        endRow();
    return rows;
}

std::unique_ptr<ImportSource> CsvSource::open(const QString &path, QString *reason)
{
    std::unique_ptr<CsvSource> source(new CsvSource);
    if (!source->load(path, reason))
        return nullptr;
    const QFileInfo info(path);
    if (info.completeBaseName().compare(QLatin1String("Patients"), Qt::CaseInsensitive) == 0) {
        for (const QFileInfo &other : info.dir().entryInfoList(QDir::Files)) {
            if (other.completeBaseName().compare(QLatin1String("Records"), Qt::CaseInsensitive) == 0
                && other.suffix().compare(info.suffix(), Qt::CaseInsensitive) == 0
                && !source->load(other.filePath(), reason))
                return nullptr;
        }
    }
    return source;
}

bool CsvSource::load(const QString &path, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = ImportSource::tr("%1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    QList<QStringList> rows = parse(decode(file.readAll()));
    if (rows.isEmpty()) {
        *reason = ImportSource::tr("%1 holds no header line").arg(path);
        return false;
    }
    Table table { QFileInfo(path).completeBaseName(), {} };
    for (const QString &name : rows.takeFirst())
        table.columns.append({ name.trimmed(), Column::Kind::Text });
    files.append(path);
    tableList.append(table);
    rowsOf.insert(table.name, rows);
    return true;
}

bool CsvSource::readRows(const QString &name, const RowHandler &handler, QString *reason)
{
    const Table found = table(name);
    if (found.name.isEmpty()) {
        *reason = ImportSource::tr("No table %1").arg(name);
        return false;
    }
    const int width = found.columns.size();
    for (const QStringList &row : rowsOf.value(found.name)) {
        QVariantList values;
        values.reserve(width);
        for (int i = 0; i < width; ++i) {
            const QString text = i < row.size() ? row.at(i) : QString();
            values.append(text.isEmpty() ? QVariant() : QVariant(text));
        }
        if (!handler(values)) {
            *reason = ImportSource::tr("Stopped");
            return false;
        }
    }
    return true;
}
