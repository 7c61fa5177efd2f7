#include "app/newversionprompt.h"

#include "db/model/kestasettings.h"
#include "toolkit/update/versionchecker.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>

namespace
{

constexpr int VersionCheckPeriodSecs = 600;

} // namespace

NewVersionPrompt::NewVersionPrompt(KestaSettings *settings, QObject *parent)
    : QObject(parent)
{
    connect(VersionChecker::Instance(), &VersionChecker::versionFound, this, &NewVersionPrompt::offer,
        Qt::QueuedConnection);
    // Switched off it is told so too, so that the About box's button does not start checks either.
    VersionChecker::StartChecking(settings->getCheckForNewVersion(), VersionCheckPeriodSecs);
    connect(settings, &KestaSettings::changedCheckForNewVersion, this,
        [](bool enabled) { VersionChecker::StartChecking(enabled, VersionCheckPeriodSecs); });
}

void NewVersionPrompt::offer(const VersionInfo &info)
{
    // One prompt at a time, however many answers arrive while it is open.
    static bool promptOpen = false;
    if (!info.valid || promptOpen)
        return;
    // The window's texts, from before the prompt had a class of its own.
    const QString text = QCoreApplication::translate("MainWindow", "We recommend to upgrade to version") + " "
        + info.version + "\n" + QCoreApplication::translate("MainWindow", "Current version") + " "
        + AppHelper::appVersion(true) + " " + QCoreApplication::translate("MainWindow", "is outdated.")
        + "\n\n" + QCoreApplication::translate("MainWindow", "Would you like to upgrade now?");
    promptOpen = true;
    if (!AppHelper::confirmDialog(
            QCoreApplication::translate("MainWindow", "New version"), text, MessageBox::Information)) {
        promptOpen = false;
        return;
    }
    // An address from the network must not start a local handler or open a local file.
    if (!VersionChecker::openLink(info.link)) {
        promptOpen = false;
        AppHelper::warningMessage(
            QCoreApplication::translate("MainWindow", "The download address was not opened") + ":\n"
            + TextHelper::visibleText(info.link));
        return;
    }
    QCoreApplication::quit();
}
