#include "app/settingsdialog.h"
#include "db/model/kestasettings.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "toolkit/settings/propertylistcontrol.h"

#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>

// "Test connection" signs in with the settings shown and says what it met.
class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void serverSettingsStandApart()
    {
        KestaSettings settings("Settings.xml");
        SettingsDialog dialog(&settings);
        dialog.show();
        auto *list = dialog.findChild<PropertyListControl *>();
        QLabel *common = list->getCategoryLabel("1.Common");
        QLabel *server = list->getCategoryLabel("2.Server");
        QVERIFY(common && server);
        QVERIFY(common->y() < server->y());
        // Nothing but the server's own settings below its label.
        QCOMPARE(list->getCategoryLabel(QString()), nullptr);
    }

    void testConnectionSaysWhatItMet()
    {
        kestatest::TestServer *server = kestatest::TestServer::instance();
        QVERIFY2(server, qPrintable(kestatest::TestServer::startError()));
        const DatabaseLocation location = server->createDatabase();
        KestaSettings settings("Settings.xml");
        SettingsDialog dialog(&settings);
        dialog.show();
        auto *button = dialog.findChild<QPushButton *>("testConnection");
        const auto tried = [&]() -> QString {
            button->click();
            // Each answer comes within the timeout, 10 s by default.
            return QTest::qWaitFor([&] { return button->isEnabled(); }, 30000)
                ? dialog.connectionTested()->text()
                : QString("still waiting");
        };
        QCOMPARE(tried(), QString("No server is set: the database is the file on this computer."));

        settings.setServerHost(location.host);
        settings.setServerPort(location.port);
        settings.setServerUser(location.user);
        settings.setServerTlsMode(KestaSettings::disable);
        settings.setServerDatabase(location.databaseName);
        QCOMPARE(
            tried(), QString("Connected: the database is empty; the program lays it out at its next start."));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "layout");
            db.setHostName(location.host);
            db.setPort(location.port);
            db.setUserName(location.user);
            db.setDatabaseName(location.databaseName);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("CREATE TABLE SchemaVersion (Version integer); "
                                       "INSERT INTO SchemaVersion VALUES (7)"));
        }
        QSqlDatabase::removeDatabase("layout");
        QCOMPARE(tried(), QString("Connected: the database has layout version 7."));

        settings.setServerDatabase("nosuch");
        QCOMPARE(tried(), QString("The server has no database named nosuch."));
        settings.setServerDatabase(location.databaseName);

        QVERIFY(server->requirePassword("nurse", "secret"));
        settings.setServerUser("nurse");
        QVERIFY(tried().startsWith("The server refused the password of nurse"));

        settings.setServerPort(1);
        QCOMPARE(tried(), QString("No answer from %1:1 within 10 s.").arg(location.host));
    }
};

KESTA_TEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
