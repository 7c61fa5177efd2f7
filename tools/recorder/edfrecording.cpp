#include "edfrecording.h"

#include "toolkit/util/texthelper.h"

#include <QFile>
#include <QVector>
#include <cmath>
#include <edflib.h>
#include <memory>

namespace
{

struct Channel {
    const char *label;
    double alpha; // occipital channels carry the strongest alpha rhythm
};

const Channel Channels[EdfRecording::ChannelCount] = {
    { "EEG Fp1-A1", 10 }, { "EEG Fp2-A2", 10 }, { "EEG C3-A1", 20 },
    { "EEG C4-A2", 20 }, { "EEG O1-A1", 45 }, { "EEG O2-A2", 45 },
};
constexpr double PhysicalRange = 500; // uV, either way

// EDF header fields hold printable ASCII only.
QByteArray headerText(const QString &text)
{
    QByteArray ascii = TextHelper::translit(text).toLatin1();
    for (char &c : ascii) {
        if (c < 0x20 || c > 0x7e)
            c = '_';
    }
    return ascii;
}

// Deterministic noise, so that two runs write the same signal.
class Noise
{
public:
    double next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state >> 11) / double(1ULL << 53) * 2 - 1;
    }

private:
    unsigned long long state = 0x2545F4914F6CDD1DULL;
};

} // namespace

namespace EdfRecording
{

QString write(const QString &path, const RecordedPatient &patient, const QDateTime &start, int seconds,
    const QString &comment)
{
    const int handle = edfopen_file_writeonly(QFile::encodeName(path).constData(), EDFLIB_FILETYPE_EDFPLUS, EdfRecording::ChannelCount);
    if (handle < 0)
        return QStringLiteral("EDFlib cannot create the file (error %1)").arg(handle);
    bool ok = true;
    for (int i = 0; i < EdfRecording::ChannelCount; ++i) {
        ok = ok && edf_set_samplefrequency(handle, i, SampleRate) == 0
            && edf_set_physical_maximum(handle, i, PhysicalRange) == 0
            && edf_set_physical_minimum(handle, i, -PhysicalRange) == 0
            && edf_set_digital_maximum(handle, i, 32767) == 0 && edf_set_digital_minimum(handle, i, -32768) == 0
            && edf_set_label(handle, i, Channels[i].label) == 0 && edf_set_physical_dimension(handle, i, "uV") == 0
            && edf_set_prefilter(handle, i, "HP:0.5Hz LP:70Hz") == 0;
    }
    const QDate date = start.date();
    const QTime time = start.time();
    ok = ok
        && edf_set_startdatetime(handle, date.year(), date.month(), date.day(), time.hour(), time.minute(),
               time.second())
            == 0
        && edf_set_patientname(handle, headerText(patient.name).constData()) == 0
        && edf_set_patientcode(handle, headerText(patient.code).constData()) == 0
        && edf_set_equipment(handle, "Kesta recorder simulator") == 0;
    if (ok && patient.birthDate.isValid())
        ok = edf_set_birthdate(handle, patient.birthDate.year(), patient.birthDate.month(), patient.birthDate.day()) == 0;

    Noise noise;
    QVector<double> samples(SampleRate);
    for (int second = 0; ok && second < seconds; ++second) {
        for (int i = 0; ok && i < EdfRecording::ChannelCount; ++i) {
            for (int n = 0; n < SampleRate; ++n) {
                const double t = second + double(n) / SampleRate;
                samples[n] = Channels[i].alpha * std::sin(2 * M_PI * 10 * t + i)
                    + 15 * std::sin(2 * M_PI * 1.5 * t) + 5 * std::sin(2 * M_PI * 21 * t + 2 * i)
                    + 6 * noise.next();
            }
            ok = edfwrite_physical_samples(handle, samples.data()) == 0;
        }
    }
    if (ok && !comment.isEmpty())
        ok = edfwrite_annotation_utf8(handle, 0, -1, comment.left(EDFLIB_MAX_ANNOTATION_LEN).toUtf8().constData()) == 0;
    const bool closed = edfclose_file(handle) == 0;
    return ok && closed ? QString() : QStringLiteral("EDFlib failed writing the file");
}

bool describe(const QString &path, QStringList *lines)
{
    // The header holds room for every possible signal: too big for the stack.
    auto header = std::make_unique<edf_hdr_struct>();
    if (edfopen_file_readonly(QFile::encodeName(path).constData(), header.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
        *lines = QStringList { QStringLiteral("not a readable EDF file: %1 (EDFlib error %2)")
                                   .arg(path)
                                   .arg(header->filetype) };
        return false;
    }
    static const char *const Types[] = { "EDF", "EDF+", "BDF", "BDF+" };
    const bool plus = header->filetype == EDFLIB_FILETYPE_EDFPLUS || header->filetype == EDFLIB_FILETYPE_BDFPLUS;
    lines->clear();
    lines->append(QStringLiteral("file: %1").arg(path));
    lines->append(QStringLiteral("type: %1").arg(QLatin1String(Types[header->filetype & 3])));
    if (plus) {
        lines->append(QStringLiteral("patient: %1").arg(QString::fromLatin1(header->patient_name)));
        lines->append(QStringLiteral("patient code: %1").arg(QString::fromLatin1(header->patientcode)));
        const QString sex = QString::fromLatin1(header->gender);
        lines->append(QStringLiteral("sex: %1").arg(sex.isEmpty() ? QStringLiteral("unknown") : sex));
        lines->append(QStringLiteral("birth date: %1").arg(QString::fromLatin1(header->birthdate)));
    } else {
        lines->append(QStringLiteral("patient: %1").arg(QString::fromLatin1(header->patient).trimmed()));
    }
    const QDateTime start(QDate(header->startdate_year, header->startdate_month, header->startdate_day),
        QTime(header->starttime_hour, header->starttime_minute, header->starttime_second));
    lines->append(QStringLiteral("start: %1").arg(start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    lines->append(QStringLiteral("duration: %1 s").arg(double(header->file_duration) / EDFLIB_TIME_DIMENSION));
    QStringList channels;
    for (int i = 0; i < header->edfsignals; ++i) {
        const edf_param_struct &signal = header->signalparam[i];
        const double rate = double(signal.smp_in_datarecord) * EDFLIB_TIME_DIMENSION / header->datarecord_duration;
        channels.append(QStringLiteral("%1 (%2 Hz)").arg(QString::fromLatin1(signal.label).trimmed()).arg(rate));
    }
    lines->append(QStringLiteral("channels: %1: %2").arg(header->edfsignals).arg(channels.join(QStringLiteral(", "))));
    for (long long n = 0; n < header->annotations_in_file; ++n) {
        edf_annotation_struct annotation;
        if (edf_get_annotation(header->handle, int(n), &annotation) == 0)
            lines->append(QStringLiteral("annotation: %1").arg(QString::fromUtf8(annotation.annotation)));
    }
    edfclose_file(header->handle);
    return true;
}

} // namespace EdfRecording
