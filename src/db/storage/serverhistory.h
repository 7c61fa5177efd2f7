#pragma once

#include <QStringList>

// On a shared server the history is the server's own record: a trigger on
// each table of stored data writes the History rows in the change's
// transaction, with the server's clock, the signed-in login (session_user)
// and the client's address, as its owner, so that no workstation can forge,
// skip or alter them. The rows read as the client-written ones of a file
// database do: the same column names, value texts and whole rows as JSON.
class ServerHistory
{
public:
    // The trigger function and the triggers, made again when run again.
    static QStringList triggerStatements();
    // The function that notes who opened which patient card, at most once per
    // patient, workstation and ten minutes; true when it noted one.
    static QStringList patientViewStatements();
};
