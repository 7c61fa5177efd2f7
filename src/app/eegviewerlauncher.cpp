#include "app/eegviewerlauncher.h"

#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool EegViewerLauncher::open(const QString &path, const QString &viewer)
{
    QString program = viewer;
    const Outcome outcome = tryOpen(path, viewer, &program);
    if (outcome == Opened)
        return true;
    AppHelper::warningMessage(text(outcome, path, program), tr("Open in EEG viewer"), MessageBox::Warning);
    return false;
}

EegViewerLauncher::Outcome EegViewerLauncher::tryOpen(
    const QString &path, const QString &viewer, QString *program)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile())
        return FileMissing;
    QStringList command = QProcess::splitCommand(viewer.trimmed());
    if (!command.isEmpty()) {
        const QString program = command.takeFirst();
        return QProcess::startDetached(program, command << file.absoluteFilePath()) ? Opened
                                                                                    : ViewerNotStarted;
    }
    switch (Platform::openWithDesktop(file.absoluteFilePath(), program)) {
    case Platform::OpenOutcome::Started:
        return Opened;
    case Platform::OpenOutcome::NotStarted:
        return DesktopViewerNotStarted;
    case Platform::OpenOutcome::NothingOpensIt:
        break;
    }
    return NoViewer;
}

QString EegViewerLauncher::text(Outcome outcome, const QString &path, const QString &viewer)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (outcome) {
    case Opened:
        break;
    case FileMissing:
        return tr("The recording file is not there:") + "\n" + file;
    case NoViewer:
        return tr("No application is set up to open this recording. Install an EEG viewer that opens EDF "
                  "files and make it the default for them, or name one in Settings, \"%1\".")
                   .arg(QCoreApplication::translate("Generic", "EegViewer"))
            + "\n\n" + file;
    case DesktopViewerNotStarted:
        return tr("The application set up to open this recording could not be started:") + "\n" + viewer
            + "\n\n" + file;
    case ViewerNotStarted:
        return tr("The EEG viewer named in the settings could not be started:") + "\n" + viewer + "\n\n"
            + file;
    }
    return QString();
}
