#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

// Process-wide translation manager: knows which compiled catalogues exist for
// which language and installs those of one language into the application.
// A catalogue's language is the five characters before ".qm" in its file name
// ("settings_ru_RU.qm"), so each source folder can bring its own catalogues.
class LanguageContext : public QObject
{
    Q_OBJECT

public:
    // When true, the first use also collects catalogues from the application's
    // own folder. Set it before any other call: catalogues are collected once.
    static bool UseFilesInRootDir;

    static LanguageContext *Instance();

    // Codes that have at least one catalogue, ascending.
    static QStringList availableLanguages();
    static bool hasLanguage(const QString &code);
    static QString currentLanguage();
    // The system locale's name, language and territory joined by "_" ("ru_RU").
    static QString systemLanguage();
    // Installs every catalogue of code, or of the fallback language when code has
    // none, with Qt's own catalogue of that language where Qt's installation has one,
    // makes it the default locale, and returns the installed code (empty when there
    // are no catalogues).
    static QString setLanguage(const QString &code);

    // The language to start in: the one stored in the settings file at
    // settingsPath when it names a known language, else the system's.
    static QString startupLanguage(const QString &settingsPath);

private:
    LanguageContext();
    void collectCatalogues(const QString &folder);
    static void installQtCatalogue(const QString &language);

    QMap<QString, QStringList> catalogueFiles;
    QString installedLanguage;
};
