#pragma once

#include <QStringList>

class ZTSettings;

namespace kestatest
{

// One line per declaration fault the compiler cannot see (misspelt class info, Editable not "true",
// default its reset contradicts or outside its limits...). Resets every setting of `settings`.
QStringList settingsDeclarationProblems(ZTSettings *settings);

} // namespace kestatest
