#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

// What the header of a recording file (EDF, EDF+, BDF, BDF+) says about it, or why it cannot
// be read. A plain value: copied between threads freely. Made by EdfReader; a default one
// stands for a missing file.
struct EdfFacts {
    Q_DECLARE_TR_FUNCTIONS(EdfFacts)
public:
    enum class Problem {
        None,
        Missing, // no file at the path
        Unreadable, // the system refuses to open it (`systemError`)
        NotEdf, // no EDF or BDF file at all (a text, an image, an empty file)
        Truncated, // shorter than its header says: `recordsPresent` of `recordsAnnounced` records
        Unfinished, // the header does not yet say how many records it holds: still being written
        Damaged, // the header breaks the format, or the file is longer than the header says
        Discontinuous, // EDF+D or BDF+D, which the reader does not support
    };
    enum class Format { Unknown, Edf, EdfPlus, Bdf, BdfPlus };

    Problem problem = Problem::Missing;
    QString systemError;
    qint64 recordsAnnounced = 0;
    qint64 recordsPresent = 0;
    // Bytes in the file, and the bytes its header announces (0 when the header is unreadable).
    qint64 fileSize = 0;
    qint64 expectedSize = 0;

    Format format = Format::Unknown;
    double durationSeconds = 0;
    // Signals without the annotation channels of EDF+ and BDF+.
    int signalCount = 0;
    QStringList labels;
    double highestRate = 0;
    bool ratesAgree = true;
    // As stored in the file: the recording site's local time.
    QDateTime start;

    // EDF and BDF keep the patient and recording fields as one text each; EDF+ and BDF+ split
    // them into the fields below.
    QString patient;
    QString recording;
    QString patientCode;
    QString patientName;
    QString sex;
    QDate birthDate;
    QString patientAdditional;
    QString adminCode;
    QString technician;
    QString equipment;
    QString recordingAdditional;

    // The first annotation of EDF+ and BDF+ files found within the first minute of data
    // records (see EdfReader); empty when there is none.
    QString firstAnnotation;

    bool readable() const { return problem == Problem::None; }
    // Why the file cannot be read, in the interface language; empty when it can.
    QString problemText() const;
    // "EDF", "EDF+", "BDF" or "BDF+"; empty when unknown.
    QString formatName() const;
};

Q_DECLARE_METATYPE(EdfFacts)
