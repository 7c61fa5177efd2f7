#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/patientdialog.h"
#include "app/patienteditor.h"
#include "app/patientslistwidget.h"
#include "app/recordstable.h"
#include "app/startup.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "exchange/orvalisexchange.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/basepropertylistwidget.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/update/newversionbutton.h"
#include "toolkit/update/versionchecker.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/filedialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <functional>

using namespace kestatest;

namespace
{

// The model and the window of one start, with a database the test fills first.
struct Session {
    KestaModel model;
    MainWindow window;

    KestaSettings *settings() { return model.settings(); }
    Database *db() { return model.database(); }
    template <typename T = QWidget> T *find(const QString &name = QString())
    {
        return window.findChild<T *>(name);
    }
    PatientsListWidget *patients() { return find<PatientsListWidget>(); }
    RecordsTable *records() { return find<RecordsTable>(); }
    PatientEditor *card() { return find<PatientEditor>(); }
    QAction *action(const QString &name) { return find<QAction>(name); }
    bool start(int width = 1500)
    {
        settings()->setStartMaximized(false);
        settings()->setCheckForNewVersion(false);
        window.resize(width, 900);
        return window.initialize();
    }
};

int addRecord(Database *db, Patient *patient, const QString &fileName, bool withFile)
{
    QFile file(DataLocations::recordingPath(patient->folderName(), fileName));
    if (withFile && !(QDir().mkpath(QFileInfo(file).absolutePath()) && file.open(QIODevice::WriteOnly)))
        return -1;
    return db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), fileName, "EEG", "first");
}

// Runs action while a timer works the modal dialog it opens.
void withModalDialog(const std::function<void()> &action, const std::function<void(QWidget *)> &work)
{
    QTimer::singleShot(0, [work] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        work(dialog);
    });
    action();
}

} // namespace

// The main window over a real database in a temporary data folder; boxes are answered
// through the seam. The window starts the exchange, so these tests listen on its port.
class TestMainWindow : public QObject
{
    Q_OBJECT
    QList<QUrl> opened;

public slots:
    // Stands in for the desktop's web browser.
    void openUrl(const QUrl &url) { opened << url; }

private slots:
    void initTestCase()
    {
        Startup::setApplicationVersion();
        StyleHelper::registerFontsAndStyles();
    }
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(resetDataFolder());
    }
    void cleanup()
    {
        MessageBox::reset();
        FileDialog::reset();
        Clock::useSystemTime();
    }

    void databaseFileMadeOnFirstStartOrTheProgramEnds()
    {
        // A file where the data folder belongs: nothing can be created below it, even as root.
        const QString data = QDir::cleanPath(DataLocations::dataFolder());
        QVERIFY(QDir(data).removeRecursively() && QFile(data).open(QIODevice::WriteOnly));
        KestaModel model;
        model.settings()->setCheckForNewVersion(false);
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
        {
            MainWindow first;
            QVERIFY(first.initialize());
        }
        shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, QString("An empty database was created"));
        QVERIFY(QFileInfo(DataLocations::databaseFile()).size() > 0);
        // The next start finds the file and says nothing.
        MainWindow next;
        QVERIFY(next.initialize());
        QVERIFY(MessageBox::takeShown().isEmpty());
    }

    void startSelectsTheLastPatientAndFollowsTheSelection()
    {
        Session s;
        const int first = addPatient(*s.db(), "A1", "Petrov", "Ivan");
        const int second = addPatient(*s.db(), "B2", QString::fromUtf8("Сидорова"), "Anna");
        s.settings()->setLastPatientId(second);
        s.settings()->setColorTheme(ColorTheme::Dark);
        QVERIFY(s.start());
        QCOMPARE(MainWindow::Instance(), &s.window);
        QCOMPARE(s.window.windowTitle(), "Orvalis: database " + QCoreApplication::applicationVersion());
        QCOMPARE(StyleHelper::Instance()->currentTheme(), QString("dark"));
        QVERIFY(s.window.currentPatient() && s.window.currentPatient()->getId() == second);
        QVERIFY(s.find("actionButton")->isVisible() && s.find("panelPatient")->isEnabled());
        QCOMPARE(s.records()->getPatient(), s.window.currentPatient());

        QTest::ignoreMessage(QtDebugMsg, "Cannot load again");
        QVERIFY(!s.window.initialize());
        QCOMPARE(s.patients()->getRows().size(), 2);

        s.patients()->setSelectedId(first, true);
        QCOMPARE(s.window.currentPatient()->getId(), first);
        QCOMPARE(s.settings()->getLastPatientId(), first);
        s.patients()->setSelectedId(-1, true);
        QVERIFY(!s.window.currentPatient() && !s.find("actionButton")->isVisible());
        QVERIFY(!s.find("panelPatient")->isEnabled());
        QCOMPARE(s.settings()->getLastPatientId(), first);
    }

    void nothingSelectedWithoutSelectLastPatient()
    {
        Session s;
        s.settings()->setLastPatientId(addPatient(*s.db(), "A1", "Petrov"));
        s.settings()->setSelectLastPatient(false);
        QVERIFY(s.start());
        QVERIFY(!s.window.currentPatient());
        QVERIFY(!s.find("actionButton")->isVisible() && !s.find("panelPatient")->isEnabled());
    }

    void cardViewPlacesTheCardAndIsStored()
    {
        Session s;
        s.settings()->setLastPatientId(addPatient(*s.db(), "A1", "Petrov"));
        QVERIFY(s.start());
        QWidget *center = s.find("cardCenterPane");
        QWidget *panel = s.find("panelPatient");
        // Right by default, on tabs; the patient's columns, none editable.
        QCOMPARE(s.card()->parentWidget(), panel);
        QVERIFY(qobject_cast<PropertyTabWidget *>(s.card()->editor()));
        QCOMPARE(s.card()->editor()->getSettings(), s.window.currentPatient());
        QVERIFY(!s.card()->editor()->getWidgetInfo("LastName").view->getEditor()->isEnabled());
        QVERIFY(s.action("actionCardView_PatientCard_Right")->isChecked());
        const struct {
            const char *action;
            KestaSettings::ViewPatientCard view;
            QWidget *holder;
        } views[] = {
            { "actionCardView_PatientCard_Center", KestaSettings::PatientCard_Center, center },
            { "actionCardView_PatientCard_None", KestaSettings::PatientCard_None, nullptr },
            { "actionCardView_PatientCard_Right", KestaSettings::PatientCard_Right, panel },
        };
        for (const auto &view : views) {
            s.action(view.action)->trigger();
            QCOMPARE(s.settings()->getPatientCardView(), view.view);
            QCOMPARE(center->isVisible(), view.holder == center);
            QCOMPARE(panel->isVisible(), view.holder == panel);
            QCOMPARE(s.card()->isVisible(), view.holder != nullptr);
            if (view.holder)
                QCOMPARE(s.card()->parentWidget(), view.holder);
        }
        // A change made elsewhere (the settings dialog) moves the card and the check mark.
        s.settings()->setPatientCardView(KestaSettings::PatientCard_Center);
        QCOMPARE(s.card()->parentWidget(), center);
        QVERIFY(qobject_cast<PropertyListControl *>(s.card()->editor()));
        QVERIFY(s.action("actionCardView_PatientCard_Center")->isChecked());
    }

    void splitterSizes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("center");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("right: middle dropped") << "300;300;300" << false << QList<int> { 600, 0, 600 };
        QTest::newRow("center: kept") << "300;600;300" << true << QList<int> { 300, 600, 300 };
        QTest::newRow("two parts") << "300;300" << true << QList<int> { 400, 400, 400 };
        QTest::newRow("nothing stored") << "" << false << QList<int> { 600, 0, 600 };
        QTest::newRow("not numbers") << "a;b;c" << true << QList<int> { 400, 400, 400 };
        QTest::newRow("all zero, center") << "0;0;0" << true << QList<int> { 400, 400, 400 };
        QTest::newRow("all zero, right") << "0;0;0" << false << QList<int> { 600, 0, 600 };
        QTest::newRow("only the hidden middle") << "0;500;0" << false << QList<int> { 600, 0, 600 };
        QTest::newRow("negative") << "-900;300;300" << true << QList<int> { 0, 600, 600 };
        QTest::newRow("huge") << "2000000000;0;2000000000" << false << QList<int> { 600, 0, 600 };
    }
    void splitterSizes()
    {
        QFETCH(QString, stored);
        QFETCH(bool, center);
        QFETCH(QList<int>, sizes);
        QCOMPARE(MainWindow::splitterSizes(stored, center, 1200), sizes);
    }

    void splitterSizesAppliedAfterCardChangeAndStoredOnMove()
    {
        Session s;
        s.settings()->setSplitterSizes("300;300;300");
        QVERIFY(s.start());
        auto *splitter = s.find<QSplitter>("mainSplitter");
        QTRY_COMPARE(splitter->sizes().at(1), 0);
        QVERIFY(qAbs(splitter->sizes().at(0) - splitter->sizes().at(2)) <= 1);

        s.settings()->setSplitterSizes("2;1;1");
        s.action("actionCardView_PatientCard_Center")->trigger();
        QTRY_VERIFY(splitter->sizes().at(1) > 300);
        QVERIFY(splitter->sizes().at(0) > 700);
        QVERIFY(qAbs(splitter->sizes().at(1) - splitter->sizes().at(2)) <= 1);

        // A drag of the first handle.
        QSplitterHandle *handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QMouseEvent drag(QEvent::MouseMove, grip - QPoint(100, 0), handle->mapToGlobal(grip - QPoint(100, 0)),
            Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &drag);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip - QPoint(100, 0));
        QStringList stored;
        for (int size : splitter->sizes())
            stored << QString::number(size);
        QCOMPARE(s.settings()->getSplitterSizes(), stored.join(';'));
        QVERIFY(splitter->sizes().at(0) < 700);
    }

    void newPatientIsCreatedAndSelected()
    {
        Session s;
        addPatient(*s.db(), "A1", "Petrov");
        QVERIFY(s.start());
        withModalDialog([&] { s.action("actionNewPatient")->trigger(); },
            [](QWidget *dialog) {
                auto *patientDialog = qobject_cast<PatientDialog *>(dialog);
                QVERIFY(patientDialog && patientDialog->isNew());
                for (const auto &field : { qMakePair(QString("PatientID"), QString("B7")),
                         qMakePair(QString("LastName"), QString::fromUtf8("Орлова")) })
                    qobject_cast<QLineEdit *>(
                        patientDialog->form()->getWidgetInfo(field.first).view->getEditor())
                        ->setText(field.second);
                QCoreApplication::processEvents();
                dialog->findChild<QPushButton *>("positive")->click();
            });
        QTRY_COMPARE(s.patients()->getRows().size(), 2);
        QVERIFY(s.window.currentPatient());
        QCOMPARE(s.window.currentPatient()->getPatientID(), QString("B7"));
        QCOMPARE(s.settings()->getLastPatientId(), s.window.currentPatient()->getId());
        QCOMPARE(s.card()->editor()->getSettings(), s.window.currentPatient());
    }

    void removePatientBlocksClosingForTwoSeconds()
    {
        Session s;
        const int id = addPatient(*s.db(), "A1", "Petrov", "Ivan");
        QVERIFY(s.start());
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 0)));

        MessageBox::setNextAnswer(MessageBox::No);
        emit s.patients()->removeRow(id);
        QVERIFY(s.db()->patientById(id) && !s.window.isCloseBlocked());
        MessageBox::setNextAnswer(MessageBox::Yes);
        emit s.patients()->removeRow(id);
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).title, QString("Remove patient"));
        QCOMPARE(shown.at(1).text, QString("Remove patient 'Petrov Ivan' with all records?"));
        QVERIFY(!s.db()->patientById(id));
        QTRY_VERIFY(s.patients()->getRows().isEmpty());
        QVERIFY(!s.window.currentPatient());

        Clock::advance(1999);
        QTest::ignoreMessage(QtDebugMsg, "CLOSE true");
        QVERIFY(!s.window.close() && s.window.isVisible());
        Clock::advance(1);
        QTest::ignoreMessage(QtDebugMsg, "CLOSE false");
        QVERIFY(s.window.close() && !s.window.isVisible());
        // The exchange has stopped with the window.
        QVERIFY(!s.find<OrvalisExchange>());
    }

    void removeRecordWhoseFileIsMissing()
    {
        Session s;
        s.settings()->setLastPatientId(addPatient(*s.db(), "A1", "Petrov"));
        Patient *patient = s.db()->patientByPatientId("A1");
        const int id = addRecord(s.db(), patient, "EEG_2024_03_05_142530\\gone.edf", false);
        QVERIFY(id > 0 && s.start());
        QVERIFY(s.records()->recordById(id));

        MessageBox::setNextAnswer(MessageBox::Yes);
        emit s.records()->removeRow(id);
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).title, QString("Remove"));
        const QString path
            = DataLocations::recordingPath(patient->folderName(), "EEG_2024_03_05_142530\\gone.edf");
        QCOMPARE(shown.at(0).text, "Remove record:\n" + QDir::toNativeSeparators(path) + "?");
        QCOMPARE(rawValue(*s.db(), "SELECT COUNT(*) FROM Records").toInt(), 0);
        QTRY_VERIFY(s.records()->getRows().isEmpty());
    }

    void editRecordStoresTheChangedColumnsOnly()
    {
        Session s;
        s.settings()->setLastPatientId(addPatient(*s.db(), "A1", "Petrov"));
        const int id = addRecord(s.db(), s.db()->patientByPatientId("A1"), "EEG_1\\a.edf", false);
        QVERIFY(id > 0 && s.start());

        QStringList statements;
        withModalDialog([&] { statements = statementsOf([&] { emit s.records()->editRow(id); }); },
            [](QWidget *dialog) {
                QCOMPARE(dialog->windowTitle(), QString("Edit record"));
                auto *form = dialog->findChild<BasePropertyListWidget *>();
                QWidget *editor = form->getWidgetInfo("Comments").view->getEditor();
                auto *comments = qobject_cast<QLineEdit *>(editor);
                QVERIFY(comments);
                comments->setText("Eyes closed");
                // Typed text is written when the events that follow the typing have run.
                QCoreApplication::processEvents();
                dialog->findChild<QPushButton *>("positive")->click();
            });
        QStringList updates = statements.filter("UPDATE");
        QCOMPARE(updates.size(), 1);
        QVERIFY2(updates.at(0).contains("Comments"), qPrintable(updates.at(0)));
        QCOMPARE(rawValue(*s.db(), "SELECT Comments FROM Records").toString(), QString("Eyes closed"));
        QTRY_COMPARE(s.records()->recordById(id)->getComments(), QString("Eyes closed"));

        // Cancelled: nothing written.
        withModalDialog([&] { statements = statementsOf([&] { emit s.records()->editRow(id); }); },
            [](QWidget *dialog) { dialog->findChild<QPushButton *>("cancel")->click(); });
        QVERIFY(statements.filter("UPDATE").isEmpty());
        QTest::ignoreMessage(QtDebugMsg, "NO REC 4711");
        emit s.records()->editRow(4711);
    }

    void recorderCommandsStartNothingWithoutAFile()
    {
        Session s;
        s.settings()->setLastPatientId(addPatient(*s.db(), "A1", "Petrov"));
        Patient *patient = s.db()->patientByPatientId("A1");
        const int missing = addRecord(s.db(), patient, "EEG_1\\gone.edf", false);
        const int present = addRecord(s.db(), patient, "EEG_2\\here.edf", true);
        QVERIFY(s.start());

        // No recorder lies beside the test: a launch that happens ends in the warning.
        MessageBox::setNextAnswer(MessageBox::Ok);
        emit s.records()->customAction("play", missing);
        emit s.records()->customAction("unknown", present);
        QVERIFY(MessageBox::takeShown().isEmpty());
        emit s.records()->customAction("play", present);
        QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.at(0).text.startsWith("No recorder is installed."));

        FileDialog::setNextFileName(QString());
        s.action("actionOpenRecord")->trigger();
        QVERIFY(MessageBox::takeShown().isEmpty());
        const QList<FileDialog::Asked> asked = FileDialog::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).caption, QString("Open file"));
        QCOMPARE(asked.at(0).folder, DataLocations::dataFolder());
        QCOMPARE(asked.at(0).filter, QString("EDF (*.edf)"));
    }

    void viewMenusOfferTheHeaderMenus()
    {
        Session s;
        QVERIFY(s.start());
        for (const auto &pair :
            { qMakePair(QString("menuPatientsTable"), static_cast<TableWidget *>(s.patients())),
                qMakePair(QString("menuRecordsTable"), static_cast<TableWidget *>(s.records())) }) {
            auto *menu = s.find<QMenu>(pair.first);
            emit menu->aboutToShow();
            QMenu header;
            pair.second->fillColumnMenu(&header);
            QStringList offered, expected;
            for (QAction *action : menu->actions())
                offered << action->text() + (action->isChecked() ? "*" : "");
            for (QAction *action : header.actions())
                expected << action->text() + (action->isChecked() ? "*" : "");
            QVERIFY(!expected.isEmpty());
            QCOMPARE(offered, expected);
        }
    }

    void stepsAsideWhileTheRecorderRuns()
    {
        Session s;
        QVERIFY(s.start());
        auto *exchange = s.find<OrvalisExchange>();
        for (bool maximized : { true, false }) {
            if (maximized)
                s.window.showMaximized();
            else
                s.window.showNormal();
            emit exchange->orvalisIsRunning(true);
            QTRY_VERIFY(!s.window.isVisible());
            QCOMPARE(s.window.windowType(), Qt::ToolTip);
            emit exchange->orvalisIsRunning(false);
            QTRY_VERIFY(s.window.isVisible());
            QCOMPARE(s.window.windowType(), Qt::Window);
            QCOMPARE(s.window.isMaximized(), maximized);
        }
        // Back as the program's window: without the attribute, closing any box would count as
        // closing the last window and end the program (seen after an examination).
        QVERIFY(s.window.testAttribute(Qt::WA_QuitOnClose));
    }

    void newVersionPromptOpensOnlyWebAddresses()
    {
        Session s;
        QVERIFY(s.start());
        QDesktopServices::setUrlHandler("https", this, "openUrl");
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        const auto offer = [](const QString &link, bool valid = true) {
            VersionInfo info;
            info.valid = valid;
            info.version = "2.0.1";
            info.link = link;
            emit VersionChecker::Instance()->versionFound(info);
        };
        offer("https://kesta.invalid/get", false);
        MessageBox::setNextAnswer(MessageBox::No);
        offer("https://kesta.invalid/get");
        QTRY_COMPARE(MessageBox::pendingAnswers(), 0);
        QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).title, QString("New version"));
        QCOMPARE(shown.at(0).text,
            "We recommend to upgrade to version 2.0.1\nCurrent version " + AppHelper::appVersion(true)
                + " is outdated.\n\nWould you like to upgrade now?");

        // Accepted: a local file is not opened and the program goes on.
        MessageBox::setNextAnswer(MessageBox::Yes);
        MessageBox::setNextAnswer(MessageBox::Ok);
        offer("file:///etc/passwd");
        QTRY_COMPARE(MessageBox::pendingAnswers(), 0);
        shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(1).text, QString("The download address was not opened:\nfile:///etc/passwd"));

        // A web address is opened and the program ends for the upgrade.
        MessageBox::setNextAnswer(MessageBox::Yes);
        QEventLoop loop;
        bool quit = true;
        QTimer::singleShot(5000, &loop, [&] {
            quit = false;
            loop.quit();
        });
        offer("https://kesta.invalid/get");
        loop.exec();
        QVERIFY(quit);
        QCOMPARE(opened, QList<QUrl> { QUrl("https://kesta.invalid/get") });
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("file");
    }

    void russianThroughout()
    {
        LanguageContext::setLanguage("ru_RU");
        Session s;
        QVERIFY(s.start());
        AboutBox about(s.settings());
        LanguageContext::setLanguage("en_US");
        QStringList texts { s.find<QPushButton>("actionButton")->text(), about.windowTitle() };
        for (const char *name : { "menuFile", "menuView", "menuPatientCardView" }) {
            auto *menu = s.find<QMenu>(name);
            QVERIFY2(menu, name);
            texts << menu->title();
            for (QAction *action : menu->actions())
                texts << action->text();
        }
        for (QLabel *label : about.findChildren<QLabel *>())
            if (!label->buddy() && label->text().endsWith(':'))
                texts << label->text();
        const QRegularExpression cyrillic("[\\x{0400}-\\x{04FF}]");
        for (const QString &text : texts)
            QVERIFY2(text.isEmpty() || text.contains(cyrillic), qPrintable(text));
        QVERIFY(texts.contains(QString::fromUtf8("Отображение карточки пациента")));
    }

    void aboutBoxNamesWhereTheDataLive()
    {
        VersionChecker::StartChecking(false, 600);
        KestaModel model;
        AboutBox box(model.settings());
        QCOMPARE(box.windowTitle(), QString("About app"));
        const struct {
            const char *fact;
            QString value;
        } facts[] = {
            { "version", AppHelper::appVersion(true) },
            { "qt", qVersion() },
            { "databaseFile", QDir::toNativeSeparators(DataLocations::databaseFile()) },
            { "settingsFile", QDir::toNativeSeparators(QDir::current().absoluteFilePath("Settings.xml")) },
        };
        for (const auto &fact : facts) {
            QLabel *label = box.fact(fact.fact);
            QVERIFY2(label, fact.fact);
            QCOMPARE(label->text(), fact.value);
            QVERIFY(label->textInteractionFlags() & Qt::TextSelectableByMouse);
        }
        QVERIFY(box.fact("dataFolder")->text().startsWith(QDir::toNativeSeparators(QDir::homePath())));
        QVERIFY(AboutBox::webAddress().contains(".invalid"));
        QVERIFY(box.findChild<QLabel *>("aboutLink")->text().contains(AboutBox::webAddress()));
        QCOMPARE(box.findChild<QLabel *>("aboutMaker")->text(), QString("<b>Talvena</b>"));
        // No update offered: the download button stays hidden.
        QVERIFY(!box.findChild<NewVersionButton *>()->button()->isVisibleTo(&box));
    }
};

KESTA_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
