#include "app/tables/recordstable.h"
#include "app/removalcommands.h"
#include "app/trashdialog.h"
#include "db/care/changehistory.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/care/trash.h"
#include "db/care/trashfolder.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

using namespace kestatest;

// Removal and the trash as the user meets them: the questions (No by default),
// "Recently removed" with Restore and Remove for good, refusals in a box, and
// the purge by age at start.
class TestRemovalCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    std::unique_ptr<KestaSettings> settings;
    std::unique_ptr<QWidget> window;
    RemovalCommands *commands = nullptr;

    QString recording() { return DataLocations::recordingPath("PetrovIvan_A17", "EEG_1\\rec.edf"); }
    // Runs action while the dialog it opens is worked by `work`, then closed.
    void withTrashDialog(const std::function<void()> &action, const std::function<void(TrashDialog *)> &work)
    {
        QTimer::singleShot(0, [work] {
            auto *dialog = qobject_cast<TrashDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            work(dialog);
            dialog->findChild<QPushButton *>("closeButton")->click();
        });
        action();
    }
    static QStringList shown()
    {
        QStringList texts;
        for (const MessageBox::Shown &box : MessageBox::takeShown())
            texts << QString(box.defaultButton == MessageBox::Reject ? "[No] " : "") + box.text;
        return texts;
    }

private slots:
    void initTestCase() { LanguageContext::setLanguage("en_US"); }
    void init()
    {
        Clock::useSystemTime();
        MessageBox::reset();
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        ChangeHistory::attach(db.get());
        settings = std::make_unique<KestaSettings>(QString());
        window = std::make_unique<QWidget>();
        commands = new RemovalCommands(db.get(), settings.get(), window.get());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        QVERIFY(QDir().mkpath(QFileInfo(recording()).absolutePath()));
        writeFile(recording(), "EEG");
        QVERIFY(db->insertRecord(db->patientById(100), QDateTime(QDate(2024, 3, 5), QTime(14, 25)),
                    "EEG_1\\rec.edf", "EEG", "")
            > 0);
    }
    void cleanup()
    {
        window.reset();
        db.reset();
    }

    void removeAndRestoreThroughTheDialog()
    {
        MessageBox::setNextAnswer(MessageBox::No);
        commands->removePatient(100);
        QVERIFY(db->patientById(100));
        QSignalSpy confirmed(commands, &RemovalCommands::patientRemovalConfirmed);
        MessageBox::setNextAnswer(MessageBox::Yes);
        commands->removePatient(100);
        const QString question = "[No] Remove patient 'Petrov Ivan' with all records?\n\n"
                                 "It can be restored from File, Recently removed, for 30 days.";
        QCOMPARE(shown(), QStringList({ question, question }));
        QCOMPARE(confirmed.count(), 1);
        QVERIFY(db->patients().isEmpty() && !QFileInfo::exists(recording()));

        QSignalSpy restored(commands, &RemovalCommands::restored);
        withTrashDialog([&] { commands->recentlyRemovedAction()->trigger(); },
            [](TrashDialog *dialog) {
                QCOMPARE(dialog->list()->rowCount(), 1);
                QCOMPARE(dialog->list()->item(0, 0)->text(), QString("Patient: Petrov Ivan (A17)"));
                QCOMPARE(dialog->list()->item(0, 3)->text(), QString("3 B"));
                dialog->findChild<QPushButton *>("restoreButton")->click();
                QCOMPARE(dialog->list()->rowCount(), 0);
                QVERIFY(!dialog->findChild<QPushButton *>("restoreButton")->isEnabled());
            });
        QVERIFY(db->patientById(100) && QFileInfo::exists(recording()));
        QVERIFY(shown().isEmpty());
        // The window selects the patient put back.
        QCOMPARE(restored.count(), 1);
        QCOMPARE(restored.at(0).at(0).toInt(), 100);
    }

    // A record goes alone; its restore is refused once its number is taken,
    // and the box says why.
    void aRefusedRestoreSaysWhy()
    {
        RecordsTable records(nullptr);
        records.setPatient(db->patientById(100));
        MessageBox::setNextAnswer(MessageBox::Yes);
        commands->removeRecord(&records, 100);
        QCOMPARE(shown(),
            QStringList { "[No] Remove record:\n"
                + QDir::toNativeSeparators(QFileInfo(recording()).absolutePath())
                + "?\n\nIt can be restored from File, Recently removed, for 30 days." });
        QVERIFY(db->insertRecord(db->patientById(100), QDateTime(), "EEG_2\\b.edf", "EEG", "") == 100);

        MessageBox::setNextAnswer(MessageBox::Ok);
        withTrashDialog([&] { commands->showRecentlyRemoved(); },
            [](TrashDialog *dialog) { dialog->findChild<QPushButton *>("restoreButton")->click(); });
        QCOMPARE(shown(),
            QStringList { "'Petrov Ivan (A17): 2024-03-05 14:25 EEG_1\\rec.edf' cannot be restored:\n"
                          "Its record number 100 has been taken by another record since." });
        QVERIFY(!QFileInfo::exists(recording()));
    }

    // Asked again, No by default; the files go off the GUI thread.
    void removeForGood()
    {
        MessageBox::setNextAnswer(MessageBox::Yes);
        commands->removePatient(100);
        shown();
        for (const MessageBox::Button answer : { MessageBox::No, MessageBox::Yes }) {
            MessageBox::setNextAnswer(answer);
            withTrashDialog([&] { commands->showRecentlyRemoved(); },
                [](TrashDialog *dialog) {
                    dialog->findChild<QPushButton *>("removeForGoodButton")->click();
                });
        }
        const QString question = "[No] Remove 'Petrov Ivan (A17)' for good?\n\n"
                                 "Its rows and its recordings (3 B) are deleted and cannot be restored.";
        QCOMPARE(shown(), QStringList({ question, question }));
        QTRY_COMPARE(commands->pendingDeletions(), 0);
        QVERIFY(Trash(db.get()).removals().isEmpty());
        QVERIFY(QDir(TrashFolder::root()).isEmpty());
    }

    // At start, removals older than the setting go for good.
    void purgedByAgeAtStart()
    {
        settings->setTrashPurgeDays(7);
        Clock::setTestTime(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
        MessageBox::setNextAnswer(MessageBox::Yes);
        commands->removePatient(100);
        Clock::advance(qint64(7) * 24 * 3600 * 1000 - 1000);
        commands->tidyAtStart();
        QCOMPARE(Trash(db.get()).removals().size(), 1);
        Clock::advance(2000);
        QSignalSpy finished(commands, &RemovalCommands::deletionsFinished);
        commands->tidyAtStart();
        QVERIFY(Trash(db.get()).removals().isEmpty());
        QVERIFY(finished.wait());
        QVERIFY(QDir(TrashFolder::root()).isEmpty());
    }
};

KESTA_TEST_MAIN(TestRemovalCommands)
#include "tst_removalcommands.moc"
