#include "app/keyboardpaths.h"
#include "app/patienteditor.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "tabletesting.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

using namespace tabletest;

namespace
{

// Where the focus goes on each of `steps` presses of key.
QList<QWidget *> walk(Qt::Key key, int steps)
{
    QList<QWidget *> visited;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(
            QApplication::focusWidget(), key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        visited << QApplication::focusWidget();
    }
    return visited;
}

} // namespace

// The parts of the main window in a window of their own: the way through them by Tab, and the
// keys on table rows.
class TestKeyboardPaths : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    Patients p;

    Database *db() const { return model->database(); }

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        QVERIFY(p.add(*db()));
    }
    void cleanup() { model.reset(); }

    void tabGoesRoundThePartsInOrder()
    {
        // Built in another order than the path, as the window's panes are.
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *records = new RecordsTable(nullptr);
        auto *card = new PatientEditor;
        auto *examination = new QPushButton("New examination");
        auto *patients = new PatientsListWidget(nullptr);
        for (QWidget *part : { static_cast<QWidget *>(records), static_cast<QWidget *>(examination),
                 static_cast<QWidget *>(card), static_cast<QWidget *>(patients) })
            layout->addWidget(part);
        KeyboardPaths paths(patients, examination, card, records);
        patients->setPatients(db()->patients());
        card->setTabbed(true);
        card->setObject(db()->patientById(p.petrov));
        window.resize(1400, 500);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTabBar *cardTabs = card->findChild<QTabBar *>();
        QTRY_VERIFY(cardTabs && cardTabs->isVisible());

        QLineEdit *search = patients->searchField();
        search->setFocus();
        const QList<QWidget *> forward { patients->grid(), examination, cardTabs, records->grid(), search };
        QCOMPARE(walk(Qt::Key_Tab, 5), forward);
        QCOMPARE(walk(Qt::Key_Backtab, 5),
            QList<QWidget *>({ records->grid(), cardTabs, examination, patients->grid(), search }));

        // No patient: no button; the card as a list has nothing to stop at.
        examination->hide();
        card->setTabbed(false);
        QCoreApplication::processEvents(); // the card is looked at again once rebuilt
        QCOMPARE(walk(Qt::Key_Tab, 3), QList<QWidget *>({ patients->grid(), records->grid(), search }));

        // Down or Enter goes from the search into the list, onto its first row.
        search->setText("orl");
        QTest::keyClick(search, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), patients->grid());
        QCOMPARE(patients->getSelectedId(), p.orlov);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), patients->grid());

        // So does Tab into the records: a patient's only recording can be reached.
        Patient *petrov = db()->patientById(p.petrov);
        const int record
            = db()->insertRecord(petrov, QDateTime(QDate(2024, 3, 5), QTime(9, 0)), "a.edf", "EEG", "");
        records->setPatient(petrov);
        QTest::keyClick(patients->grid(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), records->grid());
        QCOMPARE(records->getSelectedId(), record);
    }

    // As a double click does, and the row menu for the rest; nothing without a selected row.
    void keysOnRows()
    {
        PatientsListWidget patients(nullptr);
        patients.setPatients(db()->patients());
        QVERIFY(showTable(&patients));
        QSignalSpy edits(&patients, &TableWidget::editRow);
        QSignalSpy removals(&patients, &TableWidget::removeRow);
        QTableView *grid = patients.grid();
        QTest::keyClick(grid, Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Delete);
        QVERIFY(edits.isEmpty() && removals.isEmpty());

        patients.setSelectedId(p.orlov, true);
        QTest::keyClick(grid, Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClick(grid, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(edits.size(), 4);
        QCOMPARE(removals.size(), 1);
        QCOMPARE(removals.at(0).at(0).toInt(), p.orlov);

        QTest::keyClick(grid, Qt::Key_Space);
        QMenu *menu = patients.findChild<QMenu *>("rowMenu");
        QTRY_VERIFY(menu && menu->isVisible());
        menu->close();
        delete menu;

        // The system's menu for the menu key opens at the row, not at the mouse pointer.
        QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(3000, 3000));
        QApplication::sendEvent(grid, &fromKey);
        menu = patients.findChild<QMenu *>("rowMenu");
        QVERIFY(menu && menu->isVisible());
        const QRect row = grid->visualRect(grid->selectionModel()->selectedRows().value(0));
        QCOMPARE(menu->pos().y(), grid->viewport()->mapToGlobal(row.bottomLeft()).y());
        menu->close();

        // On a recording, Enter opens it.
        Patient *petrov = db()->patientById(p.petrov);
        const int record = db()->insertRecord(
            petrov, QDateTime(QDate(2024, 3, 5), QTime(9, 0)), "EEG_1\\a.edf", "EEG", "");
        QVERIFY(record > 0);
        RecordsTable records(nullptr);
        records.setPatient(petrov);
        records.setSelectedId(record, true);
        QSignalSpy actions(&records, &TableWidget::customAction);
        QTest::keyClick(records.grid(), Qt::Key_Return);
        QCOMPARE(actions.value(0), QVariantList({ "play", record }));
    }
};

KESTA_TEST_MAIN(TestKeyboardPaths)
#include "tst_keyboardpaths.moc"
