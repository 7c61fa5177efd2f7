#include "db/care/backuparchive.h"
#include "db/care/backuprestore.h"
#include "db/care/databasesnapshot.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/storage/serverroles.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/databaselocation.h"
#include "db/storage/schemamigrations.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <memory>

using namespace kestatest;

namespace
{

// The database file and its logs aside, which the rows stand for: each file
// with its bytes, its time and its permissions.
QMap<QString, QByteArray> filesBelow(const QString &root)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        const QFileInfo info(path);
        if (!path.mid(root.size()).startsWith("patients.sqlite"))
            files.insert(path.mid(root.size()) + " " + info.lastModified().toString(Qt::ISODate) + " "
                    + QString::number(info.permissions(), 16),
                readFile(path));
    }
    return files;
}

// A tar written by another program, as an attacker would craft one: the
// given header, then the entries named.
const char *const CraftTar = R"(
import io, sys, tarfile
out, header, kind, outside = sys.argv[1:5]
def add(t, name, data=b'x', kind=tarfile.REGTYPE, link=''):
    info = tarfile.TarInfo(name); info.type = kind; info.linkname = link; info.size = len(data) if kind == tarfile.REGTYPE else 0
    t.addfile(info, io.BytesIO(data) if kind == tarfile.REGTYPE else None)
if kind == 'huge header':
    info = tarfile.TarInfo('kesta-backup.json'); info.size = 210 << 20
    open(out, 'wb').write(info.tobuf(format=tarfile.PAX_FORMAT)); sys.exit(0)
with tarfile.open(out, 'w', format=tarfile.PAX_FORMAT) as t:
    add(t, 'kesta-backup.json', open(header, 'rb').read())
    if kind == 'climbing': add(t, 'data/../../escaped')
    if kind == 'absolute': add(t, outside + '/escaped')
    if kind == 'link':
        add(t, 'data/out', kind=tarfile.SYMTYPE, link='../..')
        add(t, 'data/out/escaped')
)";

QStringList everyRow(Database &db)
{
    QStringList rows;
    for (const char *table : { "Patients", "Records", "History", "Removals", "SchemaVersion" })
        rows << table << rawRows(db, QString("SELECT * FROM ") + table + " ORDER BY 1");
    return rows;
}

} // namespace

// A backup holds the database and the data folder whole, checks itself, and
// comes back into an empty home exactly; damaged, truncated and foreign files
// are refused before anything changes.
class TestBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir temp;
    QString archive;
    // Of a few files, for the cases that damage or stop it.
    QString small;
    QString firstHome;
    QStringList rows;
    QMap<QString, QByteArray> files;

    BackupArchive::Result backUp(const QString &target, const BackupArchive::Progress &progress = {})
    {
        return BackupArchive::write(DatabaseLocation::file(DataLocations::databaseFile()),
            DataLocations::dataFolder(), target, progress);
    }

private slots:
    // 200 patients with 5 recordings each, files of many sizes up to a few blocks.
    void initTestCase()
    {
        firstHome = QDir::homePath();
        archive = temp.filePath("kesta-backup-test.tar");
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QVERIFY(db.isUsable());
        QVERIFY(rawExec(db, "BEGIN"));
        QSqlQuery patient(db.database());
        QSqlQuery record(db.database());
        patient.prepare(
            "INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, DOB, Height, Comments) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)");
        record.prepare(
            "INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments) "
            "VALUES (?, ?, ?, ?, ?, ?)");
        for (int p = 0; p < 200; ++p) {
            const QString id = QString("P%1").arg(p);
            patient.addBindValue(100 + p);
            patient.addBindValue(id);
            patient.addBindValue(QString::fromUtf8("Иванов-%1").arg(p));
            patient.addBindValue(p % 7 ? "Anna, \"Ann\"" : QVariant(QVariant::String));
            patient.addBindValue("1980-05-01");
            patient.addBindValue(170.5);
            patient.addBindValue("line one\nline two");
            QVERIFY(patient.exec());
            const QString folder
                = DataLocations::patientFolder(QString::fromUtf8("Иванов-%1_%2").arg(p).arg(id));
            for (int r = 0; r < 5; ++r) {
                const QString name = QString("EEG_2024_03_%1_1425%2").arg(r + 10).arg(r, 2, 10, QChar('0'));
                record.addBindValue(100 + p * 5 + r);
                record.addBindValue(id);
                record.addBindValue("2024-03-05T14:25:00");
                record.addBindValue(name + "\\rec.edf");
                record.addBindValue("EEG");
                record.addBindValue(QString());
                QVERIFY(record.exec());
                QVERIFY(QDir().mkpath(folder + name));
                writeFile(folder + name + "/rec.edf", QByteArray((p * 5 + r) * 7 % 2100, char('a' + r)));
            }
        }
        QVERIFY(rawExec(db, "COMMIT"));
        QVERIFY(QDir().mkpath(DataLocations::dataFolder() + "Trash/empty"));
        QFile old(
            DataLocations::patientFolder(QString::fromUtf8("Иванов-7_P7")) + "EEG_2024_03_10_142500/rec.edf");
        QVERIFY(old.open(QIODevice::Append)
            && old.setFileTime(
                QDateTime(QDate(2019, 4, 2), QTime(8, 15)), QFileDevice::FileModificationTime));
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        rows = everyRow(db);
        files = filesBelow(DataLocations::dataFolder());
        small = temp.filePath("small.tar");
        QVERIFY(makeSmallBackup());
    }
    bool makeSmallBackup()
    {
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        const auto back = qScopeGuard([&] { qputenv("HOME", QFile::encodeName(firstHome)); });
        if (!resetDataFolder() || !QDir().mkpath(DataLocations::patientFolder("A_1") + "EEG_1"))
            return false;
        writeFile(DataLocations::patientFolder("A_1") + "EEG_1/rec.edf", QByteArray(20000, 'c'));
        writeFile(DataLocations::patientFolder("A_1") + "EEG_1/rec2.edf", QByteArray(3000, 'd'));
        return backUp(small).ok;
    }

    void backUpAndRestoreIntoAnEmptyHome()
    {
        int calls = 0;
        qint64 lastDone = -1;
        qint64 lastTotal = 0;
        const BackupArchive::Result written = backUp(archive, [&](qint64 done, qint64 total) {
            ++calls;
            lastDone = done;
            lastTotal = total;
            return true;
        });
        QVERIFY2(written.ok, qPrintable(written.reason));
        QCOMPARE(written.manifest.rows.value("Patients"), 200);
        QCOMPARE(written.manifest.rows.value("Records"), 1000);
        QCOMPARE(written.manifest.files.size(), 1001);
        QVERIFY(calls > 100 && lastDone == lastTotal);
        QVERIFY(
            QDir(QFileInfo(archive).absolutePath()).entryList({ "*.part-*" }, QDir::AllEntries).isEmpty());
        QVERIFY(BackupArchive::verify(archive).ok);
        // A plain tar archive whose list other tools check as well.
        QTemporaryDir unpacked;
        QCOMPARE(QProcess::execute("tar", { "-xf", archive, "-C", unpacked.path() }), 0);
        QProcess check;
        check.setWorkingDirectory(unpacked.path());
        check.start("xxh128sum", { "--quiet", "-c", "checksums.xxh128" });
        QVERIFY(check.waitForFinished(60000) && check.exitCode() == 0);

        QTemporaryDir emptyHome;
        qputenv("HOME", QFile::encodeName(emptyHome.path()));
        const auto back = qScopeGuard([&] { qputenv("HOME", QFile::encodeName(firstHome)); });
        PatientDatabase db(DataLocations::databaseFile());
        QString staged;
        const BackupArchive::Result result = BackupRestore::stage(&db, archive, &staged);
        QVERIFY2(result.ok, qPrintable(result.reason));
        QString aside;
        QString why;
        QVERIFY2(BackupRestore::swapIn(&db, staged, &aside, &why), qPrintable(why));
        QVERIFY(aside.isEmpty());
        QCOMPARE(db.patients().size(), 200);
        QCOMPARE(everyRow(db), rows);
        // Bytes, dates and permissions.
        const QMap<QString, QByteArray> restored = filesBelow(DataLocations::dataFolder());
        QCOMPARE(restored.keys(), files.keys());
        QVERIFY(restored == files);
        QVERIFY(QFileInfo(DataLocations::dataFolder() + "Trash/empty").isDir());

        // Restored once more over what is there now: that is moved aside and kept.
        QVERIFY(BackupRestore::stage(&db, archive, &staged).ok);
        writeFile(DataLocations::dataFolder() + "newer.txt", "kept");
        QVERIFY(BackupRestore::swapIn(&db, staged, &aside, &why));
        QVERIFY2(aside.startsWith(emptyHome.path() + "/Orvalis Data (before restore 20"), qPrintable(aside));
        QCOMPARE(readFile(aside + "/newer.txt"), QByteArray("kept"));
        QVERIFY(!QFileInfo::exists(DataLocations::dataFolder() + "newer.txt"));
    }

    // One byte changed in a recording or in an entry's header, the file cut
    // short at any point, a foreign file: refused, naming what is wrong,
    // before the data folder changes.
    void damagedArchivesAreRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a recording's byte") << "recording"
                                            << "does not match its checksum";
        QTest::newRow("a header's byte") << "header"
                                         << "The backup is damaged or incomplete: ";
        QTest::newRow("cut in a recording") << "cut 0.5"
                                            << "The backup is damaged or incomplete: ";
        QTest::newRow("cut before the manifest") << "manifest"
                                                 << "its manifest is missing";
        QTest::newRow("no tar") << "foreign"
                                << "This file is not a backup of this program.";
        QTest::newRow("another tar") << "tar"
                                     << "This file is not a backup of this program.";
    }
    void damagedArchivesAreRefused()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QByteArray bytes = readFile(small);
        const QString damagedPath = small + ".damaged";
        const int recording = bytes.indexOf("cccccccccc");
        const int manifest = bytes.lastIndexOf("manifest.json");
        if (damage == "recording")
            bytes[recording + 3] = 'x';
        else if (damage == "header")
            bytes[bytes.indexOf("data/") + 2] = 'X';
        else if (damage.startsWith("cut"))
            bytes.truncate(int(bytes.size() * damage.section(' ', 1).toDouble()));
        else if (damage == "manifest")
            bytes.truncate(manifest);
        else if (damage == "foreign")
            bytes = "just some text\n";
        QFile::remove(damagedPath);
        if (damage == "tar")
            QProcess::execute("tar", { "-cf", damagedPath, "-C", QDir::homePath(), "Orvalis Data/Trash" });
        else
            writeFile(damagedPath, bytes);

        const BackupArchive::Result checked = BackupArchive::verify(damagedPath);
        QVERIFY(!checked.ok);
        QVERIFY2(checked.reason.contains(reason), qPrintable(checked.reason));
        // Restoring unpacks everything before it knows: once is enough here.
        if (damage == "recording" || damage == "foreign") {
            PatientDatabase db(DataLocations::databaseFile());
            QString staged;
            const BackupArchive::Result result = BackupRestore::stage(&db, damagedPath, &staged);
            BackupRestore::discard(staged);
            QVERIFY(!result.ok && result.reason == checked.reason);
            QVERIFY(!QFileInfo::exists(staged));
        }
        QFile::remove(damagedPath);
    }

    // Cancelled at any point, or refused, a backup leaves nothing behind; a
    // file there before stays as it was.
    void nothingIsLeftBehind()
    {
        const QString target = temp.filePath("kesta-cancelled.tar");
        QVERIFY(QFile::copy(small, target));
        int calls = 0;
        const BackupArchive::Result cancelled = backUp(target, [&](qint64, qint64) { return ++calls < 50; });
        QVERIFY(cancelled.cancelled && !cancelled.ok);
        QCOMPARE(readFile(target), readFile(small));
        QCOMPARE(
            QDir(temp.path()).entryList({ "kesta-cancelled.tar.part-*" }, QDir::AllEntries), QStringList());
        QFile::remove(target);

        const BackupArchive::Result inside = backUp(DataLocations::dataFolder() + "Data/backup.tar");
        QCOMPARE(inside.reason, QString("A backup cannot be written inside the data folder it backs up."));
        QVERIFY(!QFileInfo::exists(DataLocations::dataFolder() + "Data/backup.tar"));
    }

    // Entries that would land outside the folder being unpacked, and a header
    // too large to be one, are refused before anything is written there.
    void foreignEntriesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("data/../../") << "climbing"
                                     << "The backup holds an entry outside its folders: data/../../";
        QTest::newRow("absolute") << "absolute"
                                  << "The backup holds an entry outside its folders: /";
        QTest::newRow("a link out") << "link"
                                    << "The backup holds an entry of a kind it never writes: data/out";
        QTest::newRow("a 210 MB header") << "huge header"
                                         << "The backup's header is larger than any";
    }
    void foreignEntriesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir base;
        const QString header = base.filePath("header.json");
        const QString crafted = base.filePath("crafted.tar");
        QCOMPARE(
            QProcess::execute("tar", { "-xf", small, "-C", base.path(), BackupManifest::HeaderName }), 0);
        QVERIFY(QFile::rename(base.filePath(BackupManifest::HeaderName), header));
        QCOMPARE(QProcess::execute("python3", { "-c", CraftTar, crafted, header, kind, base.path() }), 0);
        const QString folder = base.filePath("inner/unpacked");
        QVERIFY(QDir().mkpath(folder));
        const BackupArchive::Result result = BackupArchive::extract(crafted, folder, base.filePath("copy"));
        QVERIFY2(!result.ok && result.reason.startsWith(reason), qPrintable(result.reason));
        QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList({ "crafted.tar", "header.json", "inner" }));
        QCOMPARE(
            QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList());
    }

    // The server's copy is not taken yet: every step says so instead of
    // writing a backup without its database.
    // A server is dumped with the data folder; a restore replaces its tables
    // whole and keeps what it held before with the old folder.
    void aServerIsBackedUpAndRestored()
    {
        TestServer *postgres = TestServer::instance();
        QVERIFY2(postgres, qPrintable(TestServer::startError()));
        const DatabaseLocation location = postgres->createDatabase();
        PatientDatabase db(location);
        // With the roles set up: the restored tables keep each role's rights.
        for (const QString &sql :
            ServerRoles::setupStatements() + QStringList { "CREATE ROLE pavel LOGIN IN ROLE kesta_physician" })
            QVERIFY2(rawExec(db, sql), qPrintable(sql));
        QVERIFY(db.isUsable());
        QVERIFY(rawExec(db,
            "INSERT INTO Patients (AutoID, PatientID, LastName, Comments) VALUES "
            "(101, 'A''1', 'Иванов', 'a\nb\\c\t')"));
        const QStringList before = everyRow(db);
        QVERIFY(QDir().mkpath(DataLocations::dataFolder()));
        const QString target = temp.filePath("kesta-server.tar");
        const BackupArchive::Result written
            = BackupArchive::write(location, DataLocations::dataFolder(), target, BackupArchive::Progress());
        QVERIFY2(written.ok, qPrintable(written.reason));
        QCOMPARE(written.manifest.rows.value("Patients"), 1);
        QCOMPARE(written.manifest.layoutVersion, SchemaMigrations::CurrentVersion);

        QVERIFY(rawExec(db, "INSERT INTO Patients (AutoID, PatientID) VALUES (102, 'B2')"));
        QVERIFY(rawExec(db, "UPDATE Patients SET LastName='Петров' WHERE AutoID=101"));
        PatientDatabase other(location);
        QVERIFY(other.reloadPatients());
        QCOMPARE(other.patients().size(), 2);
        QString staged, aside, why;
        const BackupArchive::Result checked = BackupRestore::stage(&db, target, &staged);
        QVERIFY2(checked.ok, qPrintable(checked.reason));
        QVERIFY2(BackupRestore::swapIn(&db, staged, &aside, &why), qPrintable(why));
        QCOMPARE(everyRow(db), before);
        QCOMPARE(db.patients().size(), 1);
        QVERIFY(readFile(aside + "/before restore server.sql").contains("Петров"));
        QVERIFY(!QFileInfo::exists(DataLocations::dataFolder() + "/server.sql"));
        // Another workstation shows the restored list without being asked.
        QTRY_COMPARE(other.patients().size(), 1);
        DatabaseLocation physician = location;
        physician.user = "pavel";
        PatientDatabase pavel(physician);
        QVERIFY2(pavel.isUsable(&why), qPrintable(why));
        QVERIFY(addPatient(pavel, "C3", "Sidorov") > 0);
        QFile::remove(target);
    }
};

KESTA_TEST_MAIN(TestBackup)
#include "tst_backup.moc"
