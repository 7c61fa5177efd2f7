#pragma once

#include <QDateTime>
#include <QString>

// Dates and times as the interface language writes them, one form wherever they
// are shown: "07.12.2026 15:44" in Russian, "2026-12-07 15:44" in English (a form
// no reader takes for month first). Follows QLocale's default, which the
// interface language sets.
namespace DateText
{

// "dd.MM.yyyy" or "yyyy-MM-dd", as QDate::toString takes it.
QString dateFormat();
// The date form followed by "HH:mm", or "HH:mm:ss" with seconds.
QString dateTimeFormat(bool seconds = false);

// Empty for an invalid value.
QString date(const QDate &date);
// In the local time zone, whatever zone the value was kept in.
QString dateTime(const QDateTime &dateTime, bool seconds = false);
// A stored text (ISO 8601 date, or date and time, "Z" for UTC) as it is shown;
// any other text as it stands.
QString storedValue(const QString &text);

} // namespace DateText
