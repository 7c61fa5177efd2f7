#pragma once

#include <QStringList>

// The steps of the program's start, called by main() in their order.
class Startup
{
public:
    static const char *const RecorderExecutable;

    // Must run before the application object exists.
    static void enableHighDpiScaling();
    // The version comes from the build (the project version).
    static void setApplicationVersion();
    // A recorder left running would hold the exchange port and its patient.
    static void endRecorder();
    // Registers the font files that are present, in their order, and makes the family the
    // application font once one of them provided it. Returns how many were registered.
    static int registerFonts(const QStringList &files = fontFiles(), const QString &family = fontFamily());
    static QStringList fontFiles();
    static QString fontFamily();
    // Names that count as a running copy: this program's own, "Kesta", "OV Database".
    static QStringList copyNames();
    // True when another copy still runs after the rounds of waiting; the user has then been
    // told and the program must end.
    static bool refuseRunningCopies();
};
