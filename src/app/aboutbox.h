#pragma once

#include <QDialog>

class KestaSettings;
class QLabel;

// The About box: who made the program and, for support staff, the facts they ask for
// first (program and Qt version, where the data, the database and the settings are),
// each selectable so that it can be copied into a message.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    // settings may be null; the settings file is then not named.
    explicit AboutBox(KestaSettings *settings, QWidget *parent = nullptr);

    // The web address compiled in by the build.
    static QString webAddress();
    // The value shown for a fact: "version", "qt", "dataFolder", "databaseFile", "settingsFile".
    QLabel *fact(const QString &name) const;
};
