#include "db/rows/patientidmatch.h"

#include "toolkit/util/texthelper.h"

QString PatientIdMatch::entered(const QString &patientId)
{
    return patientId.trimmed();
}

QString PatientIdMatch::key(const QString &patientId)
{
    // Compatibility forms first: a fullwidth "Ａ１７" is the "A17" it shows.
    const QString latin = TextHelper::translit(patientId.normalized(QString::NormalizationForm_KC));
    QString key;
    key.reserve(latin.size());
    for (const QChar c : latin) {
        const QChar::Category category = c.category();
        if (!c.isSpace() && category != QChar::Other_Control && category != QChar::Other_Format)
            key.append(c);
    }
    return key.toCaseFolded();
}

bool PatientIdMatch::same(const QString &a, const QString &b)
{
    return key(a) == key(b);
}
