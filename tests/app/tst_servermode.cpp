#include "app/mainwindow.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/serverpasswordprompt.h"
#include "app/windowcommands.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/serverroles.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/messagebox.h"

#include <QAction>
#include <QLabel>
#include <QTableView>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <memory>

using namespace kestatest;

namespace
{

// Settings.xml naming the server, as a clinic's workstation has it.
void pointAt(const DatabaseLocation &location)
{
    KestaSettings settings(QStringLiteral("Settings.xml"));
    settings.setServerHost(location.host);
    settings.setServerPort(location.port);
    settings.setServerDatabase(location.databaseName);
    settings.setServerUser(location.user);
    settings.setServerTlsMode(KestaSettings::disable);
    settings.setLanguage(KestaSettings::en_US);
    settings.setStartMaximized(false);
    settings.setCheckForNewVersion(false);
}

// Entries of menu and of its submenus without a mnemonic, or with one another entry of
// their menu has, each named.
QStringList mnemonicProblems(QWidget *menu)
{
    if (auto *opening = qobject_cast<QMenu *>(menu))
        emit opening->aboutToShow(); // the column menus fill as they open
    QStringList problems;
    QSet<QChar> used;
    for (QAction *entry : menu->actions()) {
        if (entry->isSeparator() || entry->text().isEmpty()
            || entry->property(WindowCommands::HeadingProperty).toBool())
            continue;
        const QString text = entry->text().replace("&&", QString());
        const int at = text.indexOf('&') + 1;
        const QChar letter = at > 0 && at < text.size() ? text.at(at).toLower() : QChar();
        if (!letter.isLetter())
            problems << "no mnemonic: " + text;
        else if (used.contains(letter))
            problems << "mnemonic taken twice: " + text;
        used << letter;
        if (entry->menu())
            problems << mnemonicProblems(entry->menu());
    }
    return problems;
}

QStringList shownTexts()
{
    QStringList texts;
    for (const MessageBox::Shown &shown : MessageBox::takeShown())
        texts << shown.text;
    return texts;
}

} // namespace

// The program on a server: it starts on it, follows the other workstations
// and moves a local database onto it.
class TestServerMode : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
    }
    void init()
    {
        QFile::remove("Settings.xml");
        QDir(DataLocations::dataFolder()).removeRecursively();
        MessageBox::takeShown();
    }

    // No file is made; the list follows the other workstation, keeping the
    // selection; an edit it overtook is refused with a box naming its value.
    void theWindowFollowsTheOtherWorkstation()
    {
        const DatabaseLocation location = server->createDatabase();
        PatientDatabase other(location);
        QVERIFY(other.isUsable());
        QCOMPARE(addPatient(other, "A17", "Petrov", "Ivan", 0, QDate(), "Tver"), 100);
        pointAt(location);
        KestaModel model;
        MainWindow window;
        QVERIFY(window.initialize());
        QCOMPARE(shownTexts(), QStringList());
        QVERIFY(!QFile::exists(DataLocations::databaseFile()));
        auto *patients = window.findChild<PatientsListWidget *>();
        patients->setSelectedId(100, true);

        QCOMPARE(addPatient(other, "B2", "Smirnova", "Anna"), 101);
        QTRY_COMPARE(patients->getRows().size(), 2);
        QCOMPARE(patients->getSelectedId(), 100);
        QCOMPARE(window.currentPatient(), model.database()->patientById(100));

        Patient *shown = window.currentPatient();
        QVERIFY(other.patientById(100)->setValue("City", "Moscow"));
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!shown->setValue("City", "Kazan"));
        QStringList texts;
        QTRY_VERIFY((texts += shownTexts(), !texts.isEmpty()));
        QCOMPARE(texts,
            QStringList {
                "The change was not saved:\nCity: Another workstation has changed it meanwhile to: Moscow" });
        QTRY_COMPARE(shown->getCity(), QStringLiteral("Moscow"));
    }

    // A server that does not answer: the box names its address and the
    // driver's reason, and offers to try again or quit.
    void anUnreachableServerAtStart()
    {
        DatabaseLocation location = server->createDatabase();
        QVERIFY(server->stop());
        pointAt(location);
        KestaModel model;
        MainWindow window;
        MessageBox::setNextAnswer(MessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::No);
        QVERIFY(!window.initialize());
        QVERIFY(server->start());
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.first().buttons, QStringList({ "Retry", "Quit" }));
        QVERIFY2(shown.first().text.contains(location.describe())
                && shown.first().text.contains("Connection refused"),
            qPrintable(shown.first().text));
    }

    // A patient's records that cannot be read are said to be so, naming the
    // server, not shown as none; selecting the patient again reads them.
    void unreadRecordsAreSaidToBeSo()
    {
        const DatabaseLocation location = server->createDatabase();
        PatientDatabase other(location);
        QVERIFY(other.isUsable());
        QCOMPARE(addPatient(other, "A17", "Petrov"), 100);
        QCOMPARE(addPatient(other, "B2", "Smirnova"), 101);
        QVERIFY(other.insertRecord(other.patientById(101), QDateTime(), "EEG_1\\a.edf", "EEG", "") > 0);
        pointAt(location);
        KestaModel model;
        MainWindow window;
        QVERIFY(window.initialize());
        auto *patients = window.findChild<PatientsListWidget *>();
        auto *records = window.findChild<RecordsTable *>();
        patients->setSelectedId(100, true);
        QVERIFY(server->stop());
        MessageBox::setNextAnswer(MessageBox::Ok);
        patients->setSelectedId(101, true);
        QStringList texts;
        QTRY_VERIFY((texts += shownTexts(), !texts.isEmpty()));
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.first().startsWith("The records cannot be read:\n" + location.describe() + "\n\n"),
            qPrintable(texts.first()));
        QVERIFY(records->getRows().isEmpty());

        QVERIFY(server->start());
        patients->setSelectedId(100, true);
        patients->setSelectedId(101, true);
        QTRY_COMPARE(records->getRows().size(), 1);
        QCOMPARE(shownTexts(), QStringList());
    }

    // The password is asked until it is right, and never written down.
    void aPasswordIsAskedForTheSession()
    {
        QVERIFY(server->requirePassword("nurse", "s3cret"));
        DatabaseLocation location = server->createDatabase();
        location.user = "nurse";
        pointAt(location);
        KestaModel model;
        MainWindow window;
        ServerPasswordPrompt::setNextAnswer("wrong");
        ServerPasswordPrompt::setNextAnswer("s3cret");
        QVERIFY(window.initialize());
        const QStringList asked = ServerPasswordPrompt::takeAsked();
        QCOMPARE(asked.size(), 2);
        QVERIFY(!asked.first().contains("refused"));
        QVERIFY(asked.last().startsWith("The server refused the password.\nPassword of nurse@"));
        QCOMPARE(shownTexts(), QStringList());
        QVERIFY(!readFile("Settings.xml").contains("s3cret"));

        // Without a window or a terminal, an import says where the password goes.
        QFile csv("Patients.csv");
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("PatientID,LastName\nA17,Petrov\n") > 0);
        csv.close();
        QProcess import;
        import.start(qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/kesta", { "--import", "Patients.csv" });
        QVERIFY(import.waitForFinished(60000));
        QCOMPARE(import.exitCode(), 1);
        const QByteArray refused = import.readAllStandardError();
        QVERIFY2(refused.contains("~/.pgpass"), refused.constData());
    }

    // From the menu and from the command line: the data folder's file moves
    // onto the empty server, once.
    void theLocalDatabaseMovesOntoTheServer()
    {
        QVERIFY(resetDataFolder());
        {
            PatientDatabase local(DataLocations::databaseFile());
            QCOMPARE(addPatient(local, "A17", "Petrov"), 100);
        }
        pointAt(server->createDatabase());
        {
            KestaModel model;
            MainWindow window;
            QVERIFY(window.initialize());
            FileDialog::setNextFileName(DataLocations::databaseFile());
            MessageBox::setNextAnswer(MessageBox::Yes);
            MessageBox::setNextAnswer(MessageBox::Ok);
            window.findChild<QAction *>("actionCopyDatabaseToServer")->trigger();
            QVERIFY(shownTexts().last().startsWith("Copied to"));
            QTRY_COMPARE(window.findChild<PatientsListWidget *>()->getRows().size(), 1);
        }

        pointAt(server->createDatabase());
        QProcess copy;
        copy.start(qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/kesta", { "--copy-database-to-server" });
        QVERIFY(copy.waitForFinished(60000));
        QCOMPARE(copy.exitCode(), 0);
        QVERIFY(copy.readAllStandardOutput().contains("Patients: 1"));
        copy.start();
        QVERIFY(copy.waitForFinished(60000));
        QCOMPARE(copy.exitCode(), 1);
        const QByteArray refused = copy.readAllStandardError();
        QVERIFY2(refused.contains("already holds rows"), refused.constData());
    }

    // Every menu the window shows, in both languages, on a local database and on a server.
    // Last: translators once installed stay for the rest of the process.
    void everyMenuEntryHasAMnemonicOfItsOwn_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("onServer");
        // English first: translators once installed stay.
        QTest::newRow("English, local") << "en_US" << false;
        QTest::newRow("English, server") << "en_US" << true;
        QTest::newRow("Russian, local") << "ru_RU" << false;
        QTest::newRow("Russian, server") << "ru_RU" << true;
    }
    void everyMenuEntryHasAMnemonicOfItsOwn()
    {
        QFETCH(QString, language);
        QFETCH(bool, onServer);
        pointAt(onServer ? server->createDatabase() : DatabaseLocation());
        if (!onServer) // no box announcing a new one
            QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
        QCOMPARE(LanguageContext::setLanguage(language), language);
        KestaModel model;
        MainWindow window;
        QVERIFY(window.initialize());
        QCOMPARE(bool(window.findChild<QAction *>("actionCopyDatabaseToServer")), onServer);
        QCOMPARE(mnemonicProblems(window.menuBar()), QStringList());
    }

    // Set up by `kesta --server-setup --apply`, reception's workstation: the status line names the server, the account
    // and its role; removal is left out of the menu, and the Delete key is
    // refused with a box naming the roles that may.
    void aRoleSeesWhatItMayDo()
    {
        DatabaseLocation location = server->createDatabase();
        pointAt(location);
        QProcess setup;
        setup.start(qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/kesta", { "--server-setup", "--apply" });
        QVERIFY(setup.waitForFinished(60000));
        QVERIFY2(setup.exitCode() == 0, setup.readAllStandardError().constData());
        {
            PatientDatabase superuser(location);
            QVERIFY(rawExec(superuser, "CREATE ROLE rita LOGIN IN ROLE kesta_reception"));
            QVERIFY(superuser.isUsable());
            QCOMPARE(addPatient(superuser, "A17", "Petrov", "Ivan"), 100);
        }
        location.user = "rita";
        pointAt(location);
        KestaModel model;
        MainWindow window;
        QVERIFY(window.initialize());
        const QString statusLine = window.findChild<QLabel *>("serverStatusLine")->text();
        // In the language an earlier test left.
        QVERIFY2(statusLine.contains("rita (" + ServerRoles::title(ServerRoles::Role::Reception) + ")"),
            qPrintable(statusLine));
        QVERIFY(!window.findChild<QAction *>("actionRemovePatient")->isVisible());
        QVERIFY(!window.findChild<QAction *>("actionRestore")->isVisible());
        QVERIFY(window.findChild<QAction *>("actionNewPatient")->isVisible());

        auto *patients = window.findChild<PatientsListWidget *>();
        patients->setSelectedId(100, true);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::keyClick(patients->grid(), Qt::Key_Delete);
        const QStringList said = shownTexts();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains(ServerRoles::title(ServerRoles::Role::Physician))
                && said.first().contains(ServerRoles::title(ServerRoles::Role::Administrator))
                && !said.first().contains(ServerRoles::title(ServerRoles::Role::Technician)),
            qPrintable(said.first()));
        QVERIFY(KestaModel::Instance()->database()->patientById(100));
    }
};

KESTA_TEST_MAIN(TestServerMode)
#include "tst_servermode.moc"
