#include "support/testenvironment.h"

#include "toolkit/util/apphelper.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace
{

const char *const FileManagerService = "org.freedesktop.FileManager1";
const char *const FileManagerPath = "/org/freedesktop/FileManager1";

} // namespace

// Stands in for the desktop's file manager on a private bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> items;
    QList<QStringList> folders;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { items.append(uris); }
    void ShowFolders(const QStringList &uris, const QString &) { folders.append(uris); }
};

// Catches what would go to the desktop's default handler.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestShowInFolder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fileSelectedByFileManager();
    void folderOpenedByFileManager();
    void desktopFallbackWithoutFileManager();

private:
    QString makeFile();

    QTemporaryDir temp;
    QProcess bus;
    FakeFileManager fileManager;
    UrlCatcher catcher;
};

void TestShowInFolder::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is needed (package dbus-daemon)");
    // A bus of our own: no activation files, so no real file manager can answer.
    QFile config(temp.path() + "/bus.conf");
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(
        QString("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>\n"
                "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
            .arg(temp.path())
            .toUtf8());
    config.close();
    bus.start(daemon, { "--config-file=" + config.fileName(), "--nofork", "--print-address=1" });
    QVERIFY(bus.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine(), 10000);
    const QByteArray address = bus.readLine().trimmed();
    QVERIFY(!address.isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);

    QDBusConnection managerBus
        = QDBusConnection::connectToBus(QString::fromUtf8(address), "fake-file-manager");
    QVERIFY(managerBus.isConnected());
    QVERIFY(managerBus.registerObject(FileManagerPath, &fileManager, QDBusConnection::ExportAllSlots));
    QVERIFY(managerBus.registerService(FileManagerService));
    // The program's own session bus is ours.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(FileManagerService));

    QDesktopServices::setUrlHandler("file", &catcher, "open");
}

void TestShowInFolder::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler("file");
    QDBusConnection::disconnectFromBus("fake-file-manager");
    bus.kill();
    bus.waitForFinished(10000);
}

QString TestShowInFolder::makeFile()
{
    const QString folder = temp.path() + "/Data/Ivanov \"Jr\" & Co; rm -rf $HOME";
    QDir().mkpath(folder);
    QFile file(folder + "/rec 1.edf");
    file.open(QIODevice::WriteOnly);
    return file.fileName();
}

void TestShowInFolder::fileSelectedByFileManager()
{
    const QString file = makeFile();
    AppHelper::showInFolder(file);
    QTRY_COMPARE(fileManager.items.size(), 1);
    const QStringList uris = fileManager.items.takeFirst();
    QCOMPARE(uris.size(), 1);
    QCOMPARE(QUrl(uris.first()).toLocalFile(), file);
    QVERIFY(fileManager.folders.isEmpty());
    QVERIFY(catcher.opened.isEmpty());
}

void TestShowInFolder::folderOpenedByFileManager()
{
    const QString folder = QFileInfo(makeFile()).absolutePath();
    AppHelper::showInFolder(folder);
    QTRY_COMPARE(fileManager.folders.size(), 1);
    QCOMPARE(fileManager.folders.takeFirst(),
        QStringList { QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded) });
    QVERIFY(fileManager.items.isEmpty());
    QVERIFY(catcher.opened.isEmpty());
}

void TestShowInFolder::desktopFallbackWithoutFileManager()
{
    QDBusConnection managerBus("fake-file-manager");
    QVERIFY(managerBus.unregisterService(FileManagerService));
    QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(FileManagerService));

    const QString file = makeFile();
    const QString folder = QFileInfo(file).absolutePath();
    AppHelper::showInFolder(file);
    QTRY_COMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened.takeFirst(), QUrl::fromLocalFile(folder));

    AppHelper::showInFolder(folder);
    QTRY_COMPARE(catcher.opened.size(), 1);
    QCOMPARE(catcher.opened.takeFirst(), QUrl::fromLocalFile(folder));
    QVERIFY(fileManager.items.isEmpty());
    QVERIFY(fileManager.folders.isEmpty());
}

KESTA_TEST_MAIN(TestShowInFolder)
#include "tst_showinfolder.moc"
