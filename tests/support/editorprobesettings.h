#pragma once

#include "toolkit/settings/ztsettings.h"

#include <QColor>
#include <QDate>
#include <QPoint>

// A settings class for the settings editor's tests, declaring what the
// application's own settings do not: categories and priorities, visibility
// conditions, limits, a point, a colour, special editors, a read-only setting,
// settings without a default, hidden and non-editable ones.
class EditorProbeSettings : public ZTSettings
{
    Q_OBJECT
public:
    enum Mode { Simple = 0, Advanced = 1, Expert = 2 };
    Q_ENUM(Mode)

private:
    // clang-format off
    // Category "1.Main": Enabled before Mode by priority, then the rest by name.
    Q_PROPERTY(bool Enabled READ getEnabled WRITE setEnabled RESET resetEnabled NOTIFY changedEnabled)
    Q_CLASSINFO("EnabledEditable", "true")
    Q_CLASSINFO("EnabledDefault", "false")
    Q_CLASSINFO("EnabledCategory", "1.Main")
    Q_CLASSINFO("EnabledPriority", "1")
    Q_PROPERTY(Mode Mode READ getMode WRITE setMode RESET resetMode NOTIFY changedMode)
    Q_CLASSINFO("ModeEditable", "true")
    Q_CLASSINFO("ModeDefault", "EditorProbeSettings::Simple")
    Q_CLASSINFO("ModeCategory", "1.Main")
    Q_CLASSINFO("ModePriority", "2")
    // Shown while Enabled is true and Mode is Advanced or Expert.
    Q_PROPERTY(int Level READ getLevel WRITE setLevel RESET resetLevel NOTIFY changedLevel)
    Q_CLASSINFO("LevelEditable", "true")
    Q_CLASSINFO("LevelDefault", "4")
    Q_CLASSINFO("LevelMinimum", "0")
    Q_CLASSINFO("LevelMaximum", "10")
    Q_CLASSINFO("LevelStep", "2")
    Q_CLASSINFO("LevelSuffix", " cm")
    Q_CLASSINFO("LevelCategory", "1.Main")
    Q_CLASSINFO("LevelVisibleBound", "Enabled;Mode:Advanced|Expert")
    // Shown while Mode is neither Simple nor Expert.
    Q_PROPERTY(double Threshold READ getThreshold WRITE setThreshold RESET resetThreshold NOTIFY changedThreshold)
    Q_CLASSINFO("ThresholdEditable", "true")
    Q_CLASSINFO("ThresholdDefault", "36.6")
    Q_CLASSINFO("ThresholdMinimum", "0")
    Q_CLASSINFO("ThresholdMaximum", "60")
    Q_CLASSINFO("ThresholdStep", "0.1")
    Q_CLASSINFO("ThresholdPrecision", "1")
    Q_CLASSINFO("ThresholdSuggestions", "35.5, 36.6, warm, 38")
    Q_CLASSINFO("ThresholdSuffix", "!-°C")
    Q_CLASSINFO("ThresholdCategory", "1.Main")
    Q_CLASSINFO("ThresholdVisibleBound", "Mode:!Simple&&!Expert")
    Q_PROPERTY(QString Serial READ getSerial WRITE setSerial RESET resetSerial NOTIFY changedSerial)
    Q_CLASSINFO("SerialEditable", "true")
    Q_CLASSINFO("SerialDefault", "\"K-1\"")
    Q_CLASSINFO("SerialReadOnly", "")
    Q_CLASSINFO("SerialCategory", "1.Main")

    // Category "2.Extra".
    Q_PROPERTY(QString Name READ getName WRITE setName RESET resetName NOTIFY changedName)
    Q_CLASSINFO("NameEditable", "true")
    Q_CLASSINFO("NamePlaceholder", "Type a name")
    Q_CLASSINFO("NameDescription", "Printed on every report")
    Q_CLASSINFO("NameCategory", "2.Extra")
    Q_PROPERTY(QPoint Origin READ getOrigin WRITE setOrigin RESET resetOrigin NOTIFY changedOrigin)
    Q_CLASSINFO("OriginEditable", "true")
    Q_CLASSINFO("OriginDefault", "3,4")
    Q_CLASSINFO("OriginCategory", "2.Extra")
    Q_PROPERTY(QColor Tint READ getTint WRITE setTint RESET resetTint NOTIFY changedTint)
    Q_CLASSINFO("TintEditable", "true")
    Q_CLASSINFO("TintDefault", "QColor(Qt::red)")
    Q_CLASSINFO("TintCategory", "2.Extra")
    Q_PROPERTY(QDate Started READ getStarted WRITE setStarted RESET resetStarted NOTIFY changedStarted)
    Q_CLASSINFO("StartedEditable", "true")
    Q_CLASSINFO("StartedDefault", "QDate()")
    Q_CLASSINFO("StartedNoDefault", "")
    Q_CLASSINFO("StartedCategory", "2.Extra")
    // Shown while the hidden setting Unlock reads "yes".
    Q_PROPERTY(QString Secret READ getSecret WRITE setSecret RESET resetSecret NOTIFY changedSecret)
    Q_CLASSINFO("SecretEditable", "true")
    Q_CLASSINFO("SecretCategory", "2.Extra")
    Q_CLASSINFO("SecretVisibleBound", "Unlock:yes")

    // Category "3.Expert": every row depends on Mode.
    Q_PROPERTY(int Depth READ getDepth WRITE setDepth RESET resetDepth NOTIFY changedDepth)
    Q_CLASSINFO("DepthEditable", "true")
    Q_CLASSINFO("DepthDefault", "1")
    Q_CLASSINFO("DepthCategory", "3.Expert")
    Q_CLASSINFO("DepthVisibleBound", "Mode:Expert")
    Q_PROPERTY(bool Trace READ getTrace WRITE setTrace RESET resetTrace NOTIFY changedTrace)
    Q_CLASSINFO("TraceEditable", "true")
    Q_CLASSINFO("TraceCategory", "3.Expert")
    Q_CLASSINFO("TraceVisibleBound", "Mode:!Simple&&!Advanced")

    // No category: special editors.
    Q_PROPERTY(QString Notes READ getNotes WRITE setNotes RESET resetNotes NOTIFY changedNotes)
    Q_CLASSINFO("NotesEditable", "true")
    Q_CLASSINFO("NotesSpecialType", "Multiline")
    Q_PROPERTY(QString DataFolder READ getDataFolder WRITE setDataFolder RESET resetDataFolder NOTIFY
            changedDataFolder)
    Q_CLASSINFO("DataFolderEditable", "true")
    Q_CLASSINFO("DataFolderSpecialType", "PickFolder")
    Q_PROPERTY(QString Recording READ getRecording WRITE setRecording RESET resetRecording NOTIFY changedRecording)
    Q_CLASSINFO("RecordingEditable", "true")
    Q_CLASSINFO("RecordingSpecialType", "PickFile:Recordings (*.edf)")
    Q_PROPERTY(int Volume READ getVolume WRITE setVolume RESET resetVolume NOTIFY changedVolume)
    Q_CLASSINFO("VolumeEditable", "true")
    Q_CLASSINFO("VolumeDefault", "50")
    Q_CLASSINFO("VolumeMinimum", "0")
    Q_CLASSINFO("VolumeMaximum", "100")
    Q_CLASSINFO("VolumeStep", "5")
    Q_CLASSINFO("VolumeSpecialType", "Slider")
    Q_PROPERTY(QString Band READ getBand WRITE setBand RESET resetBand NOTIFY changedBand)
    Q_CLASSINFO("BandEditable", "true")
    Q_CLASSINFO("BandSpecialType", "Range")
    Q_CLASSINFO("BandMinimum", "0")
    Q_CLASSINFO("BandMaximum", "100")
    // Offers an enumerator that does not exist.
    Q_PROPERTY(Mode Preset READ getPreset WRITE setPreset RESET resetPreset NOTIFY changedPreset)
    Q_CLASSINFO("PresetEditable", "true")
    Q_CLASSINFO("PresetSpecialType", "EnumStringList:Simple,Advanced,Wizard")
    // Offers a text for a number.
    Q_PROPERTY(int Copies READ getCopies WRITE setCopies RESET resetCopies NOTIFY changedCopies)
    Q_CLASSINFO("CopiesEditable", "true")
    Q_CLASSINFO("CopiesSpecialType", "EnumStringList:1,2,many")

    // Never in a form.
    Q_PROPERTY(QString Unlock READ getUnlock WRITE setUnlock RESET resetUnlock NOTIFY changedUnlock)
    Q_CLASSINFO("UnlockEditable", "true")
    Q_CLASSINFO("UnlockNotVisible", "")
    Q_PROPERTY(int Internal READ getInternal WRITE setInternal RESET resetInternal NOTIFY changedInternal)

    ZT_SETTING(bool, Enabled, false)
    ZT_SETTING(Mode, Mode, Simple)
    ZT_SETTING(int, Level, 4)
    ZT_SETTING(double, Threshold, 36.6)
    ZT_SETTING(QString, Serial, "K-1")
    ZT_SETTING(QString, Name)
    ZT_SETTING(QPoint, Origin, 3, 4)
    ZT_SETTING(QColor, Tint, Qt::red)
    ZT_SETTING(QDate, Started)
    ZT_SETTING(QString, Secret)
    ZT_SETTING(int, Depth, 1)
    ZT_SETTING(bool, Trace, false)
    ZT_SETTING(QString, Notes)
    ZT_SETTING(QString, DataFolder)
    ZT_SETTING(QString, Recording)
    ZT_SETTING(int, Volume, 50)
    ZT_SETTING(QString, Band)
    ZT_SETTING(Mode, Preset, Simple)
    ZT_SETTING(int, Copies, 1)
    ZT_SETTING(QString, Unlock)
    ZT_SETTING(int, Internal, 0)
    // clang-format on

public:
    explicit EditorProbeSettings(const QString &filePath = QString(), QObject *parent = nullptr);
};

// Two settings without categories; one condition names a setting that does not exist.
class EditorOrphanSettings : public ZTSettings
{
    Q_OBJECT
    Q_PROPERTY(bool Shown READ getShown WRITE setShown RESET resetShown NOTIFY changedShown)
    Q_CLASSINFO("ShownEditable", "true")
    Q_PROPERTY(bool Orphan READ getOrphan WRITE setOrphan RESET resetOrphan NOTIFY changedOrphan)
    Q_CLASSINFO("OrphanEditable", "true")
    Q_CLASSINFO("OrphanVisibleBound", "Missing;Shown")

    ZT_SETTING(bool, Shown, true)
    ZT_SETTING(bool, Orphan, false)

public:
    explicit EditorOrphanSettings(QObject *parent = nullptr);
};
