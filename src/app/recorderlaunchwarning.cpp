#include "app/recorderlaunchwarning.h"

#include "exchange/recorderlauncher.h"
#include "toolkit/util/apphelper.h"

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
    case RecorderLaunch::StartFailed:
        return tr("The recorder cannot be started:") + "\n" + QDir::toNativeSeparators(launch.program) + "\n"
            + launch.reason + "\n\n" + tr("Places looked in:") + "\n" + places.join("\n");
    }
    return QString();
}
