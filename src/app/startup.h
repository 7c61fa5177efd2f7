#pragma once

#include <QStringList>

class KestaSettings;

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
    // Names that count as a running copy: this program's own, "Kesta", "OV Database".
    static QStringList copyNames();
    // True when another copy still runs after the rounds of waiting (20, a second each); the
    // user has then been told and the program must end.
    static bool refuseRunningCopies();
    // The language the interface came up in becomes the Language setting, unsaved: with no
    // stored language, or one without catalogues, the next save would otherwise write the
    // setting's default, and the next start would switch to it.
    static void keepLanguageInUse(KestaSettings *settings);
    // Test seam: fewer rounds, so that an end-to-end run of a refused copy takes no 20 s.
    static void setCopyCheckRounds(int rounds);
};
