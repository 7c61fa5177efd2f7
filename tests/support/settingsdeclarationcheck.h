#pragma once

#include "toolkit/settings/displaytext.h"

#include <QStringList>

class ZTSettings;

namespace kestatest
{

// One line per declaration fault the compiler cannot see (misspelt class info, Editable not "true",
// default its reset contradicts or outside its limits...). Resets every setting of `settings`.
QStringList settingsDeclarationProblems(ZTSettings *settings);

// One line per visible setting or enumerator key of `settings` missing from `texts`, and per
// text that the catalogue pair ":/translations/<catalogue>_ru_RU.qm" / "_en_US.qm" does not
// translate: Russian every text, English those that read as identifiers ("LastName",
// "PatientCard_None", "1.Common", "PatientID").
QStringList displayTextProblems(ZTSettings *settings, const DisplayTexts &texts, const QString &catalogue);

} // namespace kestatest
