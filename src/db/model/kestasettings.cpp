#include "db/model/kestasettings.h"

#include <QMetaEnum>

KestaSettings::KestaSettings(const QString &filePath, QObject *parent)
    : ZTSettings(filePath, true, parent, XML)
{
    // Registered so that values carry their enumeration type (queued
    // connections, QVariant text forms) rather than a bare int.
    qRegisterMetaType<KestaSettings::KestaLanguage>();
    qRegisterMetaType<KestaSettings::ViewPatientCard>();
    qRegisterMetaType<KestaSettings::TlsMode>();
    qRegisterMetaType<ColorTheme::ColorThemeEnum>();
}

DatabaseLocation KestaSettings::databaseLocation(const QString &databaseFile) const
{
    if (m_ServerHost.trimmed().isEmpty())
        return DatabaseLocation::file(databaseFile);
    DatabaseLocation location;
    location.backend = DatabaseLocation::Backend::Postgres;
    location.host = m_ServerHost.trimmed();
    location.port = m_ServerPort;
    location.databaseName = m_ServerDatabase.trimmed();
    location.user = m_ServerUser.trimmed();
    location.tlsMode = QString::fromLatin1(QMetaEnum::fromType<TlsMode>().valueToKey(m_ServerTlsMode))
                           .replace(QLatin1Char('_'), QLatin1Char('-'));
    location.timeoutSeconds = m_ServerTimeoutSeconds;
    return location;
}

DisplayTexts KestaSettings::displayTexts()
{
    return {
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Language") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ColorTheme") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "StartMaximized") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "SelectLastPatient") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ClinicName") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "PatientCardView") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "CheckForNewVersion") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "DataFolder") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerHost") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerPort") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerDatabase") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerUser") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerTlsMode") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ServerTimeoutSeconds") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "s") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "TrashPurgeDays") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "LogPatientViews") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "BackupRecipients") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "EegViewer") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "days") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "1.Common") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "2.Server") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Settings") },
        { "KestaLanguage", QT_TRANSLATE_NOOP("KestaLanguage", "en_US") },
        { "KestaLanguage", QT_TRANSLATE_NOOP("KestaLanguage", "ru_RU") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_Right") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_Center") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_None") },
        { "TlsMode", QT_TRANSLATE_NOOP("TlsMode", "disable") },
        { "TlsMode", QT_TRANSLATE_NOOP("TlsMode", "require") },
        { "TlsMode", QT_TRANSLATE_NOOP("TlsMode", "verify_full") },
        { "ColorThemeEnum", QT_TRANSLATE_NOOP("ColorThemeEnum", "Light") },
        { "ColorThemeEnum", QT_TRANSLATE_NOOP("ColorThemeEnum", "Dark") },
    };
}
