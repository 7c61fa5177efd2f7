#pragma once

#include <QCoreApplication>

struct RecorderLaunch;

// Tells the user when a command meant to start the recorder ("New examination", "Open record",
// "play") started nothing: where the recorder was looked for, or that the exchange port is
// taken and by what.
class RecorderLaunchWarning
{
    Q_DECLARE_TR_FUNCTIONS(RecorderLaunchWarning)
public:
    // True when the recorder started; otherwise shows the warning and returns false.
    static bool confirmStarted(const RecorderLaunch &launch);
    // The warning's text, empty for a launch that started.
    static QString text(const RecorderLaunch &launch);
};
