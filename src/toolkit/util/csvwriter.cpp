#include "toolkit/util/csvwriter.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

QString CsvWriter::field(const QString &plain, const CsvOptions &options)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?\\d+([.,]\\d+)?$"));
    static const QString starts = QStringLiteral("=+-@\t\r");
    QString text = plain;
    if (options.formulasAsText && !text.isEmpty() && starts.contains(text.front())
        && text != QLatin1String("-") && !number.match(text).hasMatch())
        text.prepend(QLatin1Char('\''));
    const bool quoted = text.contains(options.separator) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
        || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray CsvWriter::document(const QList<QStringList> &rows, const CsvOptions &options)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &value : row)
            fields << field(value, options);
        text += fields.join(options.separator) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool CsvWriter::save(
    const QString &path, const QList<QStringList> &rows, QString *reason, const CsvOptions &options)
{
    QSaveFile file(path);
    const QByteArray bytes = document(rows, options);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    return false;
}
