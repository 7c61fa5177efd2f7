#pragma once

#include <QStringList>

class SingleInstance;
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
    // Every mode's first step once the application object exists: the settings file this
    // program uses (SettingsLocation: installed, the user's configuration folder). Returns
    // its path.
    static QString bootstrapSettings();
    // The language that file names, for the modes whose texts are the user's (the window,
    // the copy onto the server); the nightly backup's log stays in English.
    static void useLanguageOf(const QString &settingsFile);
    // A recorder left running would hold the exchange port and its patient. Only when no
    // copy of the program runs: a running copy's recorder may be recording an examination.
    static void endRecorder();
    // Names that count as a running copy: this program's own, "Kesta", "OV Database".
    static QStringList copyNames();
    // True when another copy runs; the user has then been told and the program must end. A
    // copy that answers on `instance`'s socket comes to the front and is told of at once;
    // other running copies (older ones, one that is closing) are waited for two rounds of a
    // second. Otherwise `instance` listens for later copies from now on.
    static bool refuseRunningCopies(SingleInstance &instance);
    // The language the interface came up in becomes the Language setting, unsaved: with no
    // stored language, or one without catalogues, the next save would otherwise write the
    // setting's default, and the next start would switch to it.
    static void keepLanguageInUse(KestaSettings *settings);
};
