#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/windowcommands.h"
#include "db/model/kestasettings.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>

namespace
{

// Entries of these actions without a mnemonic, or with one another entry has, each named.
QStringList mnemonicProblems(const QList<QAction *> &actions)
{
    QStringList problems;
    QStringList used;
    for (const QAction *action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        const int at = action->text().indexOf('&');
        const QString letter = at >= 0 ? action->text().mid(at + 1, 1).toLower() : QString();
        if (letter.isEmpty() || !letter.at(0).isLetter())
            problems << "no mnemonic: " + action->text();
        else if (used.contains(letter))
            problems << "mnemonic taken twice: " + action->text();
        used << letter;
    }
    return problems;
}

} // namespace

// The main window's menu bar on a window of its own.
class TestWindowCommands : public QObject
{
    Q_OBJECT

    KestaSettings settings { QString() };
    PatientsListWidget patients { nullptr };
    RecordsTable records { nullptr };

private slots:
    void mnemonicsInBothLanguages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en_US";
        QTest::newRow("Russian") << "ru_RU";
    }
    void mnemonicsInBothLanguages()
    {
        QFETCH(QString, language);
        std::vector<std::unique_ptr<QTranslator>> translators;
        for (const char *catalogue : { "workstation", "settings", "tables", "db" }) {
            translators.push_back(std::make_unique<QTranslator>());
            QVERIFY(translators.back()->load(QString(":/translations/%1_%2.qm").arg(catalogue, language)));
            QCoreApplication::installTranslator(translators.back().get());
        }
        QMainWindow window;
        WindowCommands commands(&window, &patients, &records, &settings);
        QStringList problems = mnemonicProblems(window.menuBar()->actions());
        for (QMenu *menu : window.menuBar()->findChildren<QMenu *>()) {
            emit menu->aboutToShow(); // the column menus fill as they open
            QList<QAction *> entries = menu->actions();
            // The column menus' captions ("By name:") are not entries.
            entries.erase(
                std::remove_if(entries.begin(), entries.end(),
                    [menu](QAction *a) { return menu->objectName().endsWith("Table") && !a->isEnabled(); }),
                entries.end());
            problems << mnemonicProblems(entries);
        }
        // The window adds the data-care entries, and on a server the copy onto it.
        for (const char *catalogue : { "care", "server" }) {
            translators.push_back(std::make_unique<QTranslator>());
            QVERIFY(translators.back()->load(QString(":/translations/%1_%2.qm").arg(catalogue, language)));
            QCoreApplication::installTranslator(translators.back().get());
        }
        QMenu file;
        const QList<QAction *> commandEntries
            = commands.action(WindowCommands::OpenRecord)->associatedWidgets().value(0)->actions();
        for (QAction *entry : commandEntries)
            file.addAction(entry->text());
        for (const auto &entry : QList<QPair<const char *, const char *>> {
                 { "DatabaseCopyCommand", "Copy local database to server" },
                 { "RemovalCommands", "Recently removed..." }, { "BackupCommands", "Back up..." },
                 { "BackupCommands", "Restore..." }, { "ExportCommands", "Export patient list..." } })
            file.addAction(QCoreApplication::translate(entry.first, entry.second));
        WindowCommands::addMnemonics(&file);
        problems << mnemonicProblems(file.actions());
        QCOMPARE(problems, QStringList());
        if (language == "ru_RU")
            QCOMPARE(commands.action(WindowCommands::NewExamination)->text(), QString("Новое о&бследование"));
    }

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
