#include "db/edf/edfreader.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QPair>
#include <QVector>
#include <cmath>
#include <edflib.h>
#include <memory>

namespace
{

QMutex edfLibLock;

// What a look at the raw header finds: enough to name a problem and to find the annotations.
struct RawHeader {
    bool bdf = false;
    int signalCount = 0;
    qint64 headerBytes = 0;
    qint64 records = -1;
    // 0 when a signal's sample count is no number.
    qint64 recordBytes = 0;
    QString patient;
    QString recording;
    // Offset inside a data record and size of each annotation signal.
    QVector<QPair<qint64, qint64>> annotations;
};

qint64 number(const QByteArray &field, bool *ok)
{
    return field.trimmed().toLongLong(ok);
}

EdfFacts::Problem readRawHeader(QFile &file, RawHeader *raw)
{
    const QByteArray fixed = file.read(256);
    const bool edf = fixed.startsWith("0       ");
    raw->bdf = fixed.startsWith("\xff"
                                "BIOSEMI");
    if (!edf && !raw->bdf)
        return EdfFacts::Problem::NotEdf;
    if (fixed.size() < 256)
        return EdfFacts::Problem::Truncated;
    raw->patient = QString::fromLatin1(fixed.mid(8, 80)).trimmed();
    raw->recording = QString::fromLatin1(fixed.mid(88, 80)).trimmed();
    bool ok = false;
    raw->signalCount = int(number(fixed.mid(252, 4), &ok));
    if (!ok || raw->signalCount < 1 || raw->signalCount > EDFLIB_MAXSIGNALS)
        return EdfFacts::Problem::Damaged;
    raw->headerBytes = 256 * qint64(raw->signalCount + 1);
    raw->records = number(fixed.mid(236, 8), &ok);
    if (!ok)
        raw->records = -1;

    const int count = raw->signalCount;
    const QByteArray signalHeader = file.read(256 * qint64(count));
    if (signalHeader.size() < 256 * count)
        return EdfFacts::Problem::Truncated;
    const int bytesPerSample = raw->bdf ? 3 : 2;
    for (int i = 0; i < count; ++i) {
        const qint64 samples = number(signalHeader.mid(count * 216 + i * 8, 8), &ok);
        if (!ok || samples < 1) {
            raw->recordBytes = 0;
            break;
        }
        const QByteArray label = signalHeader.mid(i * 16, 16).trimmed();
        if (label == "EDF Annotations" || label == "BDF Annotations")
            raw->annotations.append({ raw->recordBytes, samples * bytesPerSample });
        raw->recordBytes += samples * bytesPerSample;
    }
    return EdfFacts::Problem::None;
}

// The text of the first annotation among the time-stamped annotation lists of one annotation
// signal: each list is an onset, texts after 0x14 bytes, and a closing 0x00.
QString firstAnnotation(const QByteArray &bytes)
{
    for (const QByteArray &list : bytes.split('\0')) {
        const QList<QByteArray> parts = list.split('\x14');
        for (int i = 1; i < parts.size(); ++i) {
            if (!parts.at(i).isEmpty())
                return QString::fromUtf8(parts.at(i));
        }
    }
    return QString();
}

QString findFirstAnnotation(QFile &file, const RawHeader &raw)
{
    const qint64 records = qMin<qint64>(raw.records, EdfReader::AnnotationRecords);
    for (qint64 record = 0; record < records && raw.recordBytes > 0; ++record) {
        for (const auto &annotation : raw.annotations) {
            if (!file.seek(raw.headerBytes + record * raw.recordBytes + annotation.first))
                return QString();
            const QString text = firstAnnotation(file.read(annotation.second));
            if (!text.isEmpty())
                return text;
        }
    }
    return QString();
}

// The problem behind EDFlib's refusal, which for most faults is a bare format error.
EdfFacts::Problem refusal(int error, const RawHeader &raw, const EdfFacts &facts)
{
    switch (error) {
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY:
        return EdfFacts::Problem::Missing;
    case EDFLIB_FILE_IS_DISCONTINUOUS:
        return EdfFacts::Problem::Discontinuous;
    default:
        break;
    }
    if (raw.records < 0)
        return EdfFacts::Problem::Unfinished;
    if (facts.expectedSize > 0 && facts.fileSize < facts.expectedSize)
        return EdfFacts::Problem::Truncated;
    return EdfFacts::Problem::Damaged;
}

void takeHeader(const edf_hdr_struct &header, EdfFacts *facts)
{
    static const EdfFacts::Format Formats[] = { EdfFacts::Format::Edf, EdfFacts::Format::EdfPlus,
        EdfFacts::Format::Bdf, EdfFacts::Format::BdfPlus };
    facts->format = Formats[header.filetype & 3];
    facts->durationSeconds = double(header.file_duration) / EDFLIB_TIME_DIMENSION;
    facts->signalCount = header.edfsignals;
    for (int i = 0; i < header.edfsignals; ++i) {
        const edf_param_struct &signal = header.signalparam[i];
        facts->labels.append(QString::fromLatin1(signal.label).trimmed());
        const double rate = header.datarecord_duration > 0
            ? double(signal.smp_in_datarecord) * EDFLIB_TIME_DIMENSION / double(header.datarecord_duration)
            : 0;
        if (i > 0 && !qFuzzyCompare(rate, facts->highestRate))
            facts->ratesAgree = false;
        facts->highestRate = qMax(facts->highestRate, rate);
    }
    facts->start = QDateTime(QDate(header.startdate_year, header.startdate_month, header.startdate_day),
        QTime(header.starttime_hour, header.starttime_minute, header.starttime_second,
            int(header.starttime_subsecond / (EDFLIB_TIME_DIMENSION / 1000))));
    if (facts->format == EdfFacts::Format::EdfPlus || facts->format == EdfFacts::Format::BdfPlus) {
        facts->patientCode = QString::fromLatin1(header.patientcode);
        const QByteArray sex(header.gender);
        facts->sex = sex == "Male" ? QStringLiteral("M") : sex == "Female" ? QStringLiteral("F") : QString();
        facts->birthDate = QDate(header.birthdate_year, header.birthdate_month, header.birthdate_day);
        facts->patientName = QString::fromLatin1(header.patient_name);
        facts->patientAdditional = QString::fromLatin1(header.patient_additional).trimmed();
        facts->adminCode = QString::fromLatin1(header.admincode);
        facts->technician = QString::fromLatin1(header.technician);
        facts->equipment = QString::fromLatin1(header.equipment);
        facts->recordingAdditional = QString::fromLatin1(header.recording_additional).trimmed();
    }
}

void readChannels(const edf_hdr_struct &header, double seconds, EdfSamples *samples)
{
    for (int i = 0; i < header.edfsignals; ++i) {
        const edf_param_struct &signal = header.signalparam[i];
        EdfChannel channel;
        channel.label = samples->facts.labels.value(i);
        channel.unit = QString::fromLatin1(signal.physdimension).trimmed();
        channel.rate = header.datarecord_duration > 0
            ? double(signal.smp_in_datarecord) * EDFLIB_TIME_DIMENSION / double(header.datarecord_duration)
            : 0;
        const qint64 wanted
            = qMin<qint64>(qint64(std::ceil(channel.rate * seconds - 1e-6)), signal.smp_in_file);
        channel.values.resize(int(qMax<qint64>(wanted, 0)));
        if (edfread_physical_samples(header.handle, i, channel.values.size(), channel.values.data())
            != channel.values.size()) {
            // The file shrank since it was opened.
            samples->facts.problem = EdfFacts::Problem::Truncated;
            samples->channels.clear();
            return;
        }
        samples->channels.append(channel);
    }
}

EdfSamples read(const QString &path, double seconds)
{
    EdfSamples result;
    result.seconds = seconds;
    EdfFacts &facts = result.facts;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        facts.problem = info.isDir() ? EdfFacts::Problem::NotEdf : EdfFacts::Problem::Unreadable;
        facts.systemError = file.errorString();
        return result;
    }
    facts.fileSize = file.size();
    RawHeader raw;
    facts.problem = readRawHeader(file, &raw);
    if (facts.problem == EdfFacts::Problem::Truncated)
        raw.records = -1; // the text names a cut header by this
    facts.recordsAnnounced = qMax<qint64>(raw.records, 0);
    if (raw.records >= 0 && raw.recordBytes > 0) {
        facts.expectedSize = raw.headerBytes + raw.records * raw.recordBytes;
        facts.recordsPresent = qMax<qint64>(facts.fileSize - raw.headerBytes, 0) / raw.recordBytes;
    }
    if (facts.problem != EdfFacts::Problem::None)
        return result;
    facts.patient = raw.patient;
    facts.recording = raw.recording;

    {
        // The header holds room for every possible signal: too big for the stack.
        auto header = std::make_unique<edf_hdr_struct>();
        QMutexLocker lock(&edfLibLock);
        if (edfopen_file_readonly(
                QFile::encodeName(path).constData(), header.get(), EDFLIB_DO_NOT_READ_ANNOTATIONS)
            != 0) {
            facts.problem = refusal(header->filetype, raw, facts);
            return result;
        }
        takeHeader(*header, &facts);
        if (seconds > 0)
            readChannels(*header, seconds, &result);
        edfclose_file(header->handle);
    }
    if (facts.readable())
        facts.firstAnnotation = findFirstAnnotation(file, raw);
    return result;
}

} // namespace

EdfFacts EdfReader::readFacts(const QString &path)
{
    return read(path, 0).facts;
}

EdfSamples EdfReader::readSamples(const QString &path, double seconds)
{
    return read(path, seconds);
}
