#include "support/testenvironment.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelper.h"

#include <QApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTranslator>

namespace
{

// A first start shows its box; the tests not about it start with the database in place.
bool databaseInPlace()
{
    return DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Failed;
}

bool removeDataFolder()
{
    const QString data = QDir::cleanPath(DataLocations::dataFolder());
    if (QFileInfo(data).isDir())
        return QDir(data).removeRecursively();
    return !QFileInfo::exists(data) || QFile::remove(data);
}

QStringList tablesOf(const QString &file)
{
    QStringList tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "inspect");
        db.setDatabaseName(file);
        if (db.open())
            tables = db.tables();
    }
    QSqlDatabase::removeDatabase("inspect");
    return tables;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Startup::setApplicationVersion();
        StyleHelper::registerFontsAndStyles();
    }
    void init() { QVERIFY(databaseInPlace()); }
    void cleanup() { AppHelper::resetAnswers(); }
    void firstStartCreatesDatabaseFromTemplate();
    void databaseThatCannotBeCreatedEndsTheProgram();
    void themeFollowsColorThemeSetting();
    void initializeShowsTitledWindow();
    void initializeOnlyOnce();
    void closeRefusedWhileBlocked();
    void russianTitleKeepsProductName();
};

void TestMainWindow::firstStartCreatesDatabaseFromTemplate()
{
    QVERIFY(removeDataFolder());
    AppHelper::setNextAnswer(true);
    {
        MainWindow window;
        QVERIFY(window.initialize());
    }
    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QString("An empty database was created"));
    QCOMPARE(shown.first().title, QString());
    QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
    const QStringList tables = tablesOf(DataLocations::databaseFile());
    QVERIFY2(tables.contains("Patients") && tables.contains("Records"), qPrintable(tables.join(',')));

    // The next start finds the file and says nothing.
    MainWindow second;
    QVERIFY(second.initialize());
    QVERIFY(AppHelper::takeShownMessages().isEmpty());
}

void TestMainWindow::databaseThatCannotBeCreatedEndsTheProgram()
{
    // A file where the data folder belongs: nothing can be created below it, even as root.
    QVERIFY(removeDataFolder());
    QFile blocker(QDir::cleanPath(DataLocations::dataFolder()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    AppHelper::setNextAnswer(true);
    MainWindow window;
    QVERIFY(!window.initialize());
    QVERIFY(!window.isVisible());
    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, QString("Error"));
    QCOMPARE(shown.first().icon, QMessageBox::Critical);
    QCOMPARE(shown.first().text,
        "Error creating an empty database at:\n" + QDir::toNativeSeparators(DataLocations::databaseFile()));
    QVERIFY(blocker.remove());
}

void TestMainWindow::themeFollowsColorThemeSetting()
{
    KestaModel model;
    KestaSettings *settings = model.settings();
    settings->setColorTheme(StyleHelper::Dark);
    MainWindow window;
    QVERIFY(window.initialize());
    QCOMPARE(StyleHelper::Instance()->currentTheme(), QString("dark"));
    settings->setColorTheme(StyleHelper::Light);
    QCOMPARE(StyleHelper::Instance()->currentTheme(), QString("light"));
    // The window honours StartMaximized (on by default).
    QVERIFY(window.isMaximized());
}

void TestMainWindow::initializeShowsTitledWindow()
{
    MainWindow window;
    QVERIFY(!MainWindow::Instance());
    QVERIFY(window.initialize());
    QVERIFY(window.isVisible());
    QCOMPARE(MainWindow::Instance(), &window);
    // The project version, whole.
    QVERIFY(
        QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(QCoreApplication::applicationVersion()).hasMatch());
    QCOMPARE(window.windowTitle(), "Orvalis: database " + QCoreApplication::applicationVersion());
    QCOMPARE(window.minimumSize(), QSize(800, 600));
}

void TestMainWindow::initializeOnlyOnce()
{
    MainWindow window;
    QVERIFY(window.initialize());
    window.setWindowTitle("changed");
    QTest::ignoreMessage(QtDebugMsg, "Cannot load again");
    QVERIFY(!window.initialize());
    QCOMPARE(window.windowTitle(), QString("changed"));
}

void TestMainWindow::closeRefusedWhileBlocked()
{
    MainWindow window;
    QVERIFY(window.initialize());
    window.blockClosing();
    QVERIFY(window.isCloseBlocked());

    QTest::ignoreMessage(QtDebugMsg, "CLOSE true");
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());

    // The block lifts by itself after two seconds.
    QTRY_VERIFY_WITH_TIMEOUT(!window.isCloseBlocked(), 5000);
    QTest::ignoreMessage(QtDebugMsg, "CLOSE false");
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
}

void TestMainWindow::russianTitleKeepsProductName()
{
    QTranslator russian;
    QVERIFY(russian.load(":/translations/Kesta_ru_RU.qm"));
    QCoreApplication::installTranslator(&russian);
    MainWindow window;
    QVERIFY(window.initialize());
    QCoreApplication::removeTranslator(&russian);
    QCOMPARE(window.windowTitle(), "Orvalis: база данных " + QCoreApplication::applicationVersion());
}

KESTA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
