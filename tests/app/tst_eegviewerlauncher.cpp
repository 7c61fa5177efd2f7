#include "app/eegviewerlauncher.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/util/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>

// "Open in EEG viewer": the file goes to the application the desktop chose for it, and a box
// explains when there is no file or no application.
class TestEegViewerLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kestatest::keepOutSystemApplications(); }
    void cleanup() { MessageBox::reset(); }

    void opensWithWhatTheDesktopChose()
    {
        QVERIFY(QDir().mkpath("Petrov Ivan/EEG_2024_03_05_142530"));
        QFile file("Petrov Ivan/EEG_2024_03_05_142530/rec.edf");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("0       Petrov") > 0);
        file.close();
        const QString path = QFileInfo(file).absoluteFilePath();
        const QString type = QMimeDatabase().mimeTypeForFile(path).name();

        // A launcher on PATH that starts and finds nothing is not taken for a viewer.
        QVERIFY(QDir().mkpath("bin"));
        kestatest::writeFile("bin/xdg-open", "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions("bin/xdg-open", QFile::ReadOwner | QFile::ExeOwner));
        qputenv("PATH", QDir::current().absoluteFilePath("bin").toUtf8() + ":" + qgetenv("PATH"));
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open(file.fileName()));
        QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.value(0).title, QString("Open in EEG viewer"));
        QVERIFY2(shown.value(0).text.startsWith("No application is set up to open this recording.")
                && shown.value(0).text.contains(
                    "\"" + QCoreApplication::translate("Generic", "EegViewer") + "\""),
            qPrintable(shown.value(0).text));

        // The user's default wins over another application for the type; a default that is not
        // installed or whose program is missing is passed over.
        const QString other = kestatest::installDesktopApplication("other", type + ";", "SCRIPT %f");
        const QString viewer
            = kestatest::installDesktopApplication("viewer", type + ";", "SCRIPT --montage \"bi polar\" %U");
        kestatest::installDesktopApplication("broken", type + ";", "/nonexistent/viewer %f");
        QVERIFY(QDir().mkpath(qgetenv("XDG_CONFIG_HOME")));
        kestatest::writeFile(qgetenv("XDG_CONFIG_HOME") + "/mimeapps.list",
            "[Default Applications]\n" + type.toUtf8() + "=gone.desktop;broken.desktop;viewer.desktop;\n");
        QVERIFY(EegViewerLauncher::open(file.fileName()));
        QTRY_COMPARE(kestatest::readFile(viewer),
            "--montage\nbi polar\n" + QUrl::fromLocalFile(path).toEncoded() + "\n");
        QVERIFY(!QFile::exists(other) && MessageBox::takeShown().isEmpty());

        // A file gone since the list was shown, or a folder: nothing is handed over.
        MessageBox::setNextAnswer(MessageBox::Ok);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open("Petrov Ivan/EEG_2024_03_05_142530/gone.edf"));
        QVERIFY(!EegViewerLauncher::open("Petrov Ivan"));
        shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).text,
            "The recording file is not there:\n"
                + QDir::toNativeSeparators("Petrov Ivan/EEG_2024_03_05_142530/gone.edf"));

        // The EegViewer setting's program instead, with its own arguments before the file; one
        // that cannot be started is named.
        const QString named = QDir::current().absoluteFilePath("named.sh");
        kestatest::writeFile(named, "#!/bin/sh\necho \"$@\" > \"$0.out\"\n");
        QVERIFY(QFile::setPermissions(named, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(EegViewerLauncher::open(file.fileName(), "\"" + named + "\" --montage bipolar"));
        QTRY_COMPARE(kestatest::readFile(named + ".out"), "--montage bipolar " + path.toUtf8() + "\n");
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open(file.fileName(), "no-such-viewer"));
        QVERIFY(MessageBox::takeShown().value(0).text.startsWith(
            "The EEG viewer named in the settings could not be started:\nno-such-viewer"));
    }
};

KESTA_TEST_MAIN(TestEegViewerLauncher)
#include "tst_eegviewerlauncher.moc"
