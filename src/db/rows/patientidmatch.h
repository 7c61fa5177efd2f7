#pragma once

#include <QString>

// When two patient IDs are one for the people and programs that read them. The recorder
// receives an ID transliterated ("А17" in Cyrillic reaches it as "A17") and a person does not
// see blanks, letter case or invisible characters: IDs that differ only so would put one
// patient's recordings under another's.
class PatientIdMatch
{
public:
    // An ID as it is stored from input: without the blanks around it.
    static QString entered(const QString &patientId);
    // The form two IDs are compared in: compatibility forms normalised (NFKC), transliterated
    // as the recorder receives it, without blanks or invisible characters anywhere, case-folded.
    static QString key(const QString &patientId);
    static bool same(const QString &a, const QString &b);
};
