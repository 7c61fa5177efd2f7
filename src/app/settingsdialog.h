#pragma once

#include <QDialog>
#include <QHash>
#include <QVariant>

class KestaSettings;
class QLabel;
class QPushButton;

// The settings dialog: every visible application setting in one list, written as it is
// changed, and a Close button. The language, the data folder and the server are taken at
// start-up only, so a change of them is answered with a note that names what comes with
// the next start. A data folder that cannot be one is refused with a box.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(KestaSettings *settings, QWidget *parent = nullptr);

    // Shown while a setting taken at start-up differs from the one in use.
    QLabel *restartNote() const { return note; }
    // What "Test connection" found, with the settings shown.
    QLabel *connectionTested() const { return tested; }

private:
    void noteNextStart();
    void checkDataFolder();
    void testConnection();

    KestaSettings *settings;
    QLabel *note;
    QLabel *tested = nullptr;
    QPushButton *testButton = nullptr;
    // The start-up settings as the dialog found them, by name.
    QHash<QString, QVariant> atStart;
    QString acceptedDataFolder;
};
