#include "support/testenvironment.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "support/testdatabase.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"

#include <QApplication>
#include <QDir>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Startup::setApplicationVersion();
        StyleHelper::registerFontsAndStyles();
    }
    void cleanup()
    {
        MessageBox::reset();
        Clock::useSystemTime();
    }

    void databaseFileMadeOnFirstStartOrTheProgramEnds()
    {
        // A file where the data folder belongs: nothing can be created below it, even as root.
        const QString data = QDir::cleanPath(DataLocations::dataFolder());
        QVERIFY(QDir(data).removeRecursively() && QFile(data).open(QIODevice::WriteOnly));
        MessageBox::setNextAnswer(MessageBox::Ok);
        {
            MainWindow window;
            QVERIFY(!window.initialize());
            QVERIFY(!window.isVisible() && !MainWindow::Instance());
        }
        QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, QString("Error"));
        QCOMPARE(shown.first().icon, MessageBox::Critical);
        QCOMPARE(shown.first().text,
            "Error creating an empty database at:\n"
                + QDir::toNativeSeparators(DataLocations::databaseFile()));

        QVERIFY(QFile::remove(data));
        MessageBox::setNextAnswer(MessageBox::Ok);
        MainWindow first;
        QVERIFY(first.initialize());
        shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, QString("An empty database was created"));
        QVERIFY(QFileInfo(DataLocations::databaseFile()).size() > 0);
        // The next start finds the file and says nothing.
        MainWindow next;
        QVERIFY(next.initialize());
        QVERIFY(MessageBox::takeShown().isEmpty());
    }

    void initializedOnceTitledThemedAndClosable()
    {
        QVERIFY(DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Failed);
        KestaModel model;
        model.settings()->setColorTheme(ColorTheme::Dark);
        MainWindow window;
        QVERIFY(window.initialize());
        QCOMPARE(MainWindow::Instance(), &window);
        const QString version = QCoreApplication::applicationVersion();
        QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(version).hasMatch());
        QCOMPARE(window.windowTitle(), "Orvalis: database " + version);
        // StartMaximized is on by default.
        QVERIFY(window.isMaximized());
        QCOMPARE(StyleHelper::Instance()->currentTheme(), QString("dark"));
        model.settings()->setColorTheme(ColorTheme::Light);
        QCOMPARE(StyleHelper::Instance()->currentTheme(), QString("light"));

        QTest::ignoreMessage(QtDebugMsg, "Cannot load again");
        window.setWindowTitle("changed");
        QVERIFY(!window.initialize());
        QCOMPARE(window.windowTitle(), QString("changed"));

        // Closing is refused while blocked; the block lifts by itself after two seconds.
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 0)));
        window.blockClosing();
        Clock::advance(1999);
        QTest::ignoreMessage(QtDebugMsg, "CLOSE true");
        QVERIFY(!window.close() && window.isVisible());
        Clock::advance(1);
        QVERIFY(!window.isCloseBlocked());
        QTest::ignoreMessage(QtDebugMsg, "CLOSE false");
        QVERIFY(window.close() && !window.isVisible());
    }

    // Never an empty list for a database that cannot be used: the box names
    // the file and the driver's reason, and the file stays as it was.
    void anUnusableDatabaseOffersRetryOrQuit()
    {
        QVERIFY(kestatest::resetDataFolder());
        const QString path = DataLocations::databaseFile();
        QVERIFY(QFile::resize(path, 0));
        KestaModel model;
        MessageBox::setNextAnswer(MessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::No);
        MainWindow window;
        QVERIFY(!window.initialize());
        QVERIFY(!window.isVisible());
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().icon, MessageBox::Critical);
        QCOMPARE(shown.last().buttons, QStringList({ "Retry", "Quit" }));
        QCOMPARE(shown.last().text,
            "The patient database cannot be used:\n" + QDir::toNativeSeparators(path)
                + "\n\nno such table: Patients");
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    // The fields an edit could not save, in one warning.
    void refusedWritesShowOneWarning()
    {
        QVERIFY(kestatest::resetDataFolder());
        KestaModel model;
        QCOMPARE(kestatest::addPatient(*model.database(), "A17", "Petrov"), 100);
        MainWindow window;
        QVERIFY(window.initialize());
        Patient *patient = model.database()->patientById(100);
        QScopedPointer<Patient> edit(patient->clone());
        edit->setCity("Tver-on-the-Volga river");
        edit->setZIP("12345678901234567");
        MessageBox::setNextAnswer(MessageBox::Yes);
        QVERIFY(!patient->copyFrom(edit.data()));
        QTRY_COMPARE(MessageBox::pendingAnswers(), 0);
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text,
            "The change was not saved:\nCity: CHECK constraint failed: length(City) <= 16\n"
            "ZIP: CHECK constraint failed: length(ZIP) <= 16");
    }
};

KESTA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
