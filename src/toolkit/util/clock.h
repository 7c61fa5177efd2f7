#pragma once

#include <QDateTime>

// The one source of the current time for ages, time-outs and guards, so that
// tests can move it instead of waiting.
class Clock
{
public:
    static QDateTime now();
    static QDate today();
    static qint64 msecsSinceEpoch();
    static qint64 secsSinceEpoch();

    // Test seam: from now on the clock stands at `time` and moves only by advance().
    static void setTestTime(const QDateTime &time);
    static void advance(qint64 msecs);
    // Back to the system clock.
    static void useSystemTime();
};
