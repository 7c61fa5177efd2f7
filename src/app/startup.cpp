#include "app/startup.h"

#include "toolkit/util/apphelper.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace
{

constexpr int CopyCheckRounds = 20;

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

void Startup::endRecorder()
{
    AppHelper::closeApp(QString("\"%1\"").arg(QLatin1String(RecorderExecutable)));
}

int Startup::registerFonts(const QStringList &files, const QString &family)
{
    int registered = 0;
    for (const QString &file : files) {
        if (QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0)
            ++registered;
    }
    // Naming a family nobody provides would hand every widget to the font matcher's guess.
    if (QFontDatabase().families().contains(family)) {
        QFont font = QApplication::font();
        font.setFamily(family);
        QApplication::setFont(font);
    }
    return registered;
}

QStringList Startup::fontFiles()
{
    return {
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Regular.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Italic.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Bold.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-BoldItalic.ttf",
    };
}

QString Startup::fontFamily()
{
    return "Open Sans SemiCondensed";
}

QStringList Startup::copyNames()
{
    return { QCoreApplication::applicationName(), "Kesta", "OV Database" };
}

bool Startup::refuseRunningCopies()
{
    return AppHelper::checkAndCloseIfAppsRunning(copyNames(), CopyCheckRounds);
}
