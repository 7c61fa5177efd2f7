#pragma once

#include "db/storage/databaselocation.h"
#include "toolkit/settings/displaytext.h"
#include "toolkit/settings/ztsettings.h"
#include "toolkit/style/colortheme.h"

#include <QList>

// The application's settings, stored in "Settings.xml" and saved at every change.
class KestaSettings : public ZTSettings
{
    Q_OBJECT
public:
    enum KestaLanguage { en_US = 0, ru_RU = 1 };
    Q_ENUM(KestaLanguage)
    enum ViewPatientCard { PatientCard_Right = 0, PatientCard_Center = 1, PatientCard_None = 2 };
    Q_ENUM(ViewPatientCard)
    // The server connection's TLS, by libpq's names ("verify_full" is its "verify-full").
    enum TlsMode { disable = 0, require = 1, verify_full = 2 };
    Q_ENUM(TlsMode)

    // Read at start-up from the file's text before this object exists, so a
    // new choice takes effect at the next start.
    Q_PROPERTY(KestaSettings::KestaLanguage Language READ getLanguage WRITE setLanguage RESET resetLanguage
            NOTIFY changedLanguage)
    Q_CLASSINFO("LanguageEditable", "true")
    Q_CLASSINFO("LanguageCategory", "1.Common")
    Q_CLASSINFO("LanguageDefault", "KestaLanguage::ru_RU")
    Q_CLASSINFO("LanguageNoDefault", "true")
    Q_CLASSINFO("LanguageIcon", ":/icons/translate.svg")
    ZT_SETTING(KestaSettings::KestaLanguage, Language, ru_RU)

    Q_PROPERTY(ColorTheme::ColorThemeEnum ColorTheme READ getColorTheme WRITE setColorTheme RESET
            resetColorTheme NOTIFY changedColorTheme)
    Q_CLASSINFO("ColorThemeEditable", "true")
    Q_CLASSINFO("ColorThemeCategory", "1.Common")
    Q_CLASSINFO("ColorThemeDefault", "ColorTheme::ColorThemeEnum::Light")
    ZT_SETTING(ColorTheme::ColorThemeEnum, ColorTheme, ColorTheme::Light)

    Q_PROPERTY(bool StartMaximized READ getStartMaximized WRITE setStartMaximized RESET resetStartMaximized
            NOTIFY changedStartMaximized)
    Q_CLASSINFO("StartMaximizedEditable", "true")
    Q_CLASSINFO("StartMaximizedCategory", "1.Common")
    Q_CLASSINFO("StartMaximizedDefault", "true")
    ZT_SETTING(bool, StartMaximized, true)

    Q_PROPERTY(bool SelectLastPatient READ getSelectLastPatient WRITE setSelectLastPatient RESET
            resetSelectLastPatient NOTIFY changedSelectLastPatient)
    Q_CLASSINFO("SelectLastPatientEditable", "true")
    Q_CLASSINFO("SelectLastPatientCategory", "1.Common")
    Q_CLASSINFO("SelectLastPatientDefault", "true")
    ZT_SETTING(bool, SelectLastPatient, true)

    // Heads every printed page.
    Q_PROPERTY(QString ClinicName READ getClinicName WRITE setClinicName RESET resetClinicName NOTIFY
            changedClinicName)
    Q_CLASSINFO("ClinicNameEditable", "true")
    Q_CLASSINFO("ClinicNameCategory", "1.Common")
    Q_CLASSINFO("ClinicNameDefault", "\"\"")
    ZT_SETTING(QString, ClinicName, "")

    // The four table strings and the splitter sizes are written by the tables
    // and the main window in forms of their own; here they are plain text.
    Q_PROPERTY(QString PatientsTableSorting READ getPatientsTableSorting WRITE setPatientsTableSorting RESET
            resetPatientsTableSorting NOTIFY changedPatientsTableSorting)
    Q_CLASSINFO("PatientsTableSortingEditable", "true")
    Q_CLASSINFO("PatientsTableSortingNotVisible", "true")
    Q_CLASSINFO("PatientsTableSortingDefault", "\"\"")
    ZT_SETTING(QString, PatientsTableSorting, "")

    Q_PROPERTY(QString PatientsTableColumns READ getPatientsTableColumns WRITE setPatientsTableColumns RESET
            resetPatientsTableColumns NOTIFY changedPatientsTableColumns)
    Q_CLASSINFO("PatientsTableColumnsEditable", "true")
    Q_CLASSINFO("PatientsTableColumnsNotVisible", "true")
    Q_CLASSINFO("PatientsTableColumnsDefault", "\"\"")
    ZT_SETTING(QString, PatientsTableColumns, "")

    Q_PROPERTY(QString RecordsTableSorting READ getRecordsTableSorting WRITE setRecordsTableSorting RESET
            resetRecordsTableSorting NOTIFY changedRecordsTableSorting)
    Q_CLASSINFO("RecordsTableSortingEditable", "true")
    Q_CLASSINFO("RecordsTableSortingNotVisible", "true")
    Q_CLASSINFO("RecordsTableSortingDefault", "\"\"")
    ZT_SETTING(QString, RecordsTableSorting, "")

    Q_PROPERTY(QString RecordsTableColumns READ getRecordsTableColumns WRITE setRecordsTableColumns RESET
            resetRecordsTableColumns NOTIFY changedRecordsTableColumns)
    Q_CLASSINFO("RecordsTableColumnsEditable", "true")
    Q_CLASSINFO("RecordsTableColumnsNotVisible", "true")
    Q_CLASSINFO("RecordsTableColumnsDefault", "\"RecordDate;Duration;Comments\"")
    ZT_SETTING(QString, RecordsTableColumns, "RecordDate;Duration;Comments")

    // The preview of the selected recording under the records (View menu).
    Q_PROPERTY(bool ShowRecordingPreview READ getShowRecordingPreview WRITE setShowRecordingPreview RESET
            resetShowRecordingPreview NOTIFY changedShowRecordingPreview)
    Q_CLASSINFO("ShowRecordingPreviewEditable", "true")
    Q_CLASSINFO("ShowRecordingPreviewNotVisible", "true")
    Q_CLASSINFO("ShowRecordingPreviewDefault", "true")
    ZT_SETTING(bool, ShowRecordingPreview, true)

    Q_PROPERTY(QString SplitterSizes READ getSplitterSizes WRITE setSplitterSizes RESET resetSplitterSizes
            NOTIFY changedSplitterSizes)
    Q_CLASSINFO("SplitterSizesEditable", "true")
    Q_CLASSINFO("SplitterSizesNotVisible", "true")
    Q_CLASSINFO("SplitterSizesDefault", "\"\"")
    ZT_SETTING(QString, SplitterSizes, "")

    Q_PROPERTY(KestaSettings::ViewPatientCard PatientCardView READ getPatientCardView WRITE setPatientCardView
            RESET resetPatientCardView NOTIFY changedPatientCardView)
    Q_CLASSINFO("PatientCardViewEditable", "true")
    Q_CLASSINFO("PatientCardViewCategory", "1.Common")
    Q_CLASSINFO("PatientCardViewDefault", "ViewPatientCard::PatientCard_Right")
    ZT_SETTING(KestaSettings::ViewPatientCard, PatientCardView, PatientCard_Right)

    Q_PROPERTY(int LastPatientId READ getLastPatientId WRITE setLastPatientId RESET resetLastPatientId NOTIFY
            changedLastPatientId)
    Q_CLASSINFO("LastPatientIdEditable", "true")
    Q_CLASSINFO("LastPatientIdNotVisible", "true")
    Q_CLASSINFO("LastPatientIdDefault", "-1")
    ZT_SETTING(int, LastPatientId, -1)

    Q_PROPERTY(bool CheckForNewVersion READ getCheckForNewVersion WRITE setCheckForNewVersion RESET
            resetCheckForNewVersion NOTIFY changedCheckForNewVersion)
    Q_CLASSINFO("CheckForNewVersionEditable", "true")
    Q_CLASSINFO("CheckForNewVersionCategory", "1.Common")
    Q_CLASSINFO("CheckForNewVersionDefault", "true")
    ZT_SETTING(bool, CheckForNewVersion, true)

    // The main window's place and size as the window saves them (base64); empty until the
    // window was first shown.
    Q_PROPERTY(QString WindowGeometry READ getWindowGeometry WRITE setWindowGeometry RESET resetWindowGeometry
            NOTIFY changedWindowGeometry)
    Q_CLASSINFO("WindowGeometryEditable", "true")
    Q_CLASSINFO("WindowGeometryNotVisible", "true")
    Q_CLASSINFO("WindowGeometryDefault", "\"\"")
    ZT_SETTING(QString, WindowGeometry, "")

    // Where the patients' folders (and the local database file) lie; empty for
    // the platform's data folder. Workstations sharing a server point this at
    // one mounted share. Read at start-up.
    Q_PROPERTY(QString DataFolder READ getDataFolder WRITE setDataFolder RESET resetDataFolder NOTIFY
            changedDataFolder)
    Q_CLASSINFO("DataFolderEditable", "true")
    Q_CLASSINFO("DataFolderCategory", "1.Common")
    Q_CLASSINFO("DataFolderDefault", "\"\"")
    ZT_SETTING(QString, DataFolder, "")

    // The shared server; with no host the local database file is used. Read
    // at start-up. The password is never stored here: libpq reads ~/.pgpass,
    // or the user is asked once per session.
    Q_PROPERTY(QString ServerHost READ getServerHost WRITE setServerHost RESET resetServerHost NOTIFY
            changedServerHost)
    Q_CLASSINFO("ServerHostEditable", "true")
    Q_CLASSINFO("ServerHostCategory", "2.Server")
    Q_CLASSINFO("ServerHostPriority", "1")
    Q_CLASSINFO("ServerHostDefault", "\"\"")
    ZT_SETTING(QString, ServerHost, "")

    Q_PROPERTY(
        int ServerPort READ getServerPort WRITE setServerPort RESET resetServerPort NOTIFY changedServerPort)
    Q_CLASSINFO("ServerPortEditable", "true")
    Q_CLASSINFO("ServerPortCategory", "2.Server")
    Q_CLASSINFO("ServerPortPriority", "2")
    Q_CLASSINFO("ServerPortDefault", "5432")
    Q_CLASSINFO("ServerPortMinimum", "1")
    Q_CLASSINFO("ServerPortMaximum", "65535")
    ZT_SETTING(int, ServerPort, 5432)

    Q_PROPERTY(QString ServerDatabase READ getServerDatabase WRITE setServerDatabase RESET resetServerDatabase
            NOTIFY changedServerDatabase)
    Q_CLASSINFO("ServerDatabaseEditable", "true")
    Q_CLASSINFO("ServerDatabaseCategory", "2.Server")
    Q_CLASSINFO("ServerDatabasePriority", "3")
    Q_CLASSINFO("ServerDatabaseDefault", "kesta")
    ZT_SETTING(QString, ServerDatabase, "kesta")

    Q_PROPERTY(QString ServerUser READ getServerUser WRITE setServerUser RESET resetServerUser NOTIFY
            changedServerUser)
    Q_CLASSINFO("ServerUserEditable", "true")
    Q_CLASSINFO("ServerUserCategory", "2.Server")
    Q_CLASSINFO("ServerUserPriority", "4")
    Q_CLASSINFO("ServerUserDefault", "kesta")
    ZT_SETTING(QString, ServerUser, "kesta")

    Q_PROPERTY(KestaSettings::TlsMode ServerTlsMode READ getServerTlsMode WRITE setServerTlsMode RESET
            resetServerTlsMode NOTIFY changedServerTlsMode)
    Q_CLASSINFO("ServerTlsModeEditable", "true")
    Q_CLASSINFO("ServerTlsModeCategory", "2.Server")
    Q_CLASSINFO("ServerTlsModePriority", "5")
    Q_CLASSINFO("ServerTlsModeDefault", "TlsMode::require")
    ZT_SETTING(KestaSettings::TlsMode, ServerTlsMode, require)

    // The longest a call to the server may wait for its answer before it is
    // given up (a lost network, a stopped server, a lock held elsewhere).
    Q_PROPERTY(int ServerTimeoutSeconds READ getServerTimeoutSeconds WRITE setServerTimeoutSeconds RESET
            resetServerTimeoutSeconds NOTIFY changedServerTimeoutSeconds)
    Q_CLASSINFO("ServerTimeoutSecondsEditable", "true")
    Q_CLASSINFO("ServerTimeoutSecondsCategory", "2.Server")
    Q_CLASSINFO("ServerTimeoutSecondsPriority", "6")
    Q_CLASSINFO("ServerTimeoutSecondsDefault", "10")
    Q_CLASSINFO("ServerTimeoutSecondsMinimum", "2")
    Q_CLASSINFO("ServerTimeoutSecondsMaximum", "600")
    Q_CLASSINFO("ServerTimeoutSecondsSuffix", " s")
    ZT_SETTING(int, ServerTimeoutSeconds, 10)

    // Removed patients and recordings wait in the trash this many days; at the
    // next start after that they are deleted for good.
    Q_PROPERTY(int TrashPurgeDays READ getTrashPurgeDays WRITE setTrashPurgeDays RESET resetTrashPurgeDays
            NOTIFY changedTrashPurgeDays)
    Q_CLASSINFO("TrashPurgeDaysEditable", "true")
    Q_CLASSINFO("TrashPurgeDaysCategory", "1.Common")
    Q_CLASSINFO("TrashPurgeDaysDefault", "30")
    Q_CLASSINFO("TrashPurgeDaysMinimum", "1")
    Q_CLASSINFO("TrashPurgeDaysMaximum", "3650")
    Q_CLASSINFO("TrashPurgeDaysSuffix", " days")
    ZT_SETTING(int, TrashPurgeDays, 30)

    // Notes who opened which patient's card (at most once per patient,
    // workstation and ten minutes), for the administrator to read.
    Q_PROPERTY(bool LogPatientViews READ getLogPatientViews WRITE setLogPatientViews RESET
            resetLogPatientViews NOTIFY changedLogPatientViews)
    Q_CLASSINFO("LogPatientViewsEditable", "true")
    Q_CLASSINFO("LogPatientViewsCategory", "1.Common")
    Q_CLASSINFO("LogPatientViewsDefault", "false")
    ZT_SETTING(bool, LogPatientViews, false)

    // The full fingerprints of the OpenPGP keys a backup may be encrypted to
    // (the clinic's backup key), apart by commas or spaces. Only their public
    // parts are needed here; the secret part is kept off this workstation.
    Q_PROPERTY(QString BackupRecipients READ getBackupRecipients WRITE setBackupRecipients RESET
            resetBackupRecipients NOTIFY changedBackupRecipients)
    Q_CLASSINFO("BackupRecipientsEditable", "true")
    Q_CLASSINFO("BackupRecipientsCategory", "1.Common")
    Q_CLASSINFO("BackupRecipientsDefault", "\"\"")
    ZT_SETTING(QString, BackupRecipients, "")

    // The program "Open in EEG viewer" hands a recording to, its path after
    // the program's own arguments; empty for the desktop's choice for EDF files.
    Q_PROPERTY(
        QString EegViewer READ getEegViewer WRITE setEegViewer RESET resetEegViewer NOTIFY changedEegViewer)
    Q_CLASSINFO("EegViewerEditable", "true")
    Q_CLASSINFO("EegViewerCategory", "1.Common")
    Q_CLASSINFO("EegViewerDefault", "\"\"")
    ZT_SETTING(QString, EegViewer, "")

public:
    // Every value starts at its default; nothing is read until reload.
    explicit KestaSettings(const QString &filePath, QObject *parent = nullptr);

    // The server these settings name, or the local file at databaseFile when
    // they name none.
    DatabaseLocation databaseLocation(const QString &databaseFile) const;

    // What the settings dialog shows for this object: setting names, the
    // category, the dialog title and the enumerator keys.
    static DisplayTexts displayTexts();
};
