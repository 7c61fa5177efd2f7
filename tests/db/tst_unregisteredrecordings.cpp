#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/sqlitedialect.h"
#include "db/recordings/recordingregistration.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <memory>

using namespace kestatest;

namespace
{

UnregisteredRecordings::Recording refused(
    const QString &patientId, const QString &fileName, bool retriable = true)
{
    UnregisteredRecordings::Recording recording;
    recording.patientId = patientId;
    recording.patientName = "Petrov Ivan";
    recording.fileName = fileName;
    recording.recordType = "EEG";
    recording.recordDate = QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30));
    recording.reason = "disk full";
    recording.retriable = retriable;
    return recording;
}

QStringList described(const UnregisteredRecordings &list)
{
    QStringList lines;
    for (const UnregisteredRecordings::Recording &recording : list.recordings())
        lines << recording.patientId + " " + recording.fileName + ": " + recording.reason;
    return lines;
}

} // namespace

// Recordings the database refused: kept over a restart until they are registered or their
// files are gone, and registered with their comments once the database takes them.
class TestUnregisteredRecordings : public QObject
{
    Q_OBJECT
private slots:
    void keptUntilRegisteredOrGone()
    {
        QVERIFY(resetDataFolder());
        // Another program's lock is waited for briefly.
        PatientDatabase db(DataLocations::databaseFile(), std::make_unique<SqliteDialect>(100));
        QVERIFY(addPatient(db, "A17", "Petrov", "Ivan") > 0);
        const QString folder = DataLocations::patientFolder("PetrovIvan_A17");
        for (const char *file : { "EEG_1/rec.edf", "EEG_2/rec.edf" })
            QVERIFY(QDir().mkpath(QFileInfo(folder + file).absolutePath())
                && QFile(folder + file).open(QIODevice::WriteOnly));
        {
            UnregisteredRecordings list(UnregisteredRecordings::defaultFile());
            list.setComments(list.add(refused("A17", "EEG_1\\rec.edf")), "calm");
            list.add(refused("A17", "EEG_2\\rec.edf"));
            list.add(refused("A17", "EEG_3\\gone.edf"));
            list.add(refused("Z9", "EEG_4\\rec.edf"));
            list.add(refused("A17", "EEG_5\\..\\..\\x.edf", false));
            QCOMPARE(list.recordings().size(), 5);
        }

        // What is only to be told is kept until it has been; a file gone is dropped at start.
        UnregisteredRecordings list(UnregisteredRecordings::defaultFile());
        RecordingRegistration registration(&db, &list);
        QCOMPARE(described(list),
            QStringList({ "A17 EEG_1\\rec.edf: disk full", "A17 EEG_2\\rec.edf: disk full",
                "Z9 EEG_4\\rec.edf: disk full", "A17 EEG_5\\..\\..\\x.edf: disk full" }));
        {
            OtherConnection other(DataLocations::databaseFile());
            QVERIFY(other.exec("BEGIN IMMEDIATE"));
            QCOMPARE(registration.registerKept(), 0);
        }
        QCOMPARE(described(list),
            QStringList({ "A17 EEG_1\\rec.edf: database is locked", "A17 EEG_2\\rec.edf: database is locked",
                "Z9 EEG_4\\rec.edf: The patient is not in the database", "A17 EEG_5\\..\\..\\x.edf: disk full" }));

        QCOMPARE(registration.registerKept(), 2);
        list.dropTold({ list.recordings().last().key });
        QCOMPARE(described(list), QStringList({ "Z9 EEG_4\\rec.edf: The patient is not in the database" }));
        QTRY_COMPARE(described(UnregisteredRecordings(UnregisteredRecordings::defaultFile())),
            QStringList({ "Z9 EEG_4\\rec.edf: The patient is not in the database" }));
        QStringList rows;
        for (const Record *record : db.patientByPatientId("A17")->records())
            rows << record->getFileName() + " " + record->getRecordDate().toString(Qt::ISODate) + " "
                    + record->getComments();
        QCOMPARE(rows,
            QStringList(
                { "EEG_1\\rec.edf 2024-03-05T14:25:30 calm", "EEG_2\\rec.edf 2024-03-05T14:25:30 " }));

        // Told refused though it landed (its answer lost): tried again, not stored twice.
        list.add(refused("A17", "EEG_1\\rec.edf"));
        QCOMPARE(registration.registerKept(), 1);
        QCOMPARE(db.patientByPatientId("A17")->records().size(), 2);
        QCOMPARE(described(list), QStringList({ "Z9 EEG_4\\rec.edf: The patient is not in the database" }));
    }
};

KESTA_TEST_MAIN(TestUnregisteredRecordings)
#include "tst_unregisteredrecordings.moc"
