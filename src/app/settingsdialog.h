#pragma once

#include <QDialog>

class KestaSettings;
class QLabel;

// The settings dialog: every visible application setting in one list, written as it is
// changed, and a Close button. The language is taken at start-up only, so a language other
// than the one in use is answered with a note that it comes with the next start.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(KestaSettings *settings, QWidget *parent = nullptr);

    // Shown while the chosen language differs from the one in use.
    QLabel *restartNote() const { return note; }

private:
    void followLanguage();

    KestaSettings *settings;
    QLabel *note;
};
