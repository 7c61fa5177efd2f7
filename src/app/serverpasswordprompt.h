#pragma once

#include <QCoreApplication>
#include <QString>

class Database;
class QWidget;

// Asks for the server password when the server wants one that ~/.pgpass did
// not give. It is kept in memory for this session only, never in a file.
class ServerPasswordPrompt
{
    Q_DECLARE_TR_FUNCTIONS(ServerPasswordPrompt)
public:
    // When the failed open asked for a password: asks for it and hands it to
    // the database. True when there is one to try (false: the user cancelled,
    // or the failure has another cause).
    static bool askIfNeeded(QWidget *parent, Database *database, const QString &openError);

    // Test seam: while answers are queued, no dialog is shown and the next one
    // is typed (an empty text cancels); the questions asked are recorded.
    static void setNextAnswer(const QString &password);
    static QStringList takeAsked();
};
