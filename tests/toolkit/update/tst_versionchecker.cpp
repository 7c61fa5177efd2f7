#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/update/newversionbutton.h"
#include "toolkit/update/newversionmenuaction.h"
#include "toolkit/update/versionchecker.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

// A reply of the version service; its JSON is written with single quotes.
static QByteArray reply(const QByteArray &json, int status = 200)
{
    const QByteArray body = QByteArray(json).replace('\'', '"');
    return "HTTP/1.1 " + QByteArray::number(status)
        + " -\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

static QString fields(const VersionInfo &info)
{
    return QStringList { info.valid ? "valid" : "-", info.version, info.date,
        info.critical ? "critical" : "-", info.link, info.changelog, info.info }
        .join('|');
}

// Runs the version service on loopback: each request line is recorded and answered with
// `answer`, or, while that is empty, held until release().
class TestVersionChecker : public QObject
{
    Q_OBJECT
public slots:
    void openUrl(const QUrl &url) { opened.append(url); }

private slots:
    void initTestCase()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                socket->disconnect(this);
                requests.append(QString::fromLatin1(socket->readLine().trimmed()));
                held.append(socket);
                if (!answer.isEmpty())
                    release(answer);
            });
        });
        QVERIFY(server.listen(QHostAddress::LocalHost));
        VersionChecker::setServiceAddress(
            QString("http://127.0.0.1:%1/repo/version.php").arg(server.serverPort()));
        Clock::setTestTime(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
        for (const char *scheme : { "http", "https", "file" })
            QDesktopServices::setUrlHandler(scheme, this, "openUrl");
        QVERIFY(QSslSocket::supportsSsl());
    }

    // Each test starts well clear of the previous request.
    void init() { Clock::advance(60000); }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("expected");
        // First, so that the next answer shows the checker ready again.
        QTest::newRow("server never answers") << QByteArray() << "-|||-|||";
        QTest::newRow("update") << reply(
            "{'valid':true,'version':'2.0','date':'2024-05-01','critical':true,"
            "'link':'https://a.invalid/get','changelog':'Fixes','info':'Note','x':1}")
                                << "valid|2.0|2024-05-01|critical|https://a.invalid/get|Fixes|Note";
        QTest::newRow("no update") << reply("{'valid':false,'version':'1.0'}") << "-|1.0||-|||";
        QTest::newRow("not JSON") << reply("<html>busy</html>") << "-|||-|||";
        QTest::newRow("HTTP error") << reply("{'valid':true,'version':'9'}", 500) << "-|||-|||";
    }

    void answers()
    {
        QFETCH(QByteArray, response);
        answer = response;
        VersionChecker::setTransferTimeout(response.isEmpty() ? 200 : 30000);
        QSignalSpy found(VersionChecker::Instance(), &VersionChecker::versionFound);
        VersionChecker::FindNewVersionAsync();
        QTRY_COMPARE(found.count(), 1);
        QTEST(fields(found.last().at(0).value<VersionInfo>()), "expected");
        QTEST(fields(VersionChecker::LastVersion()), "expected");
        // The waiting check returns the same and announces nothing.
        QTEST(fields(VersionChecker::findNewVersion("ru_RU")), "expected");
        QCOMPARE(found.count(), 1);
    }

    // Each check sends its own application name; dropped ones must never reach the service.
    void requestCarriesEveryParameterEncodedAndTooEarlyOnesAreDropped()
    {
        const auto check = [](const QString &name) {
            QCoreApplication::setApplicationName(name);
            VersionChecker::FindNewVersionAsync();
        };
        requests.clear();
        answer = reply("{}");
        QSignalSpy found(VersionChecker::Instance(), &VersionChecker::versionFound);
        QCoreApplication::setApplicationVersion("1.2.3.4");
        check(QString::fromUtf8("Kesta & Co #1 Пётр"));
        QTRY_COMPARE(found.count(), 1);
        const auto encoded = [](const QString &value) { return QString(QUrl::toPercentEncoding(value)); };
        QCOMPARE(requests.last(),
            "GET "
            "/repo/version.php?app=Kesta%20%26%20Co%20%231%20%D0%9F%D1%91%D1%82%D1%80&version=1.2.3&locale="
                + encoded(QLocale::system().name()) + "&platform=" + encoded(AppHelper::OS())
                + "&os=" + encoded(AppHelper::OSName()) + "&osversion=" + encoded(AppHelper::OSVersion())
                + " HTTP/1.1");
        check("sameSecond");
        Clock::advance(4999);
        check("after4999ms");
        Clock::advance(1);
        check("after5s");
        QTRY_COMPARE(found.count(), 2);

        answer.clear();
        Clock::advance(5000);
        check("held");
        QTRY_COMPARE(requests.size(), 3);
        Clock::advance(60000);
        check("whileHeld");
        release(reply("{}"));
        answer = reply("{}");
        QTRY_COMPARE(found.count(), 3);
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests.at(1).contains("app=after5s&") && requests.at(2).contains("app=held&"));
    }

    // Last: it leaves the checks switched off.
    void offerFollowsTheChecksAndOpensHttpLinksOnly()
    {
        QCoreApplication::setApplicationName("kesta");
        QCOMPARE(LanguageContext::setLanguage("ru_RU"), QString("ru_RU"));
        // Creating the button starts the checks. Embedded as the About box does it.
        answer = reply("{'valid':true,'version':'2.0','link':'https://a.invalid/get'}");
        QWidget window;
        auto *offer = new NewVersionButton(QString(), QString(), &window);
        (new QVBoxLayout(&window))->addWidget(offer);
        QSignalSpy hasNewVersion(offer, &NewVersionButton::onHasNewVersionChanged);
        window.show();
        QPushButton *button = offer->button();
        QVERIFY(button->isHidden());
        QTRY_VERIFY(!button->isHidden());
        QCOMPARE(button->text(), QString("Kesta 2.0"));
        QCOMPARE(button->toolTip(),
            QString::fromUtf8("Нажмите, чтобы скачать новую версию https://a.invalid/get"));
        NewVersionMenuAction entry("Update", &window);
        QCOMPARE(entry.text(), QString("Update 2.0"));
        QTest::mouseClick(button, Qt::LeftButton);
        entry.trigger();
        QCOMPARE(opened, QList<QUrl>({ QUrl("https://a.invalid/get"), QUrl("https://a.invalid/get") }));

        answer = reply("{'valid':true,'version':'2.1','link':'file://a.invalid/<b>setup</b>.exe'}");
        Clock::advance(5000);
        VersionChecker::FindNewVersionAsync();
        QTRY_COMPARE(button->text(), QString("Kesta 2.1"));
        // Shown as it is, not as markup.
        QCOMPARE(QTextDocumentFragment::fromHtml(button->toolTip()).toPlainText(),
            QString::fromUtf8("Нажмите, чтобы скачать новую версию file://a.invalid/<b>setup</b>.exe"));
        QTest::mouseClick(button, Qt::LeftButton);
        entry.trigger();
        QCOMPARE(opened.size(), 2);

        answer = reply("{'valid':false,'version':'2.2'}");
        Clock::advance(5000);
        VersionChecker::StartChecking(true, 1); // checks at once, then every five seconds at the least
        auto *timer = VersionChecker::Instance()->findChild<QTimer *>("versionCheckTimer");
        QCOMPARE(timer->interval(), 5000);
        QTRY_VERIFY(button->isHidden());
        QVERIFY(!entry.isVisible());
        QCOMPARE(hasNewVersion.last().at(0).toBool(), false);

        VersionChecker::StartChecking(false, 600);
        QVERIFY(!timer->isActive());
        NewVersionButton another; // opening the About box again does not switch them on
        QVERIFY(!timer->isActive());
    }

private:
    void release(const QByteArray &response)
    {
        for (QTcpSocket *socket : qAsConst(held)) {
            if (socket->state() == QAbstractSocket::ConnectedState)
                socket->write(response);
            socket->disconnectFromHost();
        }
        held.clear();
    }

    QTcpServer server;
    QStringList requests;
    QByteArray answer;
    QList<QTcpSocket *> held;
    QList<QUrl> opened;
};

KESTA_TEST_MAIN(TestVersionChecker)
#include "tst_versionchecker.moc"
