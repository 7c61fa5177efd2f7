#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// The patient as the exchange describes it ("SSI").
struct RecordedPatient {
    QString name;
    QString code;
    QDate birthDate;
};

// A few channels of synthetic EEG written as an EDF+ file, and the facts read back from one.
namespace EdfRecording
{

constexpr int SampleRate = 256;
constexpr int ChannelCount = 6;

// Writes `seconds` of 10 Hz-dominated EEG on six scalp channels, the patient in the header
// and the comment as an annotation at the start. Empty on success, otherwise why not.
QString write(const QString &path, const RecordedPatient &patient, const QDateTime &start, int seconds,
    const QString &comment);

// The header facts, one "key: value" per line; false with the reason in *lines when the
// file is no readable EDF file.
bool describe(const QString &path, QStringList *lines);

} // namespace EdfRecording
