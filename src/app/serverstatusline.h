#pragma once

#include <QLabel>

class Database;

// The status line's note of where the data lie when they lie on a server:
// the server, the signed-in account and its role, so that whoever sits at a
// workstation sees whose rights it works with. Empty for the file database.
class ServerStatusLine : public QLabel
{
    Q_OBJECT
public:
    explicit ServerStatusLine(Database *database, QWidget *parent = nullptr);

private:
    void update();

    Database *database;
};
