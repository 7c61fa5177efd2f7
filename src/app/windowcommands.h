#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>

class KestaSettings;
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QWidget;
class TableWidget;

// The main window's menu bar. Where every entry sits (menu, group, shortcut, the object
// that makes and answers it) is one table, windowcommands.cpp's `Placements`: a new entry
// is a row there and an action handed to provide(). The window's own commands are made
// here and connected by the window; the View menu's column menus are the tables' own, and
// the card view entries follow the setting. Mnemonics are chosen once the menus are
// filled, in the language in use.
class WindowCommands : public QObject
{
    Q_OBJECT
public:
    enum Command {
        OpenRecord,
        NewPatient,
        EditPatient,
        RemovePatient,
        NewExamination,
        ReloadDatabase,
        Settings,
        About,
        Quit
    };
    // Set (true) on a menu's caption entries ("By name:"), which take no mnemonic.
    static const char *const HeadingProperty;

    // Makes the menus and the window's own commands. Without settings there is no card
    // view choice.
    WindowCommands(
        QMainWindow *window, TableWidget *patientsTable, TableWidget *recordsTable, KestaSettings *settings);

    QAction *action(Command command) const { return actions.value(command); }
    // The commands on the selected patient are offered only while there is one.
    void setPatientSelected(bool selected);

    // An entry another object makes, by its object name, which the table must list; a
    // null action (an entry this workstation does not offer) is left out.
    void provide(QAction *action);
    // Puts every entry the table lists and that exists into its menu, in the table's
    // order with a separator between groups, and chooses the mnemonics.
    void place();

    // Gives every entry of menu (a menu or a menu bar) a mnemonic: the translator's one
    // where no other entry asks for it, otherwise the first free letter of its text, the
    // entries with the fewest free letters choosing first.
    static void addMnemonics(QWidget *menu);

private:
    void makeCommand(Command command, const QString &name, const QString &caption, const QString &icon);
    QMenu *addColumnMenu(const QString &name, const QString &caption, TableWidget *table);
    QMenu *makeCardViewMenu(KestaSettings *settings);
    void checkCardView(int view);

    QMainWindow *window;
    QHash<int, QAction *> actions;
    // Every entry that can be placed, by object name.
    QHash<QString, QAction *> entries;
    QHash<QString, QMenu *> menus;
    QActionGroup *cardViews = nullptr;
};
