#pragma once

#include "toolkit/util/messagebox.h"

#include <QString>
#include <QStringList>
#include <functional>

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
    // when "yes" was chosen; a question whose "yes" destroys data makes No the default, so
    // that Return keeps it. Answered in tests through MessageBox's seam; defined with the
    // boxes, in the toolkit's widget library.
    static bool confirmDialog(const QString &title, const QString &text,
        MessageBox::Icon icon = MessageBox::Question, const QStringList &buttons = {},
        MessageBox::Button defaultButton = MessageBox::Yes);
    // A modal box with an OK button, kept on top. Text first, then title.
    static void warningMessage(
        const QString &text, const QString &title = QString(), MessageBox::Icon icon = MessageBox::Warning);

    // Shows a file selected in its folder, or a folder, in the desktop's file manager.
    // `failed` runs, perhaps later, when no file manager could be reached at all.
    static void showInFolder(const QString &path, const std::function<void()> &failed = {});
    // The caption of that command, as the platform names its file manager, translated.
    static QString showInFolderCaption();

    // Image names of all running processes.
    static QStringList getRunningApps();
    // Running processes whose image name matches one of `names`: the name with ".exe", with
    // "d.exe", and each of these without ".exe", compared case-insensitively. This program
    // itself never counts; another copy of it does.
    static QStringList findRunningApps(const QStringList &names);
    // Forcibly ends the processes with this image name; surrounding double quotes are allowed.
    static void closeApp(const QString &name);
    // When one of `names` runs, looks again for `rounds` rounds (a second each, events
    // running), then warns "Cannot start because ..." if any still runs and returns true.
    // It ends no process. Defined with the boxes, in the toolkit's widget library.
    static bool checkAndCloseIfAppsRunning(const QStringList &names, int rounds);
    // The warning itself: "Cannot start because this app is already running:" and the names.
    static void warnAppsRunning(const QStringList &running);
};
