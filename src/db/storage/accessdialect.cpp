#include "db/storage/accessdialect.h"

#include <QDateTime>
#include <QVariant>

namespace
{

QString zeroPad(int number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

} // namespace

QString AccessDialect::driverName() const
{
    return QStringLiteral("QODBC");
}

QString AccessDialect::databaseName(const QString &filePath) const
{
    return QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};DSN='';DBQ=") + filePath;
}

QString AccessDialect::dateLiteral(const QVariant &value) const
{
    QDate date;
    QTime time;
    if (value.userType() == QMetaType::QDate) {
        date = value.toDate();
    } else if (value.userType() == QMetaType::QDateTime) {
        const QDateTime dateTime = value.toDateTime();
        date = dateTime.date();
        time = dateTime.time();
    }
    const bool validDate = date.isValid();
    // An invalid time reports -1 for each part; it counts as midnight.
    const QString literal = QLatin1Char('\'') + zeroPad(validDate ? date.day() : 0, 2) + QLatin1Char('/')
        + zeroPad(validDate ? date.month() : 0, 2) + QLatin1Char('/')
        + zeroPad(validDate ? date.year() : 0, 4) + QLatin1Char(' ') + zeroPad(qMax(0, time.hour()), 2)
        + QLatin1Char(':') + zeroPad(qMax(0, time.minute()), 2) + QLatin1Char(':')
        + zeroPad(qMax(0, time.second()), 2) + QLatin1Char('\'');
    if (literal == QLatin1String("'00/00/0000 00:00:00'"))
        return QStringLiteral("NULL");
    return literal;
}
