#pragma once

#include <QObject>
#include <functional>

class Database;
class Patient;
class QAction;
class QWidget;

// "History…" on the patient card: the patient's changes in a dialog.
class HistoryCommands : public QObject
{
    Q_OBJECT
public:
    HistoryCommands(Database *database, QWidget *window);

    // Offers "History…" in the widget's context menu for the patient that
    // `current` gives (none: the entry is off).
    void offerOn(QWidget *card, std::function<Patient *()> current);
    QAction *historyAction() const { return action; }
    void showHistory(Patient *patient);

private:
    Database *database;
    QWidget *window;
    QAction *action;
    std::function<Patient *()> currentPatient;
};
