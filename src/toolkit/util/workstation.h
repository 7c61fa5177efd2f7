#pragma once

#include <QString>

// Who works where: what the history and the trash note beside each change.
class Workstation
{
public:
    // The machine's host name.
    static QString hostName();
    // The login name of the user the program runs as.
    static QString userName();
    // The clock's time in UTC as ISO 8601 text with milliseconds
    // ("2024-03-05T14:25:30.000Z"): such texts sort as the times do.
    static QString nowText();
};
