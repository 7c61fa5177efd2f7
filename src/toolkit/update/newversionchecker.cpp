#include "toolkit/update/newversionchecker.h"

#include "toolkit/update/versionchecker.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QTextDocument>

namespace
{

constexpr int CheckPeriodSecs = 600;

} // namespace

NewVersionChecker::NewVersionChecker(const QString &preliminaryText, QObject *parent)
    : QObject(parent)
    , preliminaryText(preliminaryText)
{
}

void NewVersionChecker::start()
{
    if (started)
        return;
    started = true;
    connect(VersionChecker::Instance(), &VersionChecker::versionFound, this, &NewVersionChecker::update);
    update();
    // Opening the About box must not override the user's choice to stop checking.
    if (!VersionChecker::switchedOff())
        VersionChecker::StartChecking(true, CheckPeriodSecs);
}

void NewVersionChecker::action()
{
    VersionChecker::openLink(link);
}

void NewVersionChecker::setPreliminaryText(const QString &text)
{
    preliminaryText = text;
    if (started)
        update();
}

void NewVersionChecker::update()
{
    const VersionInfo info = VersionChecker::LastVersion();
    if (!info.valid) {
        link.clear();
        emit onSetVisible(false);
        return;
    }
    link = info.link;
    const QString name = preliminaryText.isEmpty()
        ? QCoreApplication::translate("Generic", QCoreApplication::applicationName().toUtf8().constData())
        : preliminaryText;
    // The version and the link come from the network: nothing in them may hide or reorder text.
    emit onSetText(name + ' ' + TextHelper::visibleText(info.version));
    // A tool tip that looks like markup is rendered as markup: such a link is shown escaped.
    const QString tip = tr("Click to download new version") + ' ' + TextHelper::visibleText(link);
    emit onSetTooltip(Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip) : tip);
    emit onSetVisible(true);
    emit newVersion();
}
