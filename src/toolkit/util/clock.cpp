#include "toolkit/util/clock.h"

#include <atomic>

namespace
{

// Milliseconds since the epoch while a test holds the clock, or none.
constexpr qint64 SystemTime = -1;
std::atomic<qint64> testTime { SystemTime };

} // namespace

QDateTime Clock::now()
{
    const qint64 fixed = testTime.load();
    return fixed == SystemTime ? QDateTime::currentDateTime() : QDateTime::fromMSecsSinceEpoch(fixed);
}

QDate Clock::today()
{
    // Local time asks the system for its time zone on every conversion; a
    // list of thousands of ages converts once. A held clock is converted for
    // each new instant, the system clock at most once a second.
    thread_local bool known = false;
    thread_local bool wasHeld = false;
    thread_local qint64 convertedAt = 0;
    thread_local QDate date;
    const qint64 fixed = testTime.load();
    const bool held = fixed != SystemTime;
    const qint64 msecs = held ? fixed : QDateTime::currentMSecsSinceEpoch();
    const bool current = known && held == wasHeld
        && (held ? msecs == convertedAt : msecs >= convertedAt && msecs - convertedAt < 1000);
    if (!current) {
        date = QDateTime::fromMSecsSinceEpoch(msecs).date();
        known = true;
        wasHeld = held;
        convertedAt = msecs;
    }
    return date;
}

qint64 Clock::msecsSinceEpoch()
{
    const qint64 fixed = testTime.load();
    return fixed == SystemTime ? QDateTime::currentMSecsSinceEpoch() : fixed;
}

qint64 Clock::secsSinceEpoch()
{
    return msecsSinceEpoch() / 1000;
}

void Clock::setTestTime(const QDateTime &time)
{
    testTime = time.toMSecsSinceEpoch();
}

void Clock::advance(qint64 msecs)
{
    if (testTime.load() == SystemTime)
        testTime = QDateTime::currentMSecsSinceEpoch();
    testTime += msecs;
}

void Clock::useSystemTime()
{
    testTime = SystemTime;
}
