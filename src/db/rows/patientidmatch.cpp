#include "db/rows/patientidmatch.h"

#include "toolkit/util/texthelper.h"

QString PatientIdMatch::entered(const QString &patientId)
{
    return patientId.trimmed();
}

QString PatientIdMatch::key(const QString &patientId)
{
    const QString latin = TextHelper::translit(patientId);
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
