#pragma once

#include "db/storage/databaselocation.h"

#include <QCoreApplication>
#include <QString>

// What signing in to a server with these settings meets, found with a connection of its
// own, so that settings can be tried before the program is started with them. It waits
// at most the location's timeout; run it away from the window's thread.
struct ServerCheck {
    Q_DECLARE_TR_FUNCTIONS(ServerCheck)
public:
    enum Outcome { Connected, Empty, RefusedPassword, NoAnswer, NoSuchDatabase, Failed };
    Outcome outcome = Failed;
    int layoutVersion = 0;
    // The server's own words when they explain more than the outcome.
    QString detail;

    static ServerCheck run(const DatabaseLocation &location);
    // One sentence for the user.
    QString text(const DatabaseLocation &location) const;
};
