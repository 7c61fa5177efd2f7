#pragma once

#include <QObject>

class QKeyEvent;
class TableWidget;

// The keyboard on a table's rows, as the mouse does it: Enter does what a double click does
// (edits a patient, opens a recording), Delete removes the row, F2 or Ctrl+E edits it, and
// Space, the menu key or Shift+F10 opens the row menu. With no row selected Delete does
// nothing, and the other keys are left to the window, where they mean the selected patient.
class RowKeys : public QObject
{
    Q_OBJECT
public:
    explicit RowKeys(TableWidget *table);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Key { None, Activate, Remove, Edit, Menu };
    static Key keyOf(const QKeyEvent *event);
    void showMenu();

    TableWidget *table;
};
