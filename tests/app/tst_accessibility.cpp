#include "app/mainwindow.h"
#include "app/patientdialog.h"
#include "app/removalcommands.h"
#include "app/settingsdialog.h"
#include "app/startup.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/tracepreview.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/storage/database.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/datefield.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/messagebox.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <functional>

using namespace kestatest;

namespace
{

// Every control the keyboard can reach and the user can see, with no name for a screen
// reader to say. Table cells read their visible text and are checked on their own.
QStringList unnamedControls(QWidget *root)
{
    QStringList unnamed;
    const std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *node, int depth) {
        if (!node || depth > 50 || node->role() == QAccessible::Cell)
            return;
        const QAccessible::State state = node->state();
        if (state.focusable && !state.invisible && !state.disabled
            && node->text(QAccessible::Name).trimmed().isEmpty()) {
            QObject *object = node->object();
            unnamed << QString("%1 %2").arg(object ? object->metaObject()->className() : "?",
                           object ? object->objectName() : QString());
        }
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i), depth + 1);
    };
    walk(QAccessible::queryAccessibleInterface(root), 0);
    return unnamed;
}

QString cellName(QTableView *grid, int row, int column)
{
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    QAccessibleInterface *cell = table ? table->cellAt(row, column) : nullptr;
    return cell ? cell->text(QAccessible::Name) : QString();
}

QString nameOf(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

void inModalWidget(const std::function<void()> &action, const std::function<void(QWidget *)> &work)
{
    QTimer::singleShot(0, [work] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        work(modal);
        modal->close();
    });
    action();
}

} // namespace

#define VERIFY_ALL_NAMED(root)                                                                                 \
    do {                                                                                                       \
        const QStringList unnamed = unnamedControls(root);                                                     \
        QVERIFY2(unnamed.isEmpty(), qPrintable("no name: " + unnamed.join(", ")));                             \
    } while (false)

// What a screen reader finds in the window, the patient dialog, the settings and a removal
// box, in both languages, as it asks Qt's accessibility interfaces.
class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Startup::setApplicationVersion();
        StyleHelper::registerFontsAndStyles();
        LanguageContext::UseFilesInRootDir = false;
    }
    void init() { QVERIFY(resetDataFolder()); }
    void cleanup()
    {
        MessageBox::reset();
        LanguageContext::setLanguage("en_US");
    }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("said"); // female, a missing file, the card, a wrong date
        QTest::newRow("en_US") << "en_US"
                               << QStringList { "Female, Ivanova Anna", "File missing", "Patient card",
                                      "No such date" };
        QTest::newRow("ru_RU") << "ru_RU"
                               << QStringList { QString::fromUtf8("Женский, Ivanova Anna"),
                                      QString::fromUtf8("Файл отсутствует"), QString::fromUtf8("Карточка пациента"),
                                      QString::fromUtf8("Такой даты нет") };
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, said);
        QCOMPARE(LanguageContext::setLanguage(language), language);
        KestaModel model;
        model.settings()->setStartMaximized(false);
        model.settings()->setCheckForNewVersion(false);
        const int id = addPatient(*model.database(), "A1", "Ivanova", "Anna", Patient::Gender_Female);
        Patient *patient = model.database()->patientById(id);
        QVERIFY(model.database()->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)),
                    "EEG_1/gone.edf", "EEG", "")
            > 0);
        model.settings()->setLastPatientId(id);
        MainWindow window;
        window.resize(1500, 900);
        QVERIFY(window.initialize());
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The sex icon and the missing file's mark read as words before the row's text.
        auto *patients = window.findChild<PatientsListWidget *>();
        QCOMPARE(cellName(patients->grid(), 0, 0), said.at(0));
        auto *records = window.findChild<RecordsTable *>();
        QTRY_VERIFY(cellName(records->grid(), 0, 0).startsWith(said.at(1) + ", "));
        QCOMPARE(nameOf(window.findChild<QWidget *>("patientCard")), said.at(2));
        QVERIFY(!window.findChild<TracePreview *>()->accessibleDescription().isEmpty());
        VERIFY_ALL_NAMED(&window);

        {
            PatientDialog dialog(patient, model.database(), &window);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            VERIFY_ALL_NAMED(&dialog);
            // The red of an impossible date is also said.
            auto *born = dialog.findChild<DateField *>();
            born->setText("31.02.1990");
            emit born->editingFinished();
            QCOMPARE(QAccessible::queryAccessibleInterface(born)->text(QAccessible::Description), said.at(3));
        }
        {
            SettingsDialog dialog(model.settings(), &window);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            VERIFY_ALL_NAMED(&dialog);
        }

        // A box is read with its question, and the keyboard starts on its default button.
        auto *removals = window.findChild<RemovalCommands *>();
        inModalWidget([&] { removals->removePatient(id); },
            [&](QWidget *box) {
                QAccessibleInterface *read = QAccessible::queryAccessibleInterface(box);
                QCOMPARE(read->role(), QAccessible::AlertMessage);
                QVERIFY(!read->text(QAccessible::Name).isEmpty());
                QVERIFY(read->text(QAccessible::Description).contains("Ivanova"));
                QCOMPARE(box->focusWidget(), qobject_cast<QMessageBox *>(box)->defaultButton());
                VERIFY_ALL_NAMED(box);
            });
        QVERIFY(model.database()->patientById(id)); // the box was closed, not answered
    }
};

KESTA_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
