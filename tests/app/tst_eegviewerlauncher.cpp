#include "app/eegviewerlauncher.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/util/messagebox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// "Open in EEG viewer": the file goes to the desktop's application for it, and a box explains
// when there is no file or no application.
class TestEegViewerLauncher : public QObject
{
    Q_OBJECT
    QList<QUrl> opened;

public slots:
    // Stands in for the desktop's default application.
    void open(const QUrl &url) { opened << url; }

private slots:
    void cleanup() { MessageBox::reset(); }

    void handsTheFileToTheDesktop()
    {
        QVERIFY(QDir().mkpath("Petrov Ivan/EEG_2024_03_05_142530"));
        QFile file("Petrov Ivan/EEG_2024_03_05_142530/rec.edf");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QDesktopServices::setUrlHandler("file", this, "open");
        QVERIFY(EegViewerLauncher::open(file.fileName()));
        QCOMPARE(opened, QList<QUrl> { QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()) });
        QVERIFY(MessageBox::takeShown().isEmpty());

        // A file gone since the list was shown, or a folder: nothing is handed over.
        MessageBox::setNextAnswer(MessageBox::Ok);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open("Petrov Ivan/EEG_2024_03_05_142530/gone.edf"));
        QVERIFY(!EegViewerLauncher::open("Petrov Ivan"));
        QCOMPARE(opened.size(), 1);
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).title, QString("Open in EEG viewer"));
        QCOMPARE(shown.at(0).text,
            "The recording file is not there:\n"
                + QDir::toNativeSeparators("Petrov Ivan/EEG_2024_03_05_142530/gone.edf"));
        QDesktopServices::unsetUrlHandler("file");

        // Headless, nothing opens files: as on a desktop without an EEG viewer.
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open(file.fileName()));
        QVERIFY(MessageBox::takeShown().value(0).text.startsWith(
            "No application is set up to open this recording."));

        // The EegViewer setting's program instead, with its own arguments before the file; one
        // that cannot be started is named.
        const QString viewer = QDir::current().absoluteFilePath("viewer.sh");
        kestatest::writeFile(viewer, "#!/bin/sh\necho \"$@\" > \"$0.out\"\n");
        QVERIFY(QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(EegViewerLauncher::open(file.fileName(), "\"" + viewer + "\" --montage bipolar"));
        QTRY_COMPARE(kestatest::readFile(viewer + ".out"),
            "--montage bipolar " + QFileInfo(file).absoluteFilePath().toUtf8() + "\n");
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!EegViewerLauncher::open(file.fileName(), "no-such-viewer"));
        QVERIFY(MessageBox::takeShown().value(0).text.startsWith(
            "The EEG viewer named in the settings could not be started:\nno-such-viewer"));
    }
};

KESTA_TEST_MAIN(TestEegViewerLauncher)
#include "tst_eegviewerlauncher.moc"
