#pragma once

#include <QString>
#include <QVariant>

class Database;

namespace kestatest
{

// Removes the data folder and creates it again with the empty database, as a
// first start does. False when that fails.
bool resetDataFolder();

// Runs SQL on the database's connection without going through the program's
// own statements (and without appearing in a StatementLog): for arranging
// rows and checking what was stored.
bool rawExec(Database &database, const QString &sql);
// The first column of the first row, or an invalid value.
QVariant rawValue(Database &database, const QString &sql);

} // namespace kestatest
