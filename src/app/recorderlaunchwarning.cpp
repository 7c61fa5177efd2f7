#include "app/recorderlaunchwarning.h"

#include "exchange/orvalisexchange.h"
#include "exchange/recorderlauncher.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QDir>

bool RecorderLaunchWarning::confirmStarted(const RecorderLaunch &launch)
{
    if (launch.started())
        return true;
    AppHelper::warningMessage(text(launch), tr("Recorder"), MessageBox::Warning);
    return false;
}

QString RecorderLaunchWarning::text(const RecorderLaunch &launch)
{
    QStringList places;
    for (const QString &place : launch.searched)
        places.append(QDir::toNativeSeparators(place));
    switch (launch.outcome) {
    case RecorderLaunch::Started:
        return QString();
    case RecorderLaunch::NotFound:
        return tr("No recorder is installed. It was looked for in these places:") + "\n" + places.join("\n");
    case RecorderLaunch::ExchangeClosed:
        return tr("The recorder is not started: it could not talk to this program, since port %1 is taken by "
                  "another program. The port is tried again every %2 seconds.")
                   .arg(OrvalisExchange::Port)
                   .arg(OrvalisExchange::ListenRetryMs / 1000)
            + (launch.reason.isEmpty() ? QString() : "\n\n" + tr("Held by:") + " " + launch.reason);
    case RecorderLaunch::StartFailed:
        return tr("The recorder cannot be started:") + "\n" + QDir::toNativeSeparators(launch.program) + "\n"
            + launch.reason + "\n\n" + tr("Places looked in:") + "\n" + places.join("\n");
    }
    return QString();
}
