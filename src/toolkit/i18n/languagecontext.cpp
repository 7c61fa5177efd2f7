#include "toolkit/i18n/languagecontext.h"

#include "toolkit/settings/settingsfile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool LanguageContext::UseFilesInRootDir = true;

namespace
{

const int CodeLength = 5;
const QString CatalogueSuffix = QStringLiteral(".qm");

} // namespace

LanguageContext::LanguageContext()
{
    collectCatalogues(QStringLiteral(":"));
    if (UseFilesInRootDir && QCoreApplication::instance())
        collectCatalogues(QCoreApplication::applicationDirPath());
    // Directory order is arbitrary; a fixed order keeps which catalogue wins a
    // shared message the same from run to run.
    for (QStringList &files : catalogueFiles)
        files.sort();
}

void LanguageContext::collectCatalogues(const QString &folder)
{
    QDirIterator it(folder, { QStringLiteral("*.qm") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        if (name.size() < CodeLength + CatalogueSuffix.size())
            continue;
        catalogueFiles[name.right(CodeLength + CatalogueSuffix.size()).left(CodeLength)].append(path);
    }
}

LanguageContext *LanguageContext::Instance()
{
    // Never destroyed: it lives as long as the translators it installed.
    static LanguageContext *const instance = new LanguageContext;
    return instance;
}

QStringList LanguageContext::availableLanguages()
{
    return Instance()->catalogueFiles.keys();
}

bool LanguageContext::hasLanguage(const QString &code)
{
    return Instance()->catalogueFiles.contains(code);
}

QString LanguageContext::currentLanguage()
{
    return Instance()->installedLanguage;
}

QString LanguageContext::systemLanguage()
{
    return QLocale::system().name();
}

QString LanguageContext::setLanguage(const QString &code)
{
    LanguageContext *const self = Instance();
    // Translators belong to the application object and cannot be installed without one.
    if (!QCoreApplication::instance())
        return self->installedLanguage;

    QString language = code;
    if (!hasLanguage(language)) {
        const QString system = systemLanguage();
        if (hasLanguage(system))
            language = system;
        else if (hasLanguage(QStringLiteral("en-EN")))
            language = QStringLiteral("en-EN");
        else
            language = availableLanguages().value(0);
    }

    const auto files = self->catalogueFiles.constFind(language);
    if (files == self->catalogueFiles.constEnd())
        return self->installedLanguage;
    for (const QString &path : *files) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(path))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    self->installedLanguage = language;
    installQtCatalogue(language);
    // Month and day names (the calendar), numbers and dates in Qt's own widgets follow the
    // interface, not the system.
    QLocale::setDefault(QLocale(language));
    return language;
}

void LanguageContext::installQtCatalogue(const QString &language)
{
    // Qt's own texts (standard buttons, the file chooser): from Qt's installation, and for a
    // program shipped with its own copy of Qt, from its folder.
    const QLocale locale(language);
    for (const QString &folder : { QLibraryInfo::location(QLibraryInfo::TranslationsPath),
             QCoreApplication::applicationDirPath() + QStringLiteral("/translations") }) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
        delete translator;
    }
}

QString LanguageContext::startupLanguage(const QString &settingsPath)
{
    const QString system = systemLanguage();
    QByteArray bytes;
    if (!SettingsFile::read(settingsPath, &bytes))
        return system;
    const QString text = QString::fromUtf8(bytes);

    // A file the program wrote starts with its XML declaration, so a tag at the
    // very start is not taken for the setting.
    const QString tag = QStringLiteral("<Language>");
    const int tagAt = text.indexOf(tag);
    if (tagAt <= 0)
        return system;
    const int valueAt = tagAt + tag.size();
    // Without an end tag the value is malformed: the rest of the file is no code.
    const int endAt = text.indexOf(QLatin1String("</"), valueAt);
    if (endAt < 0)
        return system;

    const QString stored = text.mid(valueAt, endAt - valueAt);
    if (stored.size() == CodeLength && stored.contains(QLatin1Char('_')) && hasLanguage(stored))
        return stored;
    return system;
}
