#pragma once

#include "db/storage/databaselocation.h"

#include <QObject>

class Database;
class KestaSettings;

// Owner of the application's settings and patient database, built once by the
// entry function before the main window and reached everywhere through
// Instance.
class KestaModel : public QObject
{
    Q_OBJECT
public:
    // Reads "Settings.xml" (SettingsLocation: the working directory, or the user's
    // configuration folder for an installed program), connects to the database
    // (the server the settings name, or the file in the data folder) and, when
    // it is a server or its file exists, brings its layout up to date and reads the
    // patient list (each patient's records are read when first needed). A
    // missing database file is not an error here: the main window creates it
    // (DataLocations::prepareDataFolders) and the connection opens by itself
    // on the next statement; a database that cannot be used is reported by
    // the window (Database::isUsable).
    explicit KestaModel(QObject *parent = nullptr);
    // Writes nothing.
    ~KestaModel() override;

    // Null before the model is built and after it is gone.
    static KestaModel *Instance();

    KestaSettings *settings() const { return settingsObject; }
    Database *database() const { return databaseObject; }
    // Which database the program works on.
    const DatabaseLocation &databaseLocation() const { return location; }

private:
    DatabaseLocation location;
    KestaSettings *settingsObject = nullptr;
    Database *databaseObject = nullptr;
};
