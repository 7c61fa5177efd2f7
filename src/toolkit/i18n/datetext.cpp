#include "toolkit/i18n/datetext.h"

#include <QLocale>
#include <QRegularExpression>

namespace
{

bool dayFirst()
{
    return QLocale().language() == QLocale::Russian;
}

} // namespace

QString DateText::dateFormat()
{
    return dayFirst() ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("yyyy-MM-dd");
}

QString DateText::dateTimeFormat(bool seconds)
{
    return dateFormat() + (seconds ? QStringLiteral(" HH:mm:ss") : QStringLiteral(" HH:mm"));
}

QString DateText::date(const QDate &date)
{
    return date.isValid() ? date.toString(dateFormat()) : QString();
}

QString DateText::dateTime(const QDateTime &dateTime, bool seconds)
{
    return dateTime.isValid() ? dateTime.toLocalTime().toString(dateTimeFormat(seconds)) : QString();
}

QString DateText::storedValue(const QString &text)
{
    static const QRegularExpression isoDate(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));
    static const QRegularExpression isoDateTime(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d[T ]\\d\\d:\\d\\d(:\\d\\d(\\.\\d+)?)?(Z|[+-]\\d\\d:?\\d\\d)?$"));
    if (isoDate.match(text).hasMatch()) {
        const QDate day = QDate::fromString(text, Qt::ISODate);
        return day.isValid() ? date(day) : text;
    }
    if (isoDateTime.match(text).hasMatch()) {
        QString iso = text;
        iso.replace(QLatin1Char(' '), QLatin1Char('T'));
        const QDateTime moment = QDateTime::fromString(iso, Qt::ISODateWithMs);
        return moment.isValid() ? dateTime(moment, true) : text;
    }
    return text;
}
