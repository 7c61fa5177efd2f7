#include "toolkit/util/apphelper.h"

#include "toolkit/util/platform.h"
#include "toolkit/util/processtable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QOperatingSystemVersion>
#include <QSysInfo>
#include <QUrl>


namespace
{

constexpr int CloseAppTimeoutMs = 30000;


} // namespace

QString AppHelper::appVersion(bool full)
{
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = "3.0.0";
    if (version.count('.') == 3)
        version = version.left(version.lastIndexOf('.'));
    if (!full && version.count('.') == 2)
        version = version.left(version.lastIndexOf('.'));
    return version;
}

QString AppHelper::OS()
{
    static const QString os = [] {
        const QString type = QSysInfo::productType().toLower();
        const auto has = [&type](std::initializer_list<const char *> words) {
            for (const char *word : words) {
                if (type.contains(QLatin1String(word)))
                    return true;
            }
            return false;
        };
        if (has({ "windows", "winrt" }))
            return QStringLiteral("windows");
        if (has({ "android" }))
            return QStringLiteral("android");
        if (has({ "osx", "mac" }))
            return QStringLiteral("macos");
        if (has({ "ios" }))
            return QStringLiteral("ios");
        if (has({ "tvos" }))
            return QStringLiteral("tvos");
        if (has({ "watchos" }))
            return QStringLiteral("watchos");
        if (has({ "ubuntu", "linux", "manjaro", "centos", "fedora", "raspberry" }))
            return QStringLiteral("linux");
        // On Linux Qt reports the distribution ("debian", "arch", ...), which the names above
        // cannot all list; the kernel tells the family.
        if (QSysInfo::kernelType() == QLatin1String("linux"))
            return QStringLiteral("linux");
        return QStringLiteral("unix");
    }();
    return os;
}

QString AppHelper::OSName()
{
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    if (current.type() != QOperatingSystemVersion::Unknown)
        return current.name();
    // Qt names only Windows, macOS and mobile systems; elsewhere the distribution is the name.
    return QSysInfo::productType();
}

QString AppHelper::OSVersion()
{
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    if (current.type() != QOperatingSystemVersion::Unknown) {
        return QString("%1.%2.%3")
            .arg(current.majorVersion())
            .arg(qMax(0, current.minorVersion()))
            .arg(qMax(0, current.microVersion()));
    }
    return QSysInfo::productVersion();
}

QString AppHelper::showInFolderCaption()
{
    // Both stay in the catalogues whichever system builds them.
    static const char *const Explorer = QT_TRANSLATE_NOOP("Generic", "Show in explorer");
    static const char *const FileManager = QT_TRANSLATE_NOOP("Generic", "Show in file manager");
    return QCoreApplication::translate("Generic", Platform::fileManagerIsExplorer() ? Explorer : FileManager);
}

void AppHelper::showInFolder(const QString &path, const std::function<void()> &failed)
{
    Platform::showInFileManager(path, QFileInfo(path).isDir(), failed);
}

QStringList AppHelper::getRunningApps()
{
    QStringList names;
    for (const ProcessTable::Entry &entry : ProcessTable::list())
        names.append(entry.imageName);
    return names;
}

QStringList AppHelper::findRunningApps(const QStringList &names)
{
    QStringList candidates;
    for (QString name : names) {
        if (name.isEmpty())
            continue;
        if (name.endsWith(".exe"))
            name.chop(4);
        candidates << name + ".exe" << name + "d.exe" << name << name + "d";
    }
    QStringList found;
    if (candidates.isEmpty())
        return found;
    // By process id, not by name: a second copy has the same name and must count.
    const qint64 self = QCoreApplication::applicationPid();
    for (const ProcessTable::Entry &entry : ProcessTable::list()) {
        if (entry.pid == self)
            continue;
        for (const QString &candidate : qAsConst(candidates)) {
            if (entry.imageName.compare(candidate, Qt::CaseInsensitive) == 0) {
                found.append(entry.imageName);
                break;
            }
        }
    }
    return found;
}

void AppHelper::closeApp(const QString &name)
{
    ProcessTable::killByImageName(name, CloseAppTimeoutMs);
}
