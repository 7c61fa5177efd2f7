#include "app/startup.h"

#include "app/singleinstance.h"
#include "db/model/kestasettings.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/settingslocation.h"

#include <QApplication>
#include <QMetaEnum>

namespace
{

// Enough for a copy that is just closing; a running copy answers on its socket at once.
constexpr int CopyCheckRounds = 2;

// The program sets no application name, so it is the executable's; the toolkit shows it
// translated in "Generic" (the new-version button), so the catalogue must hold it.
[[maybe_unused]] const char *const ApplicationNameText = QT_TRANSLATE_NOOP("Generic", "kesta");

} // namespace

const char *const Startup::RecorderExecutable = "DI Duvi.exe";

void Startup::enableHighDpiScaling()
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
}

void Startup::setApplicationVersion()
{
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTA_VERSION));
}

QString Startup::bootstrapSettings()
{
    return SettingsLocation::filePath(QStringLiteral("Settings.xml"));
}

void Startup::useLanguageOf(const QString &settingsFile)
{
    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(LanguageContext::startupLanguage(settingsFile));
}

void Startup::endRecorder()
{
    AppHelper::closeApp(QString("\"%1\"").arg(QLatin1String(RecorderExecutable)));
}

QStringList Startup::copyNames()
{
    return { QCoreApplication::applicationName(), "Kesta", "OV Database" };
}

bool Startup::refuseRunningCopies(SingleInstance &instance)
{
    if (instance.askRunningCopy() != SingleInstance::Answer::None) {
        const QStringList running = AppHelper::findRunningApps(copyNames());
        AppHelper::warnAppsRunning(
            running.isEmpty() ? QStringList { QCoreApplication::applicationName() } : running);
        return true;
    }
    if (AppHelper::checkAndCloseIfAppsRunning(copyNames(), CopyCheckRounds))
        return true;
    if (!instance.listen())
        qWarning("Later copies of the program cannot be told of this one");
    return false;
}

void Startup::keepLanguageInUse(KestaSettings *settings)
{
    bool known = false;
    const int inUse = QMetaEnum::fromType<KestaSettings::KestaLanguage>().keyToValue(
        LanguageContext::currentLanguage().toLatin1().constData(), &known);
    if (!settings || !known || settings->getLanguage() == inUse)
        return;
    // Not written now: a start changes no file; the first save of anything writes it.
    const bool autoSave = settings->getAutoSave();
    settings->setAutoSave(false);
    settings->setLanguage(static_cast<KestaSettings::KestaLanguage>(inUse));
    settings->setAutoSave(autoSave);
}
