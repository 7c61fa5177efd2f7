#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

// Process, dialog and version helpers. Texts shown to the user are translated in the
// context "Generic".
class AppHelper
{
public:
    // The application version, "3.0.0" when none is set; four parts lose the last one, and
    // without `full` three parts lose the last one too (1.2.3.4 -> 1.2.3 or 1.2).
    static QString appVersion(bool full);

    // Platform family ("windows", "linux", "macos", ...), computed once.
    static QString OS();
    static QString OSName();
    static QString OSVersion();

    // A modal yes/no box, kept on top. `buttons` may replace the two captions. True exactly
    // when "yes" was chosen.
    static bool confirmDialog(const QString &title, const QString &text,
        QMessageBox::Icon icon = QMessageBox::Question, const QStringList &buttons = {});
    // A modal box with an OK button, kept on top. Text first, then title.
    static void warningMessage(
        const QString &text, const QString &title = QString(), QMessageBox::Icon icon = QMessageBox::Warning);

    // Shows a file selected in its folder, or a folder, in the desktop's file manager.
    static void showInFolder(const QString &path);

    // Image names of all running processes.
    static QStringList getRunningApps();
    // ProcessTable::findRunning.
    static QStringList findRunningApps(const QStringList &names);
    // Forcibly ends the processes with this image name; surrounding double quotes are allowed.
    static void closeApp(const QString &name);
    // When one of `names` runs, looks again for `rounds` rounds (letting events run up to a
    // second each), then warns "Cannot start because ..." if any still runs and returns true.
    // It ends no process.
    static bool checkAndCloseIfAppsRunning(const QStringList &names, int rounds);

    // Test seam: while answers are queued, confirmDialog and warningMessage build their box
    // but, instead of showing it, take the next answer (true: "yes"/OK, false: "no"/closed) and record what the box held.
    struct ShownMessage {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };
    static void setNextAnswer(bool accept);
    static int pendingAnswers();
    // The boxes answered through the seam since the last call, oldest first.
    static QList<ShownMessage> takeShownMessages();
    // Drops queued answers and recorded boxes.
    static void resetAnswers();
};
