#pragma once

#include <QString>

// Which database the program works on: a file of the embedded backend, or a
// server that several workstations share. A value, held by the application
// model and handed to Database; the password is only ever kept in memory.
struct DatabaseLocation {
    enum class Backend { Sqlite, Access, Postgres };

    Backend backend = Backend::Sqlite;
    // Sqlite and Access.
    QString filePath;
    // Postgres.
    QString host;
    int port = 5432;
    QString databaseName;
    QString user;
    // "disable", "require" or "verify-full".
    QString tlsMode;
    QString password;
    // The longest wait for the server's answer to one call.
    int timeoutSeconds = 10;

    // The platform's file backend: the Access file on Windows, SQLite elsewhere.
    static DatabaseLocation file(const QString &path);
    static DatabaseLocation sqliteFile(const QString &path);
    static DatabaseLocation accessFile(const QString &path);

    bool isServer() const { return backend == Backend::Postgres; }
    // What the user is shown: the file in native separators, or user@host:port/name.
    QString describe() const;
};
