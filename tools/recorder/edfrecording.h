#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// The patient as the exchange describes it ("SSI").
struct RecordedPatient {
    QString name;
    QString code;
    QDate birthDate;
};

// EDF and BDF files written through EDFlib: the simulator's synthetic EEG, and any layout of
// signals for tests and benchmarks.
namespace EdfRecording
{

constexpr int SampleRate = 256;
constexpr int ChannelCount = 6;

// The values of EDFlib's file types.
enum Format { Edf = 0, EdfPlus = 1, Bdf = 2, BdfPlus = 3 };

// One signal: its label, rate, unit, physical range (-range to range) and its value at t seconds.
struct Signal {
    QByteArray label;
    int rate = SampleRate;
    QByteArray unit = "uV";
    double range = 500;
    std::function<double(double)> wave;
};

// One-second data records; `seconds` of them.
struct Layout {
    Format format = EdfPlus;
    QVector<Signal> channels;
    int seconds = 10;
};

// Up to 32 scalp channels ("EEG Fp1-A1" ...; the 19 of the 10-20 system first) of resting EEG
// at `rate`: posterior alpha, some beta and theta, eye blinks in the frontal channels, noise.
// The same every time.
Layout scalpLayout(int channels, int seconds, int rate = SampleRate);

// Writes `seconds` of 10 Hz-dominated EEG on six scalp channels, the patient in the header
// and the comment as an annotation at the start. Empty on success, otherwise why not.
QString write(const QString &path, const RecordedPatient &patient, const QDateTime &start, int seconds,
    const QString &comment);

// Writes any layout; the patient and the comment only go into EDF+ and BDF+ files.
QString write(const QString &path, const Layout &layout, const RecordedPatient &patient,
    const QDateTime &start, const QString &comment);

// The longest start of `text` that ends between two whole characters and takes at most
// `maxBytes` in UTF-8.
QByteArray wholeCharacters(const QString &text, int maxBytes);

// The header facts, one "key: value" per line; false with the reason in *lines when the
// file is no readable EDF file.
bool describe(const QString &path, QStringList *lines);

} // namespace EdfRecording
