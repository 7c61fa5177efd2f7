#pragma once

#include <QList>
#include <QObject>

class PatientEditor;
class PatientsListWidget;
class QWidget;
class TableWidget;

// The main window's way through by Tab: the search field, the patients, "New examination",
// the card's tabs, the records, and round again; Shift+Tab goes back. Whatever is hidden or
// disabled is passed over, and no part keeps Tab to itself (the grids' cells, the card's
// inner fields). Down or Enter in the search field goes into the list; a list entered
// by the keyboard with no row selected selects its first, or no key could reach a
// list's only row.
class KeyboardPaths : public QObject
{
    Q_OBJECT
public:
    KeyboardPaths(PatientsListWidget *patients, QWidget *newExamination, PatientEditor *card,
        TableWidget *records, QObject *parent = nullptr);

    // The stops in their order as they are now: the card's tab bar only while it is shown.
    QList<QWidget *> stops() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followCard();
    void moveFocus(QWidget *from, bool forward);
    void enterList();
    void selectFirstRow(TableWidget *table);

    PatientsListWidget *patients;
    QWidget *newExamination;
    PatientEditor *card;
    TableWidget *records;
    bool cardCheckPending = false;
};
