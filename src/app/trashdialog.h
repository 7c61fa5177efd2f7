#pragma once

#include "db/care/trash.h"

#include <QDialog>

class Database;
class QPushButton;
class QTableWidget;

// "Recently removed": what was removed, when, by whom and how much it holds on
// disk, newest first, with "Restore" and "Remove for good" (asked again, No
// by default) for the selected removal.
class TrashDialog : public QDialog
{
    Q_OBJECT
public:
    TrashDialog(Database *database, QWidget *parent = nullptr);

    QTableWidget *list() const { return table; }
    // Reads the removals again and shows them.
    void refresh();
    void restoreSelected();
    void removeSelectedForGood();

signals:
    // Folders of removals purged, for deletion off the GUI thread.
    void foldersToDelete(const QStringList &folders);
    // A removal was put back: the patient it was of, or the owner of its record.
    void restored(int patientAutoId);

private:
    const Trash::Removal *selected() const;
    void updateButtons();

    Database *database;
    QList<Trash::Removal> removals;
    QTableWidget *table;
    QPushButton *restoreButton;
    QPushButton *purgeButton;
};
