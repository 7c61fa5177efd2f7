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
    return now().date();
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
