#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/care/trash.h"
#include "db/care/trashfolder.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/clock.h"

#include <QDir>
#include <QDirIterator>
#include <memory>

using namespace kestatest;

namespace
{

const QString folder = QStringLiteral("PetrovIvan_A17");

QString place(const QString &relative)
{
    return DataLocations::patientsFolder() + folder + "/" + relative;
}

// Every file below the folder with its bytes, to compare byte for byte.
QMap<QString, QByteArray> filesBelow(const QString &root)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files.insert(path.mid(root.size()), readFile(path));
    }
    return files;
}

} // namespace

// Removal into the trash and back: rows with their ids, recordings byte for
// byte; restores refused when something was taken meanwhile; removals that
// cannot move their files; purging by age; removals cut off halfway.
class TestTrash : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    Patient *patient() { return db->patientById(100); }
    void writeRecording(const QString &relative, const QByteArray &bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(place(relative)).absolutePath()));
        writeFile(place(relative), bytes);
    }
    QStringList liveRows()
    {
        return rawRows(*db, "SELECT * FROM Patients ORDER BY AutoID")
            + rawRows(*db, "SELECT * FROM Records ORDER BY RecordID");
    }
    int lastRemoval() { return Trash(db.get()).removals().value(0).id; }

private slots:
    void init()
    {
        Clock::useSystemTime();
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan", 1, QDate(1980, 5, 1), "Tver"), 100);
        QVERIFY(
            rawExec(*db, "UPDATE Patients SET Age=43.5, Comments='it''s \xd0\xbe\xd0\xba' WHERE AutoID=100"));
        writeRecording("EEG_1/rec.edf", QByteArray(5000, 'a'));
        writeRecording("EEG_1/notes/x.txt", "notes");
        writeRecording("EEG_2/rec.edf", QByteArray(300, 'b'));
        writeRecording("unlisted.txt", "kept with the folder");
        const QDateTime date(QDate(2024, 3, 5), QTime(14, 25));
        QVERIFY(db->insertRecord(patient(), date, "EEG_1\\rec.edf", "EEG", "eyes closed") > 0);
        QVERIFY(db->insertRecord(patient(), date.addDays(1), "EEG_2\\rec.edf", "EEG", "") > 0);
        QVERIFY(db->insertRecord(patient(), date.addDays(2), "EEG_3\\gone.edf", "EEG", "") > 0);
    }
    void cleanup() { db.reset(); }

    void removeThenRestoreAPatient()
    {
        const QStringList rows = liveRows();
        const QMap<QString, QByteArray> files = filesBelow(place(""));
        QVERIFY(Trash(db.get()).removePatient(patient()));
        QVERIFY(db->patients().isEmpty());
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records").toInt(), 0);
        QCOMPARE(filesBelow(place("")).keys(), QStringList { "unlisted.txt" });

        const QList<Trash::Removal> removals = Trash(db.get()).removals();
        QCOMPARE(removals.size(), 1);
        const Trash::Removal &removal = removals.first();
        QVERIFY(removal.wholePatient);
        QCOMPARE(removal.description, QString("Petrov Ivan (A17)"));
        QCOMPARE(removal.size, qint64(5000 + 5 + 300));
        QVERIFY(removal.trashFolder.endsWith("_" + folder));
        QVERIFY(qAbs(removal.removedAt.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        QCOMPARE(filesBelow(TrashFolder::root() + removal.trashFolder + "/").keys(),
            QStringList({ "EEG_1/notes/x.txt", "EEG_1/rec.edf", "EEG_2/rec.edf", "removal.json" }));

        QString why;
        QVERIFY2(Trash(db.get()).restore(removal.id, &why), qPrintable(why));
        QCOMPARE(liveRows(), rows);
        QCOMPARE(filesBelow(place("")), files);
        QVERIFY(!QFileInfo::exists(TrashFolder::root() + removal.trashFolder));
        QCOMPARE(db->patientById(100)->records().size(), 3);
        QVERIFY(Trash(db.get()).removals().isEmpty());
        QVERIFY(!Trash(db.get()).restore(removal.id, &why));
    }

    // A record alone, and back; not once its patient is gone.
    void removeThenRestoreARecord()
    {
        Record *first = patient()->records().first();
        const QStringList rows = liveRows();
        QVERIFY(Trash(db.get()).removeRecord(patient(), first));
        QVERIFY(!QFileInfo::exists(place("EEG_1")) && QFileInfo::exists(place("EEG_2/rec.edf")));
        QCOMPARE(patient()->records().size(), 2);
        const int recordRemoval = lastRemoval();
        QCOMPARE(Trash(db.get()).removals().first().description,
            QString("Petrov Ivan (A17): 2024-03-05 14:25 EEG_1\\rec.edf"));
        QVERIFY(Trash(db.get()).restore(recordRemoval));
        QCOMPARE(liveRows(), rows);
        QTRY_COMPARE(patient()->records().size(), 3);

        QVERIFY(Trash(db.get()).removeRecord(patient(), patient()->records().first()));
        const int again = lastRemoval();
        QVERIFY(Trash(db.get()).removePatient(patient()));
        QString why;
        QVERIFY(!Trash(db.get()).restore(again, &why));
        QVERIFY2(why.contains("restore the patient first"), qPrintable(why));
        QVERIFY(!QFileInfo::exists(place("EEG_1")));
    }

    // What was taken meanwhile: the patient's ID, its number, its folder, a
    // recording's place. Each refusal changes nothing.
    void restoreRefusedWhenTaken_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("reason");
        QTest::newRow("ID") << "ID"
                            << "The ID 'A17' has been given to another patient since.";
        // A Cyrillic look-alike, which the recorder would receive as the same ID.
        QTest::newRow("look-alike ID") << "А１7"
                                       << "The ID 'A17' has been given to another patient since.";
        QTest::newRow("number") << "number"
                                << "Its number 100 has been given to another patient since.";
        QTest::newRow("folder") << "folder"
                                << "The folder 'PetrovIvan_A17' belongs to another patient since";
        QTest::newRow("place") << "place"
                               << "Its place is taken since:\n" + QDir::toNativeSeparators(place("EEG_2"));
    }
    void restoreRefusedWhenTaken()
    {
        QFETCH(QString, taken);
        QFETCH(QString, reason);
        QVERIFY(Trash(db.get()).removePatient(patient()));
        const int removal = lastRemoval();
        // Numbers other than 100 unless the number is what is taken: the
        // next new patient would take 100 again, the highest being gone.
        const QString otherId = taken == "ID" ? "A17" : taken.startsWith(QChar(0x0410)) ? taken : "B2";
        const int number = taken == "number" ? 100 : 300;
        QVERIFY(rawExec(*db,
                    QString("INSERT INTO Patients (AutoID, PatientID, LastName) VALUES (%1, '%2', 'Sidorov')")
                        .arg(number)
                        .arg(otherId))
            && db->reloadPatients());
        if (taken == "folder")
            db->patients().first()->setSubdirectory(folder);
        if (taken == "place")
            writeRecording("EEG_2/new.edf", "new");
        const QStringList rows = liveRows();
        const QMap<QString, QByteArray> trashed = filesBelow(TrashFolder::root());

        QString why;
        QVERIFY(!Trash(db.get()).restore(removal, &why));
        QVERIFY2(why.startsWith(reason), qPrintable(why));
        QCOMPARE(liveRows(), rows);
        QCOMPARE(filesBelow(TrashFolder::root()), trashed);
        QCOMPARE(Trash(db.get()).removals().size(), 1);
    }

    // When the recordings cannot go to the trash, the rows stay and so do the
    // files; the same when the database refuses after the files have moved.
    void aRemovalThatCannotMoveItsFilesChangesNothing_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("trash is a file") << "file"
                                         << "The trash folder cannot be made";
        QTest::newRow("refused after the move") << "trigger"
                                                << "kept";
    }
    void aRemovalThatCannotMoveItsFilesChangesNothing()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        if (cause == "file")
            writeFile(QDir::cleanPath(TrashFolder::root()), "in the way");
        else
            QVERIFY(rawExec(
                *db, "CREATE TRIGGER keep BEFORE INSERT ON Removals BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        const QStringList rows = liveRows();
        const QMap<QString, QByteArray> files = filesBelow(place(""));
        QString why;
        QStringList left;
        QVERIFY(!Trash(db.get()).removePatient(patient(), &why, &left));
        QVERIFY2(why.startsWith(reason), qPrintable(why));
        QVERIFY(left.isEmpty());
        QCOMPARE(liveRows(), rows);
        QCOMPARE(filesBelow(place("")), files);
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Removals").toInt(), 0);
        QVERIFY(QDir(TrashFolder::root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    // Older than the days given by the clock, restored or not; the folder goes
    // wherever the caller deletes it.
    void purgeByAge()
    {
        Clock::setTestTime(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
        QVERIFY(Trash(db.get()).removeRecord(patient(), patient()->records().first()));
        Clock::advance(qint64(10) * 24 * 3600 * 1000);
        QVERIFY(Trash(db.get()).removeRecord(patient(), patient()->records().first()));
        const QList<Trash::Removal> removals = Trash(db.get()).removals();
        Trash trash(db.get());
        QCOMPARE(trash.expired(30), QList<int>());
        Clock::advance(qint64(21) * 24 * 3600 * 1000);
        QCOMPARE(trash.expired(30), QList<int> { removals.last().id });

        QString folderToDelete;
        QVERIFY(trash.purge(removals.last().id, nullptr, &folderToDelete));
        QVERIFY(folderToDelete.startsWith(TrashFolder::root() + TrashFolder::purgingPrefix()));
        QVERIFY(Trash::deleteFolder(folderToDelete) && !QFileInfo::exists(folderToDelete));
        QCOMPARE(trash.removals().size(), 1);
        QVERIFY(trash.purge(removals.first().id));
        QVERIFY(QDir(TrashFolder::root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Removals").toInt(), 0);
        QCOMPARE(filesBelow(place("")).keys(), QStringList { "unlisted.txt" });
    }

    // A removal killed after its files moved but before it committed leaves a
    // folder no row names: the next start puts the recordings back, once the
    // folder is old enough not to be another workstation's removal at work.
    // A purge killed halfway is finished or undone by whether its row went.
    void unfinishedRemovalsArePutBack()
    {
        QString why;
        const QString name = TrashFolder::create(folder, &why);
        const QList<TrashFolder::Move> moves { { folder + "/EEG_1", "EEG_1" } };
        QVERIFY(TrashFolder::writeNote(name, moves, &why) && TrashFolder::moveIn(name, moves, &why));
        QVERIFY(Trash(db.get()).removeRecord(patient(), patient()->records().last()));
        const QString kept = Trash(db.get()).removals().first().trashFolder;
        QVERIFY(QDir(TrashFolder::root()).rename(kept, TrashFolder::purgingPrefix() + kept));
        QVERIFY(QDir().mkpath(TrashFolder::root() + TrashFolder::purgingPrefix() + "gone"));

        QCOMPARE(Trash(db.get()).recoverUnfinished(),
            QStringList({ "Purge of " + kept + " undone", "Purge of gone finished" }));
        QVERIFY(!QFileInfo::exists(place("EEG_1")));
        Clock::setTestTime(QDateTime::currentDateTime().addSecs(3600));
        QCOMPARE(
            Trash(db.get()).recoverUnfinished(), QStringList { "Unfinished removal " + name + " put back" });
        QCOMPARE(readFile(place("EEG_1/rec.edf")), QByteArray(5000, 'a'));
        QCOMPARE(QDir(TrashFolder::root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList { kept });
    }
};

KESTA_TEST_MAIN(TestTrash)
#include "tst_trash.moc"
