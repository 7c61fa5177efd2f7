#pragma once

#include <QString>

// Where the program keeps its settings file. Run from a build tree (a CMakeCache.txt in the
// program's folder or a little above it) it stays in the working directory, as it always
// did; installed, it goes to the user's configuration folder, since the working directory
// of a program started from a desktop menu is anyone's guess.
class SettingsLocation
{
public:
    // The path of the settings file fileName for this program.
    static QString filePath(const QString &fileName);
    // The same for a program in programFolder, configFolder being the user's configuration
    // folder for it.
    static QString filePath(
        const QString &fileName, const QString &programFolder, const QString &configFolder);
    static bool isBuildTree(const QString &programFolder);
};
