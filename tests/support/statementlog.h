#pragma once

#include <QStringList>

// Collects the SQL statements the program runs (the "kesta.db.sql" category)
// while it exists. Other messages pass on to the previous handler.
class StatementLog
{
public:
    StatementLog();
    ~StatementLog();
    StatementLog(const StatementLog &) = delete;
    StatementLog &operator=(const StatementLog &) = delete;

    QStringList statements() const;
    // Statements beginning with the given word ("SELECT", "UPDATE" ...), any case.
    QStringList statements(const QString &verb) const;
    int count() const;
    void clear();
};
