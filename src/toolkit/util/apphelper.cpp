#include "toolkit/util/apphelper.h"

#include "toolkit/util/processtable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QOperatingSystemVersion>
#include <QPushButton>
#include <QSysInfo>
#include <QUrl>

#if defined(Q_OS_WIN)
#include <QProcess>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#endif

namespace
{

constexpr int CloseAppTimeoutMs = 30000;
constexpr int RoundEventsMs = 1000;

struct DialogSeam {
    QList<bool> answers;
    QList<AppHelper::ShownMessage> shown;
};

DialogSeam &dialogSeam()
{
    static DialogSeam seam;
    return seam;
}

// True when a queued test answer replaces the box; records what the box would have shown.
bool takeSeamAnswer(const QMessageBox &box, bool *answer)
{
    DialogSeam &seam = dialogSeam();
    if (seam.answers.isEmpty())
        return false;
    *answer = seam.answers.takeFirst();
    AppHelper::ShownMessage shown;
    shown.title = box.windowTitle();
    shown.text = box.text();
    shown.icon = box.icon();
    for (const QAbstractButton *button : box.buttons())
        shown.buttons.append(button->text());
    seam.shown.append(shown);
    return true;
}

void openContainingFolder(const QString &path, bool isFolder)
{
    const QString folder = isFolder ? path : QFileInfo(path).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

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

bool AppHelper::confirmDialog(
    const QString &title, const QString &text, QMessageBox::Icon icon, const QStringList &buttons)
{
    QMessageBox box(icon, title, text);
    const QString yesText = buttons.value(0);
    const QString noText = buttons.value(1);
    QPushButton *yes = box.addButton(
        yesText.isEmpty() ? QCoreApplication::translate("Generic", "Yes") : yesText, QMessageBox::YesRole);
    QPushButton *no = box.addButton(
        noText.isEmpty() ? QCoreApplication::translate("Generic", "No") : noText, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);

    bool answer = false;
    if (takeSeamAnswer(box, &answer))
        return answer;
    box.exec();
    return box.clickedButton() == yes;
}

void AppHelper::warningMessage(const QString &text, const QString &title, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setWindowFlags(box.windowFlags() | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);

    bool answer = false;
    if (takeSeamAnswer(box, &answer))
        return;
    box.exec();
}

void AppHelper::showInFolder(const QString &path)
{
    const QFileInfo info(path);
    const bool isFolder = info.isDir();
#if defined(Q_OS_WIN)
    if (!QProcess::startDetached("explorer", ProcessTable::explorerArguments(path, isFolder)))
        openContainingFolder(path, isFolder);
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(path, isFolder);
        return;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1", isFolder ? "ShowFolders" : "ShowItems");
    call << QStringList { QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) }
         << QString();
    // Asynchronous: starting a file manager on demand can take seconds, and the GUI must not
    // freeze meanwhile.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, [path, isFolder](QDBusPendingCallWatcher *finished) {
            if (finished->isError())
                openContainingFolder(path, isFolder);
            finished->deleteLater();
        });
#endif
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
    return ProcessTable::findRunning(names);
}

void AppHelper::closeApp(const QString &name)
{
    ProcessTable::killByImageName(name, CloseAppTimeoutMs);
}

bool AppHelper::checkAndCloseIfAppsRunning(const QStringList &names, int rounds)
{
    QStringList running = findRunningApps(names);
    if (running.isEmpty())
        return false;
    for (int round = 0; round < rounds; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, RoundEventsMs);
        running = findRunningApps(names);
    }
    if (running.isEmpty())
        return false;
    const QString which = running.size() == 1
        ? QCoreApplication::translate("Generic", "this app is already running")
        : QCoreApplication::translate("Generic", "these apps are already running");
    const QString text = QCoreApplication::translate("Generic", "Cannot start because") + " " + which + ":\n"
        + running.join("\n");
    warningMessage(text, QString(), QMessageBox::Warning);
    return true;
}

void AppHelper::setNextAnswer(bool accept)
{
    dialogSeam().answers.append(accept);
}

int AppHelper::pendingAnswers()
{
    return dialogSeam().answers.size();
}

QList<AppHelper::ShownMessage> AppHelper::takeShownMessages()
{
    QList<ShownMessage> shown;
    shown.swap(dialogSeam().shown);
    return shown;
}

void AppHelper::resetAnswers()
{
    dialogSeam().answers.clear();
    dialogSeam().shown.clear();
}
