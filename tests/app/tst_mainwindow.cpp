#include "support/testenvironment.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "toolkit/util/apphelper.h"

#include <QApplication>
#include <QTranslator>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Startup::setApplicationVersion(); }
    void initializeShowsTitledWindow();
    void initializeOnlyOnce();
    void closeRefusedWhileBlocked();
    void russianTitleKeepsProductName();
};

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
