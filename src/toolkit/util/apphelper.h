#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Process, folder and version helpers. Texts shown to the user are translated in the
// context "Generic". The boxes of the same family (confirmDialog, warningMessage, the
// running-copy check) need widgets and are declared in "toolkit/util/apphelperdialogs.h",
// beside their definitions in the toolkit's widget library, so that a program of the core
// library alone never compiles a call it cannot link.
namespace AppHelper
{

// The application version, "3.0.0" when none is set; four parts lose the last one, and
// without `full` three parts lose the last one too (1.2.3.4 -> 1.2.3 or 1.2).
QString appVersion(bool full);

// Platform family ("windows", "linux", "macos", ...), computed once.
QString OS();
QString OSName();
QString OSVersion();

// Shows a file selected in its folder, or a folder, in the desktop's file manager.
// `failed` runs, perhaps later, when no file manager could be reached at all.
void showInFolder(const QString &path, const std::function<void()> &failed = {});
// The caption of that command, as the platform names its file manager, translated.
QString showInFolderCaption();

// Image names of all running processes.
QStringList getRunningApps();
// Running processes whose image name matches one of `names`: the name with ".exe", with
// "d.exe", and each of these without ".exe", compared case-insensitively. This program
// itself never counts; another copy of it does.
QStringList findRunningApps(const QStringList &names);
// Forcibly ends the processes with this image name; surrounding double quotes are allowed.
void closeApp(const QString &name);

} // namespace AppHelper
