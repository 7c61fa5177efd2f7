#include "app/recordingfactstext.h"

#include "db/edf/edffacts.h"
#include "toolkit/i18n/datetext.h"

#include <QStringList>
#include <cmath>

QString RecordingFactsText::duration(const EdfFacts &facts)
{
    if (!facts.readable())
        return QString();
    const qint64 seconds = qint64(std::ceil(facts.durationSeconds - 1e-6));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString RecordingFactsText::rate(const EdfFacts &facts)
{
    if (!facts.readable() || facts.signalCount == 0)
        return QString();
    const QString hertz = tr("%1 Hz").arg(facts.highestRate, 0, 'g', 6);
    return facts.ratesAgree ? hertz : tr("up to %1").arg(hertz);
}

QString RecordingFactsText::startText(const EdfFacts &facts)
{
    return DateText::dateTime(facts.start, true);
}

QString RecordingFactsText::toolTip(const EdfFacts &facts)
{
    if (!facts.readable())
        return tr("The recording cannot be read.") + QLatin1Char('\n') + facts.problemText();
    QStringList lines;
    lines << tr("%1, %2").arg(facts.formatName(), duration(facts));
    lines << tr("%n signal(s), %1", nullptr, facts.signalCount).arg(rate(facts));
    if (facts.start.isValid())
        lines << tr("Started: %1").arg(startText(facts));
    QStringList patient { facts.patientName, facts.patientCode };
    if (facts.birthDate.isValid())
        patient << tr("born %1").arg(DateText::date(facts.birthDate));
    patient.removeAll(QString());
    // Plain EDF keeps the patient as one text, which EDF+ splits into the parts above.
    if (patient.isEmpty() && !facts.patient.isEmpty())
        patient << facts.patient;
    if (!patient.isEmpty())
        lines << tr("Patient: %1").arg(patient.join(QStringLiteral(", ")));
    if (!facts.equipment.isEmpty())
        lines << tr("Equipment: %1").arg(facts.equipment);
    if (!facts.technician.isEmpty())
        lines << tr("Technician: %1").arg(facts.technician);
    if (facts.format == EdfFacts::Format::Edf || facts.format == EdfFacts::Format::Bdf) {
        if (!facts.recording.isEmpty())
            lines << tr("Recording: %1").arg(facts.recording);
    }
    if (!facts.firstAnnotation.isEmpty())
        lines << tr("Annotation: %1").arg(facts.firstAnnotation);
    return lines.join(QLatin1Char('\n'));
}
