#include "recorder/edfrecording.h"

#include "toolkit/util/texthelper.h"

#include <QFile>
#include <QTextBoundaryFinder>
#include <QVector>
#include <cmath>
#include <edflib.h>
#include <iterator>
#include <memory>
#include <numeric>

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

// EDFlib keeps at most this many bytes of an annotation and cuts wherever the last one falls,
// which can be inside a letter.
constexpr int EdfLibAnnotationBytes = 40;

// An annotation's text may not hold the bytes that separate its parts.
QString annotationText(const QString &comment)
{
    QString text = comment.trimmed();
    for (QChar &c : text) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return text;
}

// Puts the whole comment into the first data record when EDFlib had to shorten it. Where
// the annotation signal has too little room for it, the signal is made longer in every
// record (its samples per record in the header, zeros after what each record held). Touches
// the file only when the first record holds exactly what EDFlib wrote.
bool writeWholeComment(const QString &path, const QString &text, bool bdf)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = file.readAll();
    const int signalCount = bytes.mid(252, 4).trimmed().toInt();
    const int headerSize = 256 * (signalCount + 1);
    const int records = bytes.mid(236, 8).trimmed().toInt();
    if (signalCount < 1 || records < 1 || bytes.size() < headerSize)
        return false;
    const int bytesPerSample = bdf ? 3 : 2;
    QVector<int> rooms;
    int annotation = -1;
    for (int i = 0; i < signalCount; ++i) {
        rooms << bytes.mid(256 + signalCount * 216 + i * 8, 8).trimmed().toInt() * bytesPerSample;
        if (annotation < 0 && bytes.mid(256 + i * 16, 16).trimmed().endsWith("Annotations"))
            annotation = i;
    }
    const int recordSize = std::accumulate(rooms.cbegin(), rooms.cend(), 0);
    if (annotation < 0 || bytes.size() != headerSize + qint64(records) * recordSize)
        return false;
    int before = 0;
    for (int i = 0; i < annotation; ++i)
        before += rooms.at(i);
    const int room = rooms.at(annotation);

    const QByteArray timeKeeping("+0\x14\x14\0+0\x14", 8);
    const QByteArray end("\x14\0", 2);
    QByteArray written = timeKeeping + EdfRecording::wholeCharacters(text, EdfLibAnnotationBytes) + end;
    written.append(QByteArray(room - written.size(), '\0'));
    if (bytes.mid(headerSize + before, room) != written)
        return false;
    const QByteArray whole = timeKeeping + text.toUtf8() + end;
    const int samples = (qMax(room, int(whole.size())) + bytesPerSample - 1) / bytesPerSample;
    const int grown = samples * bytesPerSample;

    QByteArray result = bytes.left(headerSize);
    result.replace(
        256 + signalCount * 216 + annotation * 8, 8, QByteArray::number(samples).leftJustified(8, ' '));
    for (int r = 0; r < records; ++r) {
        const qint64 at = headerSize + qint64(r) * recordSize;
        QByteArray signal = r == 0 ? whole : bytes.mid(at + before, room);
        signal.append(QByteArray(grown - signal.size(), '\0'));
        result += bytes.mid(at, before) + signal + bytes.mid(at + before + room, recordSize - before - room);
    }
    return file.seek(0) && file.write(result) == result.size() && file.resize(result.size());
}

// EDFlib writes only EDF+ and BDF+: a plain EDF or BDF file is one of those without its
// annotation signal and without the "+" mark in the header.
bool dropAnnotations(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = file.readAll();
    const int count = bytes.mid(252, 4).trimmed().toInt();
    const int annotation = count - 1; // EDFlib puts it last
    if (count < 2 || !bytes.mid(256 + annotation * 16, 16).trimmed().endsWith("Annotations"))
        return false;
    const int widths[] = { 16, 80, 8, 8, 8, 8, 8, 80, 8, 32 };
    QByteArray header = bytes.left(256);
    header.replace(184, 8, QByteArray::number(256 * count).leftJustified(8));
    header.replace(192, 44, QByteArray(44, ' '));
    header.replace(252, 4, QByteArray::number(count - 1).leftJustified(4));
    int field = 256;
    QVector<int> sizes;
    for (const int width : widths) {
        header += bytes.mid(field, width * annotation);
        field += width * count;
    }
    const int bytesPerSample = bytes.startsWith('\xff') ? 3 : 2;
    int recordSize = 0;
    for (int i = 0; i < count; ++i) {
        sizes.append(bytes.mid(256 + count * 216 + i * 8, 8).trimmed().toInt() * bytesPerSample);
        recordSize += sizes.last();
    }
    QByteArray plain = header;
    for (int record = 256 * (count + 1); record + recordSize <= bytes.size(); record += recordSize)
        plain += bytes.mid(record, recordSize - sizes.last());
    return file.resize(0) && file.write(plain) == plain.size();
}

} // namespace

namespace EdfRecording
{

QString write(const QString &path, const RecordedPatient &patient, const QDateTime &start, int seconds,
    const QString &comment)
{
    auto noise = std::make_shared<Noise>();
    Layout layout;
    layout.seconds = seconds;
    for (int i = 0; i < EdfRecording::ChannelCount; ++i) {
        const double alpha = Channels[i].alpha;
        layout.channels.append({ Channels[i].label, SampleRate, "uV", PhysicalRange, [=](double t) {
                                    return alpha * std::sin(2 * M_PI * 10 * t + i)
                                        + 15 * std::sin(2 * M_PI * 1.5 * t)
                                        + 5 * std::sin(2 * M_PI * 21 * t + 2 * i) + 6 * noise->next();
                                } });
    }
    return write(path, layout, patient, start, comment);
}

Layout scalpLayout(int channels, int seconds, int rate)
{
    // Electrode, alpha and blink amplitude in uV: alpha grows towards the back of the head,
    // blinks towards the eyes.
    static const struct {
        const char *site;
        double alpha;
        double blink;
    } Sites[] = { { "Fp1", 6, 140 }, { "Fp2", 6, 140 }, { "F7", 9, 45 }, { "F3", 10, 50 }, { "Fz", 10, 45 },
        { "F4", 10, 50 }, { "F8", 9, 45 }, { "T3", 14, 5 }, { "C3", 18, 10 }, { "Cz", 18, 10 },
        { "C4", 18, 10 }, { "T4", 14, 5 }, { "T5", 30, 0 }, { "P3", 32, 0 }, { "Pz", 34, 0 }, { "P4", 32, 0 },
        { "T6", 30, 0 }, { "O1", 48, 0 }, { "O2", 48, 0 }, { "AF3", 7, 90 }, { "AF4", 7, 90 },
        { "FC5", 12, 20 }, { "FC1", 12, 25 }, { "FC2", 12, 25 }, { "FC6", 12, 20 }, { "CP5", 24, 0 },
        { "CP1", 24, 0 }, { "CP2", 24, 0 }, { "CP6", 24, 0 }, { "PO3", 42, 0 }, { "PO4", 42, 0 },
        { "Oz", 50, 0 } };
    Layout layout;
    layout.seconds = seconds;
    for (int i = 0; i < qMin(channels, int(std::size(Sites))); ++i) {
        const auto site = Sites[i];
        const bool left = QByteArray(site.site).right(1).toInt() % 2 == 1;
        auto noise = std::make_shared<Noise>();
        const QByteArray label = QByteArray("EEG ") + site.site + (left ? "-A1" : "-A2");
        layout.channels.append(
            { label, rate, "uV", 500, [=](double t) {
                 // Alpha waxes and wanes over a few seconds.
                 const double alpha = site.alpha * (0.7 + 0.3 * std::sin(2 * M_PI * 0.23 * t));
                 const double sinceBlink = std::fmod(t + 1.3, 4.3) - 0.35;
                 return alpha * std::sin(2 * M_PI * 9.8 * t + 0.2 * i) + 4 * std::sin(2 * M_PI * 19.5 * t + i)
                     + 7 * std::sin(2 * M_PI * 5.5 * t + 0.5 * i)
                     + site.blink * std::exp(-sinceBlink * sinceBlink / 0.012) + 5 * noise->next();
             } });
    }
    return layout;
}

QString write(const QString &path, const Layout &layout, const RecordedPatient &patient,
    const QDateTime &start, const QString &comment)
{
    const int count = layout.channels.size();
    const bool bdf = layout.format == Bdf || layout.format == BdfPlus;
    const bool plus = layout.format == EdfPlus || layout.format == BdfPlus;
    const int type = bdf ? EDFLIB_FILETYPE_BDFPLUS : EDFLIB_FILETYPE_EDFPLUS;
    const int handle = edfopen_file_writeonly(QFile::encodeName(path).constData(), type, count);
    if (handle < 0)
        return QStringLiteral("EDFlib cannot create the file (error %1)").arg(handle);
    const int digitalMaximum = bdf ? 8388607 : 32767;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const Signal &signal = layout.channels.at(i);
        ok = ok && edf_set_samplefrequency(handle, i, signal.rate) == 0
            && edf_set_physical_maximum(handle, i, signal.range) == 0
            && edf_set_physical_minimum(handle, i, -signal.range) == 0
            && edf_set_digital_maximum(handle, i, digitalMaximum) == 0
            && edf_set_digital_minimum(handle, i, -digitalMaximum - 1) == 0
            && edf_set_label(handle, i, signal.label.constData()) == 0
            && edf_set_physical_dimension(handle, i, signal.unit.constData()) == 0
            && edf_set_prefilter(handle, i, "HP:0.5Hz LP:70Hz") == 0;
    }
    const QDate date = start.date();
    const QTime time = start.time();
    ok = ok
        && edf_set_startdatetime(
               handle, date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second())
            == 0
        && edf_set_patientname(handle, headerText(patient.name).constData()) == 0
        && edf_set_patientcode(handle, headerText(patient.code).constData()) == 0
        && edf_set_equipment(handle, "Kesta recorder simulator") == 0;
    if (ok && patient.birthDate.isValid())
        ok = edf_set_birthdate(
                 handle, patient.birthDate.year(), patient.birthDate.month(), patient.birthDate.day())
            == 0;

    QVector<double> samples;
    for (int second = 0; ok && second < layout.seconds; ++second) {
        for (int i = 0; ok && i < count; ++i) {
            const Signal &signal = layout.channels.at(i);
            samples.resize(signal.rate);
            for (int n = 0; n < signal.rate; ++n)
                samples[n] = signal.wave(second + double(n) / signal.rate);
            ok = edfwrite_physical_samples(handle, samples.data()) == 0;
        }
    }
    const QString text = annotationText(comment);
    if (ok && plus && !text.isEmpty())
        ok = edfwrite_annotation_utf8(handle, 0, -1, wholeCharacters(text, EdfLibAnnotationBytes).constData())
            == 0;
    const bool closed = edfclose_file(handle) == 0;
    if (!ok || !closed)
        return QStringLiteral("EDFlib failed writing the file");
    if (!plus)
        return dropAnnotations(path) ? QString()
                                     : QStringLiteral("the file could not be made plain EDF or BDF");
    if (layout.seconds > 0 && wholeCharacters(text, EdfLibAnnotationBytes).size() < text.toUtf8().size()
        && !writeWholeComment(path, text, bdf))
        return QStringLiteral("the whole comment could not be written");
    return QString();
}

QByteArray wholeCharacters(const QString &text, int maxBytes)
{
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    int end = 0;
    for (int next = boundaries.toNextBoundary(); next > 0; next = boundaries.toNextBoundary()) {
        if (text.leftRef(next).toUtf8().size() > maxBytes)
            break;
        end = next;
    }
    return text.left(end).toUtf8();
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
