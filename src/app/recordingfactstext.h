#pragma once

#include <QCoreApplication>
#include <QString>

struct EdfFacts;

// The facts of a recording file as a clinician reads them: in table cells, tool tips and the
// trace preview. Safe from any thread.
class RecordingFactsText
{
    Q_DECLARE_TR_FUNCTIONS(RecordingFactsText)
public:
    // "0:20:00", "1:02:15": hours always shown, so that no length reads as another; empty for
    // an unreadable file.
    static QString duration(const EdfFacts &facts);
    // "256 Hz", or "up to 500 Hz" when the signals differ; empty for an unreadable file.
    static QString rate(const EdfFacts &facts);
    // When the recording started, as the file says: "2024/03/05 14:25:30", the records table's
    // order of date and time.
    static QString startText(const EdfFacts &facts);
    // One fact a line: format and length, signals and rate, start, patient, recording,
    // equipment, first annotation; for an unreadable file the reason alone.
    static QString toolTip(const EdfFacts &facts);
};
