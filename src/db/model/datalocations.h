#pragma once

#include <QString>

// Where the program's data live on disk. Every fixed path derives from the one
// data folder, "C:/Orvalis Data/" on Windows and "<home>/Orvalis Data/"
// elsewhere. Folder paths end with "/".
class DataLocations
{
public:
    enum class DatabaseFileState { Existed, Created, Failed };

    static QString dataFolder();
    // The data folder from now on: the given folder (the DataFolder setting,
    // a share all workstations mount), or the platform's when empty or when
    // the folder is not one of its own (false then, with the reason logged).
    static bool setDataFolder(const QString &folder);
    // Why a folder cannot be the data folder, or empty when it can: the file
    // system's root, a home folder itself or a folder of the system, where the
    // database and the patients' folders would lie among everything else.
    static QString unsuitableDataFolder(const QString &folder);
    // Holds one folder per patient.
    static QString patientsFolder();
    static QString patientFolder(const QString &folderName);
    // Whether a patient's folder name is one plain folder directly inside the patients'
    // folder: not empty, "." or "..", and without "/", "\\", ":*?\"<>|" or control
    // characters, so that nothing is created, renamed or deleted outside it.
    static bool isPlainFolderName(const QString &name);
    // A recording of the patient whose folder is folderName; fileName is as the
    // recorder stored it, with backslashes, which become "/" off Windows.
    static QString recordingPath(const QString &folderName, const QString &fileName);
    static QString databaseFile();
    // The resource that an empty database file is copied from.
    static QString databaseTemplate();

    // Creates the data folder and the patients' folder when missing, then copies
    // the empty database into place when there is no database file. The file
    // appears whole or not at all. Failed means no usable database file could be
    // written at databaseFile().
    static DatabaseFileState prepareDataFolders();
    // The data folder and the patients' folder alone, for a database on a
    // server. False when they cannot be made.
    static bool prepareFolders();
};
