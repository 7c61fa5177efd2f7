#include "support/namedprocess.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/processtable.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QPushButton>

using kestatest::NamedProcess;

// Stands in for the desktop: its file manager on a private bus and its default URL handler.
class FakeDesktop : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;

public slots:
    void ShowItems(const QStringList &uris, const QString &) { calls << "item " + uris.join(' '); }
    void ShowFolders(const QStringList &uris, const QString &) { calls << "folder " + uris.join(' '); }
};

static QStringList parsedTasklist(const QByteArray &output)
{
    QStringList entries;
    for (const ProcessTable::Entry &entry : ProcessTable::parseTasklistCsv(output))
        entries.append(entry.imageName + " " + QString::number(entry.pid));
    return entries;
}

static QString uri(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

class TestAppHelper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        QVERIFY2(!daemon.isEmpty(), "dbus-daemon is needed (package dbus-daemon)");
        // A bus of our own: no activation files, so no real file manager can answer.
        const QString config = temp.filePath("bus.conf");
        kestatest::writeFile(config,
            QString("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                .arg(temp.path())
                .toUtf8());
        bus.start(daemon, { "--config-file=" + config, "--nofork", "--print-address=1" });
        QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine(), 10000);
        const QByteArray address = bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QDBusConnection fileManager = QDBusConnection::connectToBus(QString(address), "file-manager");
        QVERIFY(fileManager.registerObject(
            "/org/freedesktop/FileManager1", &desktop, QDBusConnection::ExportAllSlots));
        QVERIFY(fileManager.registerService("org.freedesktop.FileManager1"));
        kestatest::keepOutSystemApplications();
    }

    void cleanupTestCase()
    {
        bus.kill();
        bus.waitForFinished(10000);
    }

    void cleanup() { MessageBox::reset(); }

    void versionAndPlatform()
    {
        const auto both = [](const QString &version) {
            QCoreApplication::setApplicationVersion(version);
            return AppHelper::appVersion(true) + " " + AppHelper::appVersion(false);
        };
        QCOMPARE(both("1.2.3.4"), QString("1.2.3 1.2"));
        QCOMPARE(both("1.2.3"), QString("1.2.3 1.2"));
        QCOMPARE(both(""), QString("3.0.0 3.0"));
#if defined(Q_OS_LINUX)
        // Whatever the distribution calls itself ("debian"), the family is Linux.
        QCOMPARE(AppHelper::OS(), QString("linux"));
#endif
    }

    void findAndCloseRunningApps()
    {
        // Case-blind, with or without ".exe", also with a "d" before it; nothing longer or prefixed.
        NamedProcess exact("DI Duvi.exe"), lower("di duvi.exe"), debug("DI Duvid.exe"), native("DI Duvi"),
            longer("DI Duvi2.exe"), prefixed("XDI Duvi.exe");
        for (NamedProcess *process : { &exact, &lower, &debug, &native, &longer, &prefixed })
            QVERIFY(process->start());
        for (const char *name : { "DI Duvi.exe", "DI Duvi" }) {
            QStringList found = AppHelper::findRunningApps({ name });
            found.removeDuplicates(); // other runs on this machine may start the recorder too
            found.sort();
            QCOMPARE(found, QStringList({ "DI Duvi", "DI Duvi.exe", "DI Duvid.exe", "di duvi.exe" }));
        }
        // The program itself does not count, a second copy of it does.
        const QString self = QCoreApplication::applicationName();
        NamedProcess secondCopy(self);
        QVERIFY(secondCopy.start());
        QCOMPARE(AppHelper::findRunningApps({ self }), QStringList { self });

        AppHelper::closeApp("\"DI Duvi.exe\"");
        // Callers go on as if it were gone (its port free), so it must be gone on return.
        QVERIFY(!AppHelper::findRunningApps({ "DI Duvi.exe" }).contains("DI Duvi.exe"));
        QVERIFY(AppHelper::getRunningApps().contains("DI Duvid.exe"));
        // On Windows quotes meant for a command line would reach taskkill literally.
        QCOMPARE(
            ProcessTable::taskkillArguments("\"DI Duvi.exe\""), QStringList({ "/im", "DI Duvi.exe", "/f" }));
    }

    void imageNamesOnEachSystem()
    {
        // As "tasklist /NH /FO CSV" prints it: an empty first line, CRLF endings, thousands
        // separators inside quotes, the kernel's pseudo processes without a dot.
        QCOMPARE(parsedTasklist("\r\n"
                                "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n"
                                "\"DI Duvi.exe\",\"7344\",\"Console\",\"1\",\"154,108 K\"\r\n"
                                "\r\n"
                                "\" padded.exe \",\"8120\",\"Console\",\"1\",\"60,004 K\""),
            QStringList({ "DI Duvi.exe 7344", "padded.exe 8120" }));
        QCOMPARE(parsedTasklist("INFO: No tasks are running which match the specified criteria.\r\n"),
            QStringList());
        // On Linux argv[0] split at either slash, so a Windows program under Wine keeps its .exe name.
        QCOMPARE(ProcessTable::imageNameFromCmdline(
                     QByteArrayLiteral("C:\\Program Files\\DI Duvi.exe\0/database\0"), "x"),
            QString("DI Duvi.exe"));
        QCOMPARE(ProcessTable::imageNameFromCmdline(QByteArray(), "kworker/0:1"), QString("kworker/0:1"));
    }

    void runningCheckWarnsForOneAndTwoUnlessTheyEndInBothLanguages()
    {
        NamedProcess recorder("DI Duvi.exe"), oldDatabase("OV Database.exe");
        QVERIFY(recorder.start());
        MessageBox::setNextAnswer(MessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::Yes);
        QVERIFY(AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe" }, 2));
        QVERIFY(oldDatabase.start());
        QVERIFY(AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe", "OV Database" }, 0));
        QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).text, QString("Cannot start because this app is already running:\nDI Duvi.exe"));
        QStringList lines = shown.at(1).text.split('\n');
        QCOMPARE(lines.takeFirst(), QString("Cannot start because these apps are already running:"));
        lines.sort(); // listed by process id
        QCOMPARE(lines, QStringList({ "DI Duvi.exe", "OV Database.exe" }));
        QVERIFY(recorder.isRunning() && oldDatabase.isRunning()); // told, not ended

        // A copy that was closing when we looked ends during the rounds, which last a second
        // each: no warning.
        QTimer::singleShot(300, [&oldDatabase] {
            oldDatabase.process().kill();
            oldDatabase.process().waitForFinished(10000);
        });
        MessageBox::setNextAnswer(MessageBox::Yes);
        QVERIFY(!AppHelper::checkAndCloseIfAppsRunning({ "OV Database" }, 2));
        QVERIFY(MessageBox::takeShown().isEmpty());

        QTranslator russian;
        QVERIFY(russian.load(":/translations/util_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        MessageBox::setNextAnswer(MessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::Yes);
        AppHelper::confirmDialog("Title", "Text");
        AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe" }, 0);
        shown = MessageBox::takeShown();
        QCOMPARE(shown.value(0).buttons, QStringList({ "Да", "Нет" }));
        QCOMPARE(shown.value(1).text,
            QString("Запуск невозможен, так как это приложение уже запущено:\nDI Duvi.exe"));
        QCOMPARE(FileUtilities::filesizeNice(1536, 1), QString("1.5 КБ"));
    }

    void confirmDialogRealBox()
    {
        // Enter takes the default button, Escape means no; the box stays on top.
        QStringList seen;
        const auto answer = [&seen](const QStringList &given, Qt::Key key) {
            // exec() shows the box before its event loop runs this.
            QTimer::singleShot(0, [&seen, key] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                seen << (box->defaultButton() ? box->defaultButton()->text() : QString()) + ":";
                for (const QAbstractButton *button : box->buttons())
                    seen << button->text();
                seen << (box->windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? "on top" : "-");
                QTest::keyClick(box, key);
            });
            return AppHelper::confirmDialog("Remove", "Remove record:\nX?", MessageBox::Question, given);
        };
        QVERIFY(answer({ "Go", "Stay" }, Qt::Key_Return));
        QVERIFY(!answer({ "Upgrade" }, Qt::Key_Escape));
        QCOMPARE(seen, QStringList({ "Go:", "Go", "Stay", "on top", "Upgrade:", "Upgrade", "No", "on top" }));

        // With No the default, Enter keeps: the focus waits on No, not on the first button.
        QString focused;
        QTimer::singleShot(0, [&focused] {
            QWidget *box = QApplication::activeModalWidget();
            if (auto *button = qobject_cast<QPushButton *>(box->focusWidget()))
                focused = button->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(!AppHelper::confirmDialog(
            "Remove", "Remove record:\nX?", MessageBox::Question, {}, MessageBox::No));
        QCOMPARE(focused, QString("No"));
    }

    void showInFolderHandsThePathWhole()
    {
        // Blanks, quotes and shell syntax in a patient's folder must reach the file manager intact.
        const QString folder = temp.filePath("Data/Ivanov \"Jr\" & Co; rm -rf $HOME");
        const QString file = folder + "/rec 1.edf";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        AppHelper::showInFolder(file);
        AppHelper::showInFolder(folder);
        QTRY_COMPARE(desktop.calls, QStringList({ "item " + uri(file), "folder " + uri(folder) }));

        // Without a file manager the desktop's application for folders opens the folder.
        QVERIFY(QDBusConnection("file-manager").unregisterService("org.freedesktop.FileManager1"));
        const QString opened
            = kestatest::installDesktopApplication("folders", "inode/directory;", "SCRIPT %f");
        AppHelper::showInFolder(file);
        QTRY_COMPARE(kestatest::readFile(opened), folder.toUtf8() + "\n");
        QVERIFY(QFile::remove(opened));
        AppHelper::showInFolder(folder);
        QTRY_COMPARE(kestatest::readFile(opened), folder.toUtf8() + "\n");

        // Nothing at all can show it (no application for folders): the caller hears of it, once.
        QVERIFY(QFile::remove(qgetenv("XDG_DATA_HOME") + "/applications/folders.desktop"));
        int failures = 0;
        AppHelper::showInFolder(file, [&failures] { ++failures; });
        QTRY_COMPARE(failures, 1);
        QCOMPARE(AppHelper::showInFolderCaption(), QString("Show in file manager"));

        // Explorer on Windows: the path is one argument of its own, never a command line.
        QCOMPARE(ProcessTable::explorerArguments("C:/Data/Ivanov \"Jr\" & Co/rec.edf", false),
            QStringList({ "/select,", "C:\\Data\\Ivanov \"Jr\" & Co\\rec.edf" }));
        QCOMPARE(ProcessTable::explorerArguments("C:/Data/a b", true), QStringList({ "C:\\Data\\a b" }));
    }

private:
    QTemporaryDir temp;
    QProcess bus;
    FakeDesktop desktop;
};

KESTA_TEST_MAIN(TestAppHelper)
#include "tst_apphelper.moc"
