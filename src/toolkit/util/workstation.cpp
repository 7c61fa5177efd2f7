#include "toolkit/util/workstation.h"

#include "toolkit/util/clock.h"

#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString Workstation::hostName()
{
    return QSysInfo::machineHostName();
}

QString Workstation::userName()
{
#ifdef Q_OS_UNIX
    // The account itself: the environment is the caller's to change.
    if (const passwd *account = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
    return qEnvironmentVariable("USER");
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString Workstation::nowText()
{
    return Clock::now().toUTC().toString(Qt::ISODateWithMs);
}
