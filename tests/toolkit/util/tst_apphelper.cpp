#include "support/testenvironment.h"

#include "support/namedprocess.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/fileutilities.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

using kestatest::NamedProcess;

namespace
{

// Runs `act` on the message box once it is the active modal window.
void whenBoxShows(std::function<void(QMessageBox *)> act)
{
    QTimer::singleShot(0, [act] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            act(box);
        else
            whenBoxShows(act);
    });
}

QAbstractButton *buttonWithText(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

class TestAppHelper : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { AppHelper::resetAnswers(); }

    void appVersion_data();
    void appVersion();
    void platformFamily();

    void findRunningAppsMatchesVariants_data();
    void findRunningAppsMatchesVariants();
    void findRunningAppsIgnoresOtherNames();
    void programDoesNotCountItselfButCountsSecondCopy();
    void closeAppEndsExactlyThatProgram();

    void runningCheckWarnsForOneProgram();
    void runningCheckWarnsForTwoPrograms();
    void runningCheckQuietWhenNothingRuns();
    void runningCheckQuietWhenProgramEndsDuringRounds();

    void confirmDialogRealBox_data();
    void confirmDialogRealBox();
    void warningMessageShowsBox();
    void seamAnswersInOrderAndRecords();
    void russianTexts();
};

void TestAppHelper::appVersion_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("brief");
    QTest::newRow("four parts") << "1.2.3.4"
                                << "1.2.3"
                                << "1.2";
    QTest::newRow("three parts") << "1.2.3"
                                 << "1.2.3"
                                 << "1.2";
    QTest::newRow("two parts") << "4.7"
                               << "4.7"
                               << "4.7";
    QTest::newRow("none") << ""
                          << "3.0.0"
                          << "3.0";
}

void TestAppHelper::appVersion()
{
    QFETCH(QString, set);
    QFETCH(QString, full);
    QFETCH(QString, brief);
    const QString before = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(set);
    const QString gotFull = AppHelper::appVersion(true);
    const QString gotBrief = AppHelper::appVersion(false);
    QCoreApplication::setApplicationVersion(before);
    QCOMPARE(gotFull, full);
    QCOMPARE(gotBrief, brief);
}

void TestAppHelper::platformFamily()
{
#if defined(Q_OS_LINUX)
    // Whatever the distribution calls itself, the family is Linux.
    QCOMPARE(AppHelper::OS(), QString("linux"));
#elif defined(Q_OS_WIN)
    QCOMPARE(AppHelper::OS(), QString("windows"));
#endif
    QVERIFY(!AppHelper::OSName().isEmpty());
    QVERIFY(!AppHelper::OSVersion().isEmpty());
    QVERIFY(!AppHelper::OSVersion().startsWith('-'));
}

void TestAppHelper::findRunningAppsMatchesVariants_data()
{
    QTest::addColumn<QString>("imageName");
    QTest::newRow("exact") << "DI Duvi.exe";
    QTest::newRow("lower case") << "di duvi.exe";
    QTest::newRow("d before .exe") << "DI Duvid.exe";
    QTest::newRow("native, no .exe") << "DI Duvi";
}

void TestAppHelper::findRunningAppsMatchesVariants()
{
    QFETCH(QString, imageName);
    NamedProcess recorder(imageName);
    QVERIFY(recorder.start());

    const QStringList found = AppHelper::findRunningApps({ "DI Duvi.exe" });
    QCOMPARE(found.count(imageName), 1);
    QCOMPARE(AppHelper::findRunningApps({ "DI Duvi" }).count(imageName), 1);
    QVERIFY(AppHelper::getRunningApps().contains(imageName));
}

void TestAppHelper::findRunningAppsIgnoresOtherNames()
{
    NamedProcess longer("DI Duvi2.exe");
    NamedProcess prefixed("XDI Duvi.exe");
    QVERIFY(longer.start());
    QVERIFY(prefixed.start());

    const QStringList found = AppHelper::findRunningApps({ "DI Duvi.exe" });
    QVERIFY(!found.contains("DI Duvi2.exe"));
    QVERIFY(!found.contains("XDI Duvi.exe"));
    QVERIFY(AppHelper::findRunningApps({}).isEmpty());
    QVERIFY(AppHelper::findRunningApps({ "" }).isEmpty());
}

void TestAppHelper::programDoesNotCountItselfButCountsSecondCopy()
{
    const QString self = QCoreApplication::applicationName();
    QVERIFY(AppHelper::getRunningApps().contains(self));
    QVERIFY(AppHelper::findRunningApps({ self }).isEmpty());

    NamedProcess secondCopy(self);
    QVERIFY(secondCopy.start());
    QCOMPARE(AppHelper::findRunningApps({ self }), QStringList { self });
}

void TestAppHelper::closeAppEndsExactlyThatProgram()
{
    NamedProcess recorder("DI Duvi.exe");
    NamedProcess variant("DI Duvid.exe");
    QVERIFY(recorder.start());
    QVERIFY(variant.start());

    AppHelper::closeApp("\"DI Duvi.exe\"");
    QTRY_VERIFY(!recorder.isRunning());
    QCOMPARE(recorder.process().exitStatus(), QProcess::CrashExit);
    QVERIFY(!AppHelper::findRunningApps({ "DI Duvi.exe" }).contains("DI Duvi.exe"));
    QVERIFY(variant.isRunning());

    AppHelper::closeApp("DI Duvid.exe");
    QTRY_VERIFY(!variant.isRunning());
}

void TestAppHelper::runningCheckWarnsForOneProgram()
{
    NamedProcess recorder("DI Duvi.exe");
    QVERIFY(recorder.start());

    AppHelper::setNextAnswer(true);
    QVERIFY(AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe" }, 3));
    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QString("Cannot start because this app is already running:\nDI Duvi.exe"));
    QCOMPARE(shown.first().title, QString());
    QCOMPARE(shown.first().icon, QMessageBox::Warning);
    QCOMPARE(shown.first().buttons.size(), 1);
    QVERIFY(recorder.isRunning()); // told, not ended
}

void TestAppHelper::runningCheckWarnsForTwoPrograms()
{
    NamedProcess recorder("DI Duvi.exe");
    NamedProcess oldDatabase("OV Database.exe");
    QVERIFY(recorder.start());
    QVERIFY(oldDatabase.start());

    AppHelper::setNextAnswer(true);
    QVERIFY(AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe", "OV Database" }, 0));
    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    const QString prefix = "Cannot start because these apps are already running:\n";
    QVERIFY2(shown.first().text.startsWith(prefix), qPrintable(shown.first().text));
    QStringList names = shown.first().text.mid(prefix.size()).split('\n');
    names.sort();
    QCOMPARE(names, QStringList({ "DI Duvi.exe", "OV Database.exe" }));
}

void TestAppHelper::runningCheckQuietWhenNothingRuns()
{
    AppHelper::setNextAnswer(true);
    QVERIFY(!AppHelper::checkAndCloseIfAppsRunning({ "No Such Program.exe" }, 20));
    QVERIFY(AppHelper::takeShownMessages().isEmpty());
    QCOMPARE(AppHelper::pendingAnswers(), 1);
}

void TestAppHelper::runningCheckQuietWhenProgramEndsDuringRounds()
{
    NamedProcess closing("OV Database.exe");
    QVERIFY(closing.start());
    // Ends in the first round's events, as a copy that was closing when we started.
    QTimer::singleShot(0, [&closing] {
        closing.process().kill();
        closing.process().waitForFinished(10000);
    });
    AppHelper::setNextAnswer(true);
    QVERIFY(!AppHelper::checkAndCloseIfAppsRunning({ "OV Database" }, 5));
    QVERIFY(AppHelper::takeShownMessages().isEmpty());
}

void TestAppHelper::confirmDialogRealBox_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("result");
    QTest::newRow("yes") << QStringList() << "Yes" << QStringList { "Yes", "No" } << true;
    QTest::newRow("no") << QStringList() << "No" << QStringList { "Yes", "No" } << false;
    QTest::newRow("closed") << QStringList() << "close" << QStringList { "Yes", "No" } << false;
    QTest::newRow("escape") << QStringList() << "escape" << QStringList { "Yes", "No" } << false;
    QTest::newRow("one caption given") << QStringList { "Upgrade" } << "Upgrade"
                                       << QStringList { "Upgrade", "No" } << true;
    QTest::newRow("two captions given") << QStringList { "Go", "Stay" } << "Stay"
                                        << QStringList { "Go", "Stay" } << false;
}

void TestAppHelper::confirmDialogRealBox()
{
    QFETCH(QStringList, given);
    QFETCH(QString, action);
    QFETCH(QStringList, captions);
    QFETCH(bool, result);
    QString title, text, defaultText;
    QStringList shownCaptions;
    Qt::WindowFlags flags;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxShows([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        flags = box->windowFlags();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton *button : box->buttons())
            shownCaptions.append(button->text());
        if (action == "close")
            box->close();
        else if (action == "escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            buttonWithText(box, action)->click();
    });
    QCOMPARE(AppHelper::confirmDialog("Remove", "Remove record:\nX?", QMessageBox::Question, given), result);
    QCOMPARE(title, QString("Remove"));
    QCOMPARE(text, QString("Remove record:\nX?"));
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(shownCaptions, captions);
    QCOMPARE(defaultText, captions.first());
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
}

void TestAppHelper::warningMessageShowsBox()
{
    QString title, text;
    int buttons = 0;
    Qt::WindowFlags flags;
    whenBoxShows([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        buttons = box->buttons().size();
        flags = box->windowFlags();
        box->button(QMessageBox::Ok)->click();
    });
    AppHelper::warningMessage("Error removing record:\nfolder", "Oops");
    QCOMPARE(text, QString("Error removing record:\nfolder"));
    QCOMPARE(title, QString("Oops"));
    QCOMPARE(buttons, 1);
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
}

void TestAppHelper::seamAnswersInOrderAndRecords()
{
    AppHelper::setNextAnswer(false);
    AppHelper::setNextAnswer(true);
    AppHelper::setNextAnswer(true);
    QCOMPARE(AppHelper::pendingAnswers(), 3);
    QVERIFY(!AppHelper::confirmDialog("First", "one"));
    QVERIFY(AppHelper::confirmDialog("Second", "two", QMessageBox::Information, { "Go", "Stay" }));
    AppHelper::warningMessage("three");
    QCOMPARE(AppHelper::pendingAnswers(), 0);

    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown.at(0).title, QString("First"));
    QCOMPARE(shown.at(0).buttons, QStringList({ "Yes", "No" }));
    QCOMPARE(shown.at(1).text, QString("two"));
    QCOMPARE(shown.at(1).icon, QMessageBox::Information);
    QCOMPARE(shown.at(1).buttons, QStringList({ "Go", "Stay" }));
    QCOMPARE(shown.at(2).text, QString("three"));
    QCOMPARE(shown.at(2).icon, QMessageBox::Warning);
    QVERIFY(AppHelper::takeShownMessages().isEmpty());
}

void TestAppHelper::russianTexts()
{
    QTranslator russian;
    QVERIFY(russian.load(":/translations/util_ru_RU.qm"));
    QCoreApplication::installTranslator(&russian);
    NamedProcess recorder("DI Duvi.exe");
    QVERIFY(recorder.start());
    AppHelper::setNextAnswer(true);
    AppHelper::setNextAnswer(true);
    AppHelper::confirmDialog("Title", "Text");
    AppHelper::checkAndCloseIfAppsRunning({ "DI Duvi.exe" }, 0);
    const QString size = FileUtilities::filesizeNice(1536, 1);
    QCoreApplication::removeTranslator(&russian);

    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).buttons, QStringList({ "Да", "Нет" }));
    QCOMPARE(shown.at(1).text, QString("Запуск невозможен, так как это приложение уже запущено:\nDI Duvi.exe"));
    QCOMPARE(size, QString("1.5 КБ"));
}

KESTA_TEST_MAIN(TestAppHelper)
#include "tst_apphelper.moc"
