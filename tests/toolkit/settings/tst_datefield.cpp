#include "db/rows/patient.h"
#include "editorprobe.h"
#include "support/testenvironment.h"
#include "toolkit/settings/datefield.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/util/clock.h"

#include <QtWidgets>

using namespace editortest;

// A patient's birth date typed into its form as a user types it, on 1 June 2024.
class DateFieldTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Patient> patient;
    std::unique_ptr<PropertyListControl> form;
    DateField *dob = nullptr;

private slots:
    void init()
    {
        // Typed and shown as a Russian clinic does; English at the end of the stepping test.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        Clock::setTestTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
        patient = std::make_unique<Patient>();
        form = std::make_unique<PropertyListControl>(
            patient.get(), "1.PatientMain", PropertyListControl::OneCategory);
        QVERIFY(activated(form.get()));
        dob = editorOf<DateField>(*form, "DOB");
        QCOMPARE(QApplication::focusWidget(), dob); // the first row
    }
    void cleanup()
    {
        form.reset();
        patient.reset();
        Clock::useSystemTime();
    }

    void typedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QDate>("stored"); // invalid: nothing, or nothing new
        QTest::addColumn<bool>("impossible");
        const QDate april12(1978, 4, 12);
        QTest::newRow("digits") << "12041978"
                                << "12.04.1978" << april12 << false;
        QTest::newRow("dots") << "12.04.1978"
                              << "12.04.1978" << april12 << false;
        QTest::newRow("slashes") << "12/04/1978"
                                 << "12.04.1978" << april12 << false;
        QTest::newRow("year first") << "1978-04-12"
                                    << "12.04.1978" << april12 << false;
        QTest::newRow("single digits") << "1.4.1978"
                                       << "01.04.1978" << QDate(1978, 4, 1) << false;
        QTest::newRow("two-digit year, last century") << "120478"
                                                      << "12.04.1978" << april12 << false;
        QTest::newRow("two-digit year, this one") << "12.04.24"
                                                  << "12.04.2024" << QDate(2024, 4, 12) << false;
        QTest::newRow("letters refused") << "12a04b1978"
                                         << "12.04.1978" << april12 << false;
        QTest::newRow("no 31 February") << "31.02.1978"
                                        << "31.02.1978" << QDate() << true;
        QTest::newRow("born tomorrow") << "02.06.2024"
                                       << "02.06.2024" << QDate() << true;
        QTest::newRow("half a date") << "12.04"
                                     << "12.04" << QDate() << true;
    }
    void typedDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QDate, stored);
        QFETCH(bool, impossible);
        QTest::keyClicks(dob, typed);
        // Tab takes the date and moves on: what is typed next lands in the next field.
        QTest::keyClick(dob, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "Ivan");
        QCOMPARE(dob->text(), shown);
        QCOMPARE(patient->getDOB(), stored);
        QCOMPARE(dob->isImpossible(), impossible);
        QCOMPARE(dob->property("impossible").toBool(), impossible); // what the style sheet paints red
        QCoreApplication::processEvents(); // text fields write through the event queue
        QCOMPARE(patient->getFirstName(), QString("Ivan"));
    }

    // A stored date: typed digits replace it, Delete empties it, an impossible date keeps it.
    void storedDateIsReplacedClearedOrKept()
    {
        patient->setDOB(QDate(1980, 5, 17));
        QCOMPARE(dob->text(), QString("17.05.1980"));
        dob->selectAll(); // as Tab into the field does
        QTest::keyClicks(dob, "01021990");
        QTest::keyClick(dob, Qt::Key_Return);
        QCOMPARE(patient->getDOB(), QDate(1990, 2, 1));

        dob->selectAll();
        QTest::keyClicks(dob, "30021990");
        QTest::keyClick(dob, Qt::Key_Return);
        QVERIFY(dob->isImpossible());
        QCOMPARE(patient->getDOB(), QDate(1990, 2, 1));

        for (Qt::Key key : { Qt::Key_Delete, Qt::Key_Backspace }) {
            patient->setDOB(QDate(1980, 5, 17));
            QVERIFY(!dob->isImpossible());
            dob->selectAll();
            QTest::keyClick(dob, key);
            QTest::keyClick(dob, Qt::Key_Return);
            QVERIFY(!patient->getDOB().isValid());
            QCOMPARE(dob->text(), QString());
        }

        // Up and Down step the part under the cursor.
        patient->setDOB(QDate(1980, 5, 17));
        dob->setCursorPosition(7);
        QTest::keyClick(dob, Qt::Key_Up);
        QCOMPARE(patient->getDOB(), QDate(1981, 5, 17));
        dob->setCursorPosition(0);
        QTest::keyClick(dob, Qt::Key_Down);
        QCOMPARE(patient->getDOB(), QDate(1981, 5, 16));

        // English shows it year first, and the parts step where they stand there.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        patient->setDOB(QDate(1980, 5, 17));
        QCOMPARE(dob->text(), QString("1980-05-17"));
        dob->setCursorPosition(9);
        QTest::keyClick(dob, Qt::Key_Up);
        dob->setCursorPosition(6);
        QTest::keyClick(dob, Qt::Key_Up);
        QCOMPARE(patient->getDOB(), QDate(1980, 6, 18));
        QCOMPARE(dob->text(), QString("1980-06-18"));
    }

    // The calendar opens on the date, near a typed year, or thirty years back; Enter picks.
    void calendarOpensNearTheBirthDate()
    {
        const auto open = [this] {
            QTest::keyClick(dob, Qt::Key_Down, Qt::AltModifier);
            QCalendarWidget *calendar = dob->calendar();
            return calendar && calendar->isVisible() ? calendar->selectedDate() : QDate();
        };
        QCOMPARE(open(), QDate(1994, 6, 1));
        QTest::keyClick(dob->calendar(), Qt::Key_Escape);
        QVERIFY(!dob->calendar()->isVisible() && !patient->getDOB().isValid());

        QTest::keyClicks(dob, "03.1961");
        QCOMPARE(open(), QDate(1961, 3, 1));
        QTest::keyClick(dob->calendar(), Qt::Key_Escape);
        dob->clear();
        QTest::keyClicks(dob, "17.5.1980");
        QCOMPARE(open(), QDate(1980, 5, 17));
        QTest::keyClick(dob->calendar()->findChild<QTableView *>(), Qt::Key_Right);
        QTest::keyClick(dob->calendar()->findChild<QTableView *>(), Qt::Key_Return);
        QCOMPARE(patient->getDOB(), QDate(1980, 5, 18));
        QCOMPARE(dob->text(), QString("18.05.1980"));
        QCOMPARE(QApplication::focusWidget(), dob);
    }

    void dateTimesAndTheCard()
    {
        const QDate today(2024, 6, 1);
        const DateField::Parsed parsed = DateField::parse("05.03.2024 14:25", true, false, today);
        QCOMPARE(parsed.value, QDateTime(QDate(2024, 3, 5), QTime(14, 25)));
        QCOMPARE(DateField::parse("05.03.2024 25:00", true, false, today).entry, DateField::Impossible);
        QCOMPARE(DateField::parse("05.03.2024 14:25", false, false, today).entry, DateField::Impossible);
        QCOMPARE(DateField::parse("   ", false, true, today).entry, DateField::Blank);

        // On the read-only card the date is text, with no calendar to open.
        patient->setDOB(QDate(1980, 5, 17));
        form->setEditorsEnabled(false);
        QVERIFY(!dob->calendarAction()->isVisible());
        QTest::keyClick(dob, Qt::Key_F4);
        QVERIFY(!dob->calendar());
    }
};

KESTA_TEST_MAIN(DateFieldTest)
#include "tst_datefield.moc"
