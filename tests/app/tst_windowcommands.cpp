#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/windowcommands.h"
#include "db/model/kestasettings.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

// The main window's menu bar on a window of its own.
class TestWindowCommands : public QObject
{
    Q_OBJECT

    KestaSettings settings { QString() };
    PatientsListWidget patients { nullptr };
    RecordsTable records { nullptr };

private slots:
    // By key presses; the commands on the patient wait for one to be selected.
    void shortcutsAndMnemonicsTriggerTheirCommands()
    {
        QMainWindow window;
        WindowCommands commands(&window, &patients, &records, &settings);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QMap<WindowCommands::Command, int> triggered;
        for (int c = WindowCommands::OpenRecord; c <= WindowCommands::About; ++c) {
            const auto command = WindowCommands::Command(c);
            connect(commands.action(command), &QAction::triggered, this,
                [&triggered, command] { ++triggered[command]; });
        }
        const auto press = [&window](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(&window, key, modifiers);
        };
        const auto pressAll = [&] {
            press(Qt::Key_N, Qt::ControlModifier);
            press(Qt::Key_O, Qt::ControlModifier);
            press(Qt::Key_F5);
            press(Qt::Key_F2);
            press(Qt::Key_E, Qt::ControlModifier);
            press(Qt::Key_Delete);
            press(Qt::Key_Return, Qt::ControlModifier);
            press(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        };
        pressAll();
        QCOMPARE(triggered,
            (QMap<WindowCommands::Command, int> { { WindowCommands::NewPatient, 1 },
                { WindowCommands::OpenRecord, 1 }, { WindowCommands::ReloadDatabase, 1 } }));
        commands.setPatientSelected(true);
        pressAll();
        QCOMPARE(triggered,
            (QMap<WindowCommands::Command, int> { { WindowCommands::NewPatient, 2 },
                { WindowCommands::OpenRecord, 2 }, { WindowCommands::ReloadDatabase, 2 },
                { WindowCommands::EditPatient, 2 }, { WindowCommands::RemovePatient, 1 },
                { WindowCommands::NewExamination, 2 } }));

        // Alt+F opens the File menu; N there is a new patient.
        press(Qt::Key_F, Qt::AltModifier);
        auto *file = window.menuBar()->findChild<QMenu *>("menuFile");
        QTRY_VERIFY(file->isVisible());
        QTest::keyClick(file, Qt::Key_N);
        QCOMPARE(triggered.value(WindowCommands::NewPatient), 3);
    }
};

KESTA_TEST_MAIN(TestWindowCommands)
#include "tst_windowcommands.moc"
