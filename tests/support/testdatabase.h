#pragma once

#include <QStringList>
#include <QVariant>
#include <functional>

class Database;

namespace kestatest
{

// Removes the data folder and creates it again with the empty database, as a
// first start does. False when that fails.
bool resetDataFolder();

// SQL run beside the program's own statements, to arrange rows and check what
// was stored; rawValue gives the first column of the first row, or nothing.
bool rawExec(Database &database, const QString &sql);
QVariant rawValue(Database &database, const QString &sql);

// The statements the program runs ("kesta.db.sql") during action, in order.
QStringList statementsOf(const std::function<void()> &action);

} // namespace kestatest
