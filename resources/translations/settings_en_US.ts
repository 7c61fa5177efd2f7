<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ColorThemeEnum</name>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation>Color theme</translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation>Start maximized</translation>
    </message>
    <message>
        <source>SelectLastPatient</source>
        <translation>Select last patient on startup</translation>
    </message>
    <message>
        <source>PatientCardView</source>
        <translation>Patient card view</translation>
    </message>
    <message>
        <source>CheckForNewVersion</source>
        <translation>Check for new version</translation>
    </message>
    <message>
        <source>1.Common</source>
        <translation>Common</translation>
    </message>
    <message>
        <source>2.Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>DataFolder</source>
        <translation>Data folder</translation>
    </message>
    <message>
        <source>ServerHost</source>
        <translation>Database server</translation>
    </message>
    <message>
        <source>ServerPort</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>ServerDatabase</source>
        <translation>Database name</translation>
    </message>
    <message>
        <source>ServerUser</source>
        <translation>Database user</translation>
    </message>
    <message>
        <source>ServerTlsMode</source>
        <translation>Connection encryption</translation>
    </message>
    <message>
        <source>BackupRecipients</source>
        <translation>Backup encryption keys</translation>
    </message>
    <message>
        <source>ServerTimeoutSeconds</source>
        <translation>Longest wait for the server</translation>
    </message>
    <message>
        <source>s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LogPatientViews</source>
        <translation>Log who opened patient cards</translation>
    </message>
    <message>
        <source>TrashPurgeDays</source>
        <translation>Keep removed items in the trash</translation>
    </message>
    <message>
        <source>days</source>
        <translation>days</translation>
    </message>
    <message>
        <source>ClinicName</source>
        <translation>Clinic name</translation>
    </message>
    <message>
        <source>EegViewer</source>
        <translation>EEG viewer program</translation>
    </message>
</context>
<context>
    <name>KestaLanguage</name>
    <message>
        <source>en_US</source>
        <translation>English</translation>
    </message>
    <message>
        <source>ru_RU</source>
        <translation>Русский</translation>
    </message>
</context>
<context>
    <name>TlsMode</name>
    <message>
        <source>disable</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>require</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>verify_full</source>
        <translation>Required, server certificate checked</translation>
    </message>
</context>
<context>
    <name>ViewPatientCard</name>
    <message>
        <source>PatientCard_Right</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>PatientCard_Center</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>PatientCard_None</source>
        <translation>Not displayed</translation>
    </message>
</context>
</TS>
