#pragma once

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
    // file in the data folder and reads every patient with its records. A
    // missing database file is not an error here: the main window creates it
    // (DataLocations::prepareDataFolders) and the connection opens by itself
    // on the next statement.
    explicit KestaModel(QObject *parent = nullptr);
    // Writes nothing.
    ~KestaModel() override;

    // Null before the model is built and after it is gone.
    static KestaModel *Instance();

    KestaSettings *settings() const { return settingsObject; }
    Database *database() const { return databaseObject; }

private:
    KestaSettings *settingsObject = nullptr;
    Database *databaseObject = nullptr;
};
