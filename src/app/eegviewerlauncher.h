#pragma once

#include <QCoreApplication>
#include <QString>

// "Open in EEG viewer": hands a recording file to the desktop's default application for it,
// beside "Open record", which starts the recorder.
class EegViewerLauncher
{
    Q_DECLARE_TR_FUNCTIONS(EegViewerLauncher)
public:
    enum Outcome { Opened, FileMissing, NoViewer, ViewerNotStarted, DesktopViewerNotStarted };

    // Opens the file with `viewer` (a program and its arguments, the EegViewer
    // setting), or with the desktop's choice when that is empty; when the file is
    // missing or nothing takes it, a box says so.
    static bool open(const QString &path, const QString &viewer = QString());
    // The same without the box; *program names the desktop's choice when one was tried.
    static Outcome tryOpen(
        const QString &path, const QString &viewer = QString(), QString *program = nullptr);
    // The box's text, viewer naming the program tried; empty for Opened.
    static QString text(Outcome outcome, const QString &path, const QString &viewer = QString());
};
