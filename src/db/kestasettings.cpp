#include "db/kestasettings.h"

KestaSettings::KestaSettings(const QString &filePath, QObject *parent)
    : ZTSettings(filePath, true, parent, XML)
{
    // Registered so that values carry their enumeration type (queued
    // connections, QVariant text forms) rather than a bare int.
    qRegisterMetaType<KestaSettings::KestaLanguage>();
    qRegisterMetaType<KestaSettings::ViewPatientCard>();
    qRegisterMetaType<ColorTheme::ColorThemeEnum>();
}

DisplayTexts KestaSettings::displayTexts()
{
    return {
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Language") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "ColorTheme") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "StartMaximized") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "SelectLastPatient") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "PatientCardView") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "CheckForNewVersion") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "TrashPurgeDays") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "days") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "1.Common") },
        { "Generic", QT_TRANSLATE_NOOP("Generic", "Settings") },
        { "KestaLanguage", QT_TRANSLATE_NOOP("KestaLanguage", "en_US") },
        { "KestaLanguage", QT_TRANSLATE_NOOP("KestaLanguage", "ru_RU") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_Right") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_Center") },
        { "ViewPatientCard", QT_TRANSLATE_NOOP("ViewPatientCard", "PatientCard_None") },
        { "ColorThemeEnum", QT_TRANSLATE_NOOP("ColorThemeEnum", "Light") },
        { "ColorThemeEnum", QT_TRANSLATE_NOOP("ColorThemeEnum", "Dark") },
    };
}
