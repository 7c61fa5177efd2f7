#include "toolkit/util/workstation.h"

#include "toolkit/util/clock.h"
#include "toolkit/util/platform.h"

#include <QSysInfo>


QString Workstation::hostName()
{
    return QSysInfo::machineHostName();
}

QString Workstation::userName()
{
    return Platform::userName();
}

QString Workstation::nowText()
{
    return Clock::now().toUTC().toString(Qt::ISODateWithMs);
}
