#pragma once

#include <QCoreApplication>
#include <QString>

// "Open in EEG viewer": hands a recording file to the desktop's default application for it,
// beside "Open record", which starts the recorder. Tests catch what is opened with
// QDesktopServices::setUrlHandler("file", ...).
class EegViewerLauncher
{
    Q_DECLARE_TR_FUNCTIONS(EegViewerLauncher)
public:
    enum Outcome { Opened, FileMissing, NoViewer };

    // Opens the file; when it is missing or no application takes it, a box says so.
    static bool open(const QString &path);
    // The same without the box.
    static Outcome tryOpen(const QString &path);
    // The box's text; empty for Opened.
    static QString text(Outcome outcome, const QString &path);
};
