#include "db/care/backuparchive.h"
#include "db/care/backuprestore.h"
#include "db/model/datalocations.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/databaselocation.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testkeys.h"

#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>
#include <memory>

using namespace kestatest;

namespace
{

// Each file of the data folder (the database aside) with its bytes, time and permissions.
QStringList filesBelow(const QString &root)
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        const QFileInfo info(path);
        if (!path.mid(root.size()).startsWith("patients.sqlite"))
            files << path.mid(root.size()) + " " + readFile(path).toHex() + " "
                    + info.lastModified().toString(Qt::ISODate) + " "
                    + QString::number(info.permissions(), 16);
    }
    files.sort();
    return files;
}

} // namespace

// Backups encrypted to keys made here: they come back through gpg-agent, and
// open without this program; a key that cannot take one, a wrong key, a
// changed or cut-off file are refused with the reason, nothing changed.
class TestBackupEncryption : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestKeys> keys;
    QTemporaryDir temp;
    QString clinic;
    QString elsewhere;
    QString archive;
    QStringList files;

    BackupArchive::Result backUp(const QString &target, const QStringList &recipients)
    {
        BackupArchive::WriteOptions options;
        options.recipients = recipients;
        return BackupArchive::write(DatabaseLocation::file(DataLocations::databaseFile()),
            DataLocations::dataFolder(), target, {}, options);
    }
    // Staged and discarded: the data folder stays as it is.
    QString refusal(const QString &path, const BackupArchive::Progress &progress = {})
    {
        PatientDatabase db(DataLocations::databaseFile());
        QString staged;
        const BackupArchive::Result result = BackupRestore::stage(&db, path, &staged, progress);
        BackupRestore::discard(staged);
        return result.ok ? QString() : result.reason;
    }

private slots:
    void initTestCase()
    {
        keys = std::make_unique<TestKeys>();
        clinic = keys->make("Clinic");
        elsewhere = keys->make("Elsewhere");
        QVERIFY(!clinic.isEmpty() && !elsewhere.isEmpty());
        QVERIFY(keys->removeSecret(elsewhere));
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QCOMPARE(addPatient(db, "A17", "Petrovskaya", "Ivanna"), 100);
        const QString folder = DataLocations::patientFolder("PetrovskayaIvanna_A17") + "EEG_1/";
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + "rec.edf", QByteArray(300000, 'e'));
        QFile old(folder + "rec.edf");
        QVERIFY(old.open(QIODevice::Append)
            && old.setFileTime(
                QDateTime(QDate(2019, 4, 2), QTime(8, 15), Qt::UTC), QFileDevice::FileModificationTime));
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        files = filesBelow(DataLocations::dataFolder());
        archive = temp.filePath("kesta.tar.gpg");
    }

    void encryptedRoundTrip()
    {
        const BackupArchive::Result written = backUp(archive, { clinic });
        QVERIFY2(written.ok && written.encrypted, qPrintable(written.reason));
        const QByteArray cipher = readFile(archive);
        QVERIFY(!cipher.contains("Petrovskaya") && !cipher.contains("kesta-backup")
            && !cipher.contains("eeeeeeee"));
        // The weekday recipe writes over last week's backup to the same key.
        QVERIFY(backUp(archive, { clinic }).ok);

        // Standard files: gpg and tar unpack it, xxh128sum checks it.
        QTemporaryDir unpacked;
        QProcess shell;
        shell.setWorkingDirectory(unpacked.path());
        shell.start("bash",
            { "-c",
                "set -o pipefail; gpg --batch -q -d \"$0\" | tar -x && xxh128sum --quiet -c checksums.xxh128",
                archive });
        QVERIFY(shell.waitForFinished(60000));
        QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
        QVERIFY(QFileInfo::exists(unpacked.path() + "/" + BackupManifest::DataFolder
            + DataLocations::patientFolder("PetrovskayaIvanna_A17").mid(DataLocations::dataFolder().size())
            + "EEG_1/rec.edf"));

        // Into an empty home, dates and permissions as they were.
        const QByteArray home = qgetenv("HOME");
        QTemporaryDir emptyHome;
        qputenv("HOME", QFile::encodeName(emptyHome.path()));
        const auto back = qScopeGuard([&] { qputenv("HOME", home); });
        PatientDatabase db(DataLocations::databaseFile());
        QString staged, aside, why;
        const BackupArchive::Result result = BackupRestore::stage(&db, archive, &staged);
        QVERIFY2(result.ok && result.encrypted, qPrintable(result.reason));
        QCOMPARE(result.manifest.rows.value("Patients"), 1);
        QVERIFY2(BackupRestore::swapIn(&db, staged, &aside, &why), qPrintable(why));
        QCOMPARE(db.patients().size(), 1);
        QCOMPARE(filesBelow(DataLocations::dataFolder()), files);
    }

    void damagedOrForeignCiphertextIsRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a wrong key") << "wrong key"
                                     << "whose secret part this user does not have";
        QTest::newRow("a changed byte") << "byte"
                                        << "cannot be decrypted whole";
        QTest::newRow("cut short") << "cut"
                                   << "cannot be decrypted whole";
        // Stopped while gpg still writes: it is ended, nothing waits for it.
        QTest::newRow("cancelled") << "cancel"
                                   << "The restore was cancelled.";
    }
    void damagedOrForeignCiphertextIsRefused()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const QString path = temp.filePath("damaged.tar.gpg");
        QFile::remove(path);
        QVERIFY(backUp(path, { damage == "wrong key" ? elsewhere : clinic }).ok);
        QByteArray bytes = readFile(path);
        if (damage == "byte")
            bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x10);
        else if (damage == "cut")
            bytes.truncate(bytes.size() * 3 / 4);
        writeFile(path, bytes);
        const QString refused = refusal(path, [&](qint64, qint64) { return damage != "cancel"; });
        QVERIFY2(!refused.isEmpty() && refused.contains(reason), qPrintable(refused));
        QCOMPARE(filesBelow(DataLocations::dataFolder()), files);
        QCOMPARE(QDir(QFileInfo(DataLocations::dataFolder()).absolutePath())
                     .entryList({ "*.restoring-*" }, QDir::AllEntries | QDir::Hidden),
            QStringList());
    }

    // Refused before a byte is written: no file, no partial folder.
    void keysThatCannotTakeABackupAreRefused()
    {
        const QString expired = keys->make("Expired", true);
        const QString revoked = keys->make("Revoked");
        QVERIFY(!expired.isEmpty() && keys->revoke(revoked));
        const QString target = temp.filePath("refused.tar.gpg");
        const QString unknown = QString(40, 'A');
        for (const auto &[recipients, reason] :
            { std::pair<QStringList, QString>({ clinic, expired }, "has expired"),
                { { revoked }, "is revoked" }, { { unknown }, "is not in the keyring" },
                { { "Clinic" }, "is not a key's full fingerprint" } }) {
            const BackupArchive::Result result = backUp(target, recipients);
            QVERIFY2(!result.ok && result.reason.contains(reason), qPrintable(result.reason));
            QCOMPARE(QDir(temp.path()).entryList({ "refused.tar.gpg*" }, QDir::AllEntries | QDir::Hidden),
                QStringList());
        }
        // An encrypted file to another key is no earlier backup of these.
        QVERIFY(backUp(target, { elsewhere }).ok);
        const BackupArchive::Result over = backUp(target, { clinic });
        QVERIFY2(over.reason.contains("is no earlier backup"), qPrintable(over.reason));
    }
};

KESTA_TEST_MAIN(TestBackupEncryption)
#include "tst_backupencryption.moc"
