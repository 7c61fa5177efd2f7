#include "app/backupcommands.h"
#include "db/care/backuparchive.h"
#include "db/care/changehistory.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testkeys.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/messagebox.h"

#include <QAction>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <memory>

using namespace kestatest;

// "Back up…" and "Restore…" behind their progress dialog, and the nightly
// command line with its exit codes.
class TestBackupCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    std::unique_ptr<QWidget> window;
    BackupCommands *commands = nullptr;
    QString archive;

    static QStringList shown()
    {
        QStringList texts;
        for (const MessageBox::Shown &box : MessageBox::takeShown())
            texts << box.text;
        return texts;
    }
    // The program itself, as a nightly job runs it.
    static int runBackup(const QStringList &arguments, QString *output)
    {
        QProcess kesta;
        kesta.start(qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/kesta", arguments);
        if (!kesta.waitForFinished(120000))
            return -1;
        *output = QString::fromLocal8Bit(kesta.readAllStandardOutput() + kesta.readAllStandardError());
        return kesta.exitStatus() == QProcess::NormalExit ? kesta.exitCode() : -1;
    }

private slots:
    void initTestCase() { LanguageContext::setLanguage("en_US"); }
    void init()
    {
        MessageBox::reset();
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        ChangeHistory::attach(db.get());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        QVERIFY(QDir().mkpath(DataLocations::patientFolder("PetrovIvan_A17") + "EEG_1"));
        writeFile(DataLocations::patientFolder("PetrovIvan_A17") + "EEG_1/rec.edf", QByteArray(2000, 'x'));
        QVERIFY(db->insertRecord(db->patientById(100), QDateTime(), "EEG_1\\rec.edf", "EEG", "") > 0);
        window = std::make_unique<QWidget>();
        commands = new BackupCommands(db.get(), window.get());
        archive = QDir::tempPath() + "/gui-backup.tar";
        QFile::remove(archive);
    }
    void cleanup()
    {
        window.reset();
        db.reset();
    }

    // Written and checked, then restored over later changes, which are kept aside.
    void backUpThenRestore()
    {
        FileDialog::setNextFileName(archive);
        MessageBox::setNextAnswer(MessageBox::Ok);
        commands->backUpAction()->trigger();
        QCOMPARE(FileDialog::takeAsked().value(0).folder, BackupCommands::suggestedName());
        QStringList texts = shown();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.at(0).startsWith("The backup was written and checked:\n" + archive
                     + "\n\n1 patient, 1 recording, 2 files, "),
            qPrintable(texts.at(0)));
        QVERIFY(BackupArchive::verify(archive).ok);

        QVERIFY(addPatient(*db, "B2", "Sidorov") > 0);
        for (auto answer : { MessageBox::No, MessageBox::Yes }) {
            FileDialog::setNextFileName(archive);
            MessageBox::setNextAnswer(answer);
            MessageBox::setNextAnswer(MessageBox::Ok);
            commands->restoreAction()->trigger();
        }
        texts = shown();
        QCOMPARE(texts.size(), 3);
        // Asked after the whole was read and checked, saying what was found.
        QVERIFY2(texts.at(0).startsWith("The backup was read and checked whole: every file against its "
                                        "checksum, the database against its row counts.\n\nMade on 20")
                && texts.at(0).contains("\n1 patient, 1 recording, 2 files, ")
                && texts.at(0).endsWith(
                    "\n\nRestore it? The current database and data folder are moved aside, "
                    "into a folder beside them, and kept."),
            qPrintable(texts.at(0)));
        QVERIFY(QDir(QDir::homePath()).entryList({ "*.restoring-*" }, QDir::AllEntries).isEmpty());
        QVERIFY2(texts.at(2).startsWith(
                     "The backup was restored: 1 patient\n\nThe data from before are kept in:\n"),
            qPrintable(texts.at(2)));
        QCOMPARE(db->patients().size(), 1);
        QVERIFY(QFileInfo::exists(texts.at(2).section('\n', -1) + "/patients.sqlite"));

        writeFile(archive, "not a backup");
        FileDialog::setNextFileName(archive);
        MessageBox::setNextAnswer(MessageBox::Ok);
        commands->restoreAction()->trigger();
        QCOMPARE(shown(),
            QStringList { "The backup cannot be restored:\nThis file is not a backup of this program." });
        QFile::remove(archive);
    }

    // With the clinic's key set, Back up offers encryption; Restore says what it decrypted and checked.
    void encryptedWhenKeysAreSet()
    {
        TestKeys keys;
        const QString key = keys.make("Clinic");
        KestaModel model;
        model.settings()->setBackupRecipients(key);
        // Leaving the question is no choice of a plain backup: nothing is asked or written.
        FileDialog::takeAsked();
        MessageBox::setNextAnswer(MessageBox::Close);
        commands->backUp();
        QCOMPARE(shown().size(), 1);
        QVERIFY(FileDialog::takeAsked().isEmpty());
        const QString sealed = archive + ".gpg";
        FileDialog::setNextFileName(sealed);
        MessageBox::setNextAnswer(MessageBox::Accept);
        MessageBox::setNextAnswer(MessageBox::Ok);
        commands->backUp();
        QVERIFY(FileDialog::takeAsked().last().folder.endsWith(".tar.gpg"));
        QStringList texts = shown();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(texts.at(0).startsWith("Encrypt the backup to the clinic's backup key (1 key)?"),
            qPrintable(texts.at(0)));
        QVERIFY2(texts.at(1).endsWith("\nEncrypted to: " + key), qPrintable(texts.at(1)));
        QVERIFY(!readFile(sealed).contains("Petrov"));

        FileDialog::setNextFileName(sealed);
        MessageBox::setNextAnswer(MessageBox::No);
        commands->restore();
        texts = shown();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(
            texts.at(0).contains(" (encrypted)\n1 patient, 1 recording, 2 files, "), qPrintable(texts.at(0)));
        QFile::remove(sealed);
    }

    // Cancel stops the work and leaves no file.
    void cancelledLeavesNothing()
    {
        QFile big(DataLocations::patientFolder("PetrovIvan_A17") + "EEG_1/big.edf");
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(2) << 30));
        big.close();
        QTimer::singleShot(0, [this] {
            window->findChild<QProgressDialog *>("backupProgress")->findChild<QPushButton *>()->click();
        });
        FileDialog::setNextFileName(archive);
        commands->backUp();
        QVERIFY(shown().isEmpty());
        QVERIFY(QDir(QDir::tempPath())
                    .entryList({ "gui-backup.tar*" }, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
    }

    void commandLineExitCodes()
    {
        QString output;
        const QString target = QDir::tempPath() + "/nightly.tar";
        QFile::remove(target);
        // A new name, then last week's backup under the same name.
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(runBackup({ "--backup", target }, &output), 0);
            QVERIFY2(output.startsWith(
                         "Backup written and verified: " + target + "\n1 patients, 1 records, 2 files"),
                qPrintable(output));
        }
        QVERIFY(BackupArchive::verify(target).ok);
        QFile::remove(target);
        for (const QStringList &wrong : { QStringList { "--backup" }, { "--backup", target, "--encrypt-to" },
                 { "--backup", target, "extra" }, { "--backup", target, "--encrypt-to", "," } }) {
            QCOMPARE(runBackup(wrong, &output), 2);
            // The usage: the backup's own, or every mode's.
            QVERIFY2(output.contains("Usage: ") && output.contains("--encrypt-to"), qPrintable(output));
        }
        QCOMPARE(runBackup({ "--backup", target, "--encrypt-to", QString(40, 'A') }, &output), 1);
        QVERIFY2(output.startsWith("Backup failed: The key " + QString(40, 'A') + " is not in the keyring."),
            qPrintable(output));
        QCOMPARE(runBackup({ "--backup", QDir::tempPath() + "/no/such/folder/x.tar" }, &output), 1);
        QVERIFY2(output.startsWith("Backup failed: The folder of the backup file does not exist"),
            qPrintable(output));
        QVERIFY(QFile::remove(DataLocations::databaseFile()));
        QCOMPARE(runBackup({ "--backup", target }, &output), 1);
        QVERIFY2(output.startsWith("Backup failed: there is no database at"), qPrintable(output));
        QVERIFY(!QFileInfo::exists(target));
    }

    // Stand-ins for a device (a FIFO), a link to a file, a folder and a file
    // of another program: refused with the reason and left as they are; the
    // file is replaced only when asked.
    void commandLineRefusesForeignTargets()
    {
        QTemporaryDir folder;
        const QString fifo = folder.filePath("device");
        const QString link = folder.filePath("link.tar");
        const QString other = folder.filePath("letter.txt");
        QCOMPARE(QProcess::execute("mkfifo", { fifo }), 0);
        writeFile(other, "not a backup");
        QVERIFY(QFile::link(other, link));
        QString output;
        for (const auto &[target, reason] :
            { std::pair<QString, QString>(fifo, "is a device or another special file"), { link, "is a link" },
                { folder.path(), "is a folder" }, { other, "is no earlier backup" } }) {
            QCOMPARE(runBackup({ "--backup", target }, &output), 1);
            QVERIFY2(output.startsWith("Backup failed: " + target + " ") && output.contains(reason),
                qPrintable(output));
        }
        QVERIFY(QFileInfo(link).isSymLink() && !QFileInfo(fifo).isFile());
        QCOMPARE(readFile(other), QByteArray("not a backup"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList({ "device", "letter.txt", "link.tar" }));
        QCOMPARE(runBackup({ "--backup", other, "--overwrite" }, &output), 0);
        QVERIFY(BackupArchive::verify(other).ok);
    }
};

KESTA_TEST_MAIN(TestBackupCommands)
#include "tst_backupcommands.moc"
