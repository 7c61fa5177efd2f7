#pragma once

#include <QStringList>

class ZTSettings;

namespace kestatest
{

// Walks the meta-object of a settings class and returns one line per fault
// that class-info strings let slip through the compiler: an attribute key
// that names no property or no known attribute, an Editable that is neither
// "true" nor "false", a default outside its limits or not an enumerator, a
// declared default that the reset function contradicts, and a stored property
// without getX / setX / resetX / changedX. Resets every setting of `settings`
// to its default: pass a throwaway object without a file.
QStringList settingsDeclarationProblems(ZTSettings *settings);

} // namespace kestatest
