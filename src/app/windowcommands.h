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
class TableWidget;

// The main window's menu bar: every command a menu entry with a mnemonic in both
// languages and, where hands stay on the keyboard, a shortcut (New patient Ctrl+N, Edit
// patient Ctrl+E or F2, Remove patient Delete, New examination Ctrl+Enter, Reload F5,
// Open record Ctrl+O). The window connects each entry to its command; the View menu's
// column menus are the tables' own, and the card view entries follow the setting.
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
        About
    };

    // Fills window's menu bar. Without settings there is no card view choice.
    WindowCommands(
        QMainWindow *window, TableWidget *patientsTable, TableWidget *recordsTable, KestaSettings *settings);

    QAction *action(Command command) const { return actions.value(command); }
    // The commands on the selected patient are offered only while there is one.
    void setPatientSelected(bool selected);

    // Gives every enabled entry of menu that has none a mnemonic: the first letter of its
    // text that no other entry uses yet, the entries with the fewest such letters first.
    static void addMnemonics(QMenu *menu);

private:
    void addCommand(QMenu *menu, Command command, const QString &name, const QString &caption,
        const QString &icon, const QList<QKeySequence> &keys = {});
    void addCardViewMenu(QMenu *view, KestaSettings *settings);
    void checkCardView(int view);

    QHash<int, QAction *> actions;
    QActionGroup *cardViews = nullptr;
};
