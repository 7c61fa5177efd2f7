#pragma once

// Settings classes of the tests' own for the settings editor (their Russian texts, which the
// program does not ship, in propertylistcontrol/probe_ru_RU.ts), and look-ups that name
// what they miss instead of crashing on it.

#include "toolkit/settings/basepropertylistwidget.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/ztsettings.h"

#include <QColor>
#include <QPoint>
#include <QStringList>

// Declares what the application's settings do not: categories and priorities, visibility
// conditions, limits, suggestions, a point, a colour and special editors.
class EditorProbeSettings : public ZTSettings
{
    Q_OBJECT
public:
    enum Mode { Simple, Advanced, Expert };
    Q_ENUM(Mode)

private:
    // "1.Main": Mode before Enabled by priority, then the rest by name.
    Q_PROPERTY(bool Enabled READ getEnabled WRITE setEnabled RESET resetEnabled NOTIFY changedEnabled)
    Q_CLASSINFO("EnabledEditable", "true")
    Q_CLASSINFO("EnabledCategory", "1.Main")
    Q_PROPERTY(Mode Mode READ getMode WRITE setMode RESET resetMode NOTIFY changedMode)
    Q_CLASSINFO("ModeEditable", "true")
    Q_CLASSINFO("ModeCategory", "1.Main")
    Q_CLASSINFO("ModePriority", "1")
    Q_PROPERTY(int Level READ getLevel WRITE setLevel RESET resetLevel NOTIFY changedLevel)
    Q_CLASSINFO("LevelEditable", "true")
    Q_CLASSINFO("LevelDefault", "4")
    Q_CLASSINFO("LevelMaximum", "10")
    Q_CLASSINFO("LevelStep", "2")
    Q_CLASSINFO("LevelSuffix", " cm")
    Q_CLASSINFO("LevelCategory", "1.Main")
    Q_CLASSINFO("LevelVisibleBound", "Enabled;Mode:Advanced|Expert")
    Q_PROPERTY(double Limit READ getLimit WRITE setLimit RESET resetLimit NOTIFY changedLimit)
    Q_CLASSINFO("LimitEditable", "true")
    Q_CLASSINFO("LimitDefault", "36.6")
    Q_CLASSINFO("LimitSuggestions", "35.5, warm, 38")
    Q_CLASSINFO("LimitCategory", "1.Main")
    Q_CLASSINFO("LimitVisibleBound", "Mode:!Simple&&!Expert")
    Q_PROPERTY(QString Name READ getName WRITE setName RESET resetName NOTIFY changedName)
    Q_CLASSINFO("NameEditable", "true")
    Q_CLASSINFO("NamePlaceholder", "Type a name")
    Q_CLASSINFO("NameDescription", "Printed on every report")
    Q_CLASSINFO("NameCategory", "2.Extra")
    Q_PROPERTY(int Depth READ getDepth WRITE setDepth RESET resetDepth NOTIFY changedDepth)
    Q_CLASSINFO("DepthEditable", "true")
    Q_CLASSINFO("DepthCategory", "3.Expert")
    Q_CLASSINFO("DepthVisibleBound", "Mode:Expert")
    Q_PROPERTY(bool Trace READ getTrace WRITE setTrace RESET resetTrace NOTIFY changedTrace)
    Q_CLASSINFO("TraceEditable", "true")
    Q_CLASSINFO("TraceCategory", "3.Expert")
    Q_CLASSINFO("TraceVisibleBound", "Internal:1")
    // No category. Preset offers an enumerator that does not exist, Copies a text for a number.
    Q_PROPERTY(QPoint Origin READ getOrigin WRITE setOrigin RESET resetOrigin NOTIFY changedOrigin)
    Q_CLASSINFO("OriginEditable", "true")
    Q_PROPERTY(QColor Tint READ getTint WRITE setTint RESET resetTint NOTIFY changedTint)
    Q_CLASSINFO("TintEditable", "true")
    Q_PROPERTY(int Volume READ getVolume WRITE setVolume RESET resetVolume NOTIFY changedVolume)
    Q_CLASSINFO("VolumeEditable", "true")
    Q_CLASSINFO("VolumeStep", "5")
    Q_CLASSINFO("VolumeSpecialType", "Slider")
    Q_PROPERTY(Mode Preset READ getPreset WRITE setPreset RESET resetPreset NOTIFY changedPreset)
    Q_CLASSINFO("PresetEditable", "true")
    Q_CLASSINFO("PresetSpecialType", "EnumStringList:Simple,Advanced,Wizard")
    Q_PROPERTY(int Copies READ getCopies WRITE setCopies RESET resetCopies NOTIFY changedCopies)
    Q_CLASSINFO("CopiesEditable", "true")
    Q_CLASSINFO("CopiesSpecialType", "EnumStringList:1,2,many")
    // Not editable, never in a form.
    Q_PROPERTY(int Internal READ getInternal WRITE setInternal RESET resetInternal NOTIFY changedInternal)

    ZT_SETTING(bool, Enabled, false)
    ZT_SETTING(Mode, Mode, Simple)
    ZT_SETTING(int, Level, 4)
    ZT_SETTING(double, Limit, 36.6)
    ZT_SETTING(QString, Name)
    ZT_SETTING(int, Depth, 1)
    ZT_SETTING(bool, Trace, false)
    ZT_SETTING(QPoint, Origin, 3, 4)
    ZT_SETTING(QColor, Tint, Qt::red)
    ZT_SETTING(int, Volume, 50)
    ZT_SETTING(Mode, Preset, Simple)
    ZT_SETTING(int, Copies, 1)
    ZT_SETTING(int, Internal, 0)

public:
    using ZTSettings::ZTSettings;
};

// No categories; one condition names a setting that does not exist.
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
    using ZTSettings::ZTSettings;
};

namespace editortest
{

// Shows the widget and makes it the active window.
bool activated(QWidget *widget);
QStringList rowNames(const BasePropertyListWidget &form);
// The row's view; a missing row ends the run with its name.
BasePropertyView *viewOf(const BasePropertyListWidget &form, const QString &name);
// The row's editor as a T; a missing row or an editor of another kind ends the run with its name.
template <class T> T *editorOf(const BasePropertyListWidget &form, const QString &name)
{
    QWidget *editor = viewOf(form, name)->getEditor();
    T *typed = qobject_cast<T *>(editor);
    if (!typed)
        qFatal("the editor of %s is a %s, not a %s", qPrintable(name),
            editor ? editor->metaObject()->className() : "null", T::staticMetaObject.className());
    return typed;
}
// Shown as the user would see it: header and editor both on screen.
bool rowShown(const BasePropertyListWidget &form, const QString &name);

} // namespace editortest
