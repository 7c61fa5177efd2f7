#pragma once

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/ztsettings.h"

#include <QColor>
#include <QDateTime>
#include <QPoint>
#include <QPointF>
#include <QSize>

// A settings class that declares every attribute kind and every type the
// file forms treat specially.
class SampleSettings : public ZTSettings
{
    Q_OBJECT
public:
    enum Mode { Slow = 0, Fast = 1, Turbo = 2 };
    Q_ENUM(Mode)

    Q_PROPERTY(int Zoom READ getZoom WRITE setZoom RESET resetZoom NOTIFY changedZoom)
    Q_CLASSINFO("ZoomEditable", "true")
    Q_CLASSINFO("ZoomDefault", "100")
    Q_CLASSINFO("ZoomMinimum", "10")
    Q_CLASSINFO("ZoomMaximum", "400")
    Q_CLASSINFO("ZoomStep", "5")
    Q_CLASSINFO("ZoomPrefix", "x")
    Q_CLASSINFO("ZoomSuffix", " %")
    Q_CLASSINFO("ZoomCategory", "View")
    Q_CLASSINFO("ZoomPriority", "3")
    Q_CLASSINFO("ZoomDescription", "How large the page is drawn")
    Q_CLASSINFO("ZoomIcon", ":/icons/zoom.svg")
    ZT_SETTING(int, Zoom, 100)

    Q_PROPERTY(double Ratio READ getRatio WRITE setRatio RESET resetRatio NOTIFY changedRatio)
    Q_CLASSINFO("RatioEditable", "true")
    Q_CLASSINFO("RatioDefault", "0.5f")
    Q_CLASSINFO("RatioMinimum", "0.25f")
    Q_CLASSINFO("RatioMaximum", "(1.0f)")
    Q_CLASSINFO("RatioStep", "abc")
    Q_CLASSINFO("RatioPrecision", "2")
    Q_CLASSINFO("RatioSuggestions", "0.25, 0.5")
    Q_CLASSINFO("RatioPlaceholder", "")
    Q_CLASSINFO("RatioPriority", "high")
    ZT_SETTING(double, Ratio, 0.5)

    Q_PROPERTY(QString Title READ getTitle WRITE setTitle RESET resetTitle NOTIFY changedTitle)
    Q_CLASSINFO("TitleEditable", "true")
    Q_CLASSINFO("TitleDefault", "\"Untitled\"")
    Q_CLASSINFO("TitleDisplayName", "Name")
    Q_CLASSINFO("TitleSpecialType", "PickFile:EDF files (*.edf):more")
    Q_CLASSINFO("TitleReadOnly", "")
    Q_CLASSINFO("TitleNoDefault", "")
    Q_CLASSINFO("TitlePlaceholder", "Type a name")
    ZT_SETTING(QString, Title, "Untitled")

    Q_PROPERTY(QString Folder READ getFolder WRITE setFolder RESET resetFolder NOTIFY changedFolder)
    Q_CLASSINFO("FolderEditable", "true")
    Q_CLASSINFO("FolderDefault", "defaultFolder()")
    Q_CLASSINFO("FolderSpecialType", "PickFolder")
    ZT_SETTING(QString, Folder, "/data")

    Q_PROPERTY(QColor Accent READ getAccent WRITE setAccent RESET resetAccent NOTIFY changedAccent)
    Q_CLASSINFO("AccentEditable", "true")
    Q_CLASSINFO("AccentDefault", "Qt::red")
    ZT_SETTING(QColor, Accent, Qt::red)

    Q_PROPERTY(QColor Border READ getBorder WRITE setBorder RESET resetBorder NOTIFY changedBorder)
    Q_CLASSINFO("BorderEditable", "true")
    Q_CLASSINFO("BorderDefault", "QColor(\"blue\")")
    ZT_SETTING(QColor, Border, "blue")

    Q_PROPERTY(QColor Fill READ getFill WRITE setFill RESET resetFill NOTIFY changedFill)
    Q_CLASSINFO("FillEditable", "true")
    Q_CLASSINFO("FillDefault", "QColor(\"#00ff00\")")
    ZT_SETTING(QColor, Fill, "#00ff00")

    Q_PROPERTY(SampleSettings::Mode Mode READ getMode WRITE setMode RESET resetMode NOTIFY changedMode)
    Q_CLASSINFO("ModeEditable", "true")
    Q_CLASSINFO("ModeDefault", "SampleSettings::Mode::Fast")
    ZT_SETTING(SampleSettings::Mode, Mode, Fast)

    Q_PROPERTY(SampleSettings::Mode Fallback READ getFallback WRITE setFallback RESET resetFallback NOTIFY
            changedFallback)
    Q_CLASSINFO("FallbackEditable", "true")
    Q_CLASSINFO("FallbackDefault", "Slow")
    ZT_SETTING(SampleSettings::Mode, Fallback, Slow)

    Q_PROPERTY(bool Enabled READ getEnabled WRITE setEnabled RESET resetEnabled NOTIFY changedEnabled)
    Q_CLASSINFO("EnabledEditable", "true")
    Q_CLASSINFO("EnabledDefault", "true")
    ZT_SETTING(bool, Enabled, true)

    Q_PROPERTY(bool Compact READ getCompact WRITE setCompact RESET resetCompact NOTIFY changedCompact)
    Q_CLASSINFO("CompactEditable", "true")
    Q_CLASSINFO("CompactNotVisible", "")
    Q_CLASSINFO("CompactVisibleBound", "Enabled;!Compact;Mode:Fast:Turbo;;Title:")
    ZT_SETTING(bool, Compact, false)

    Q_PROPERTY(QPoint Origin READ getOrigin WRITE setOrigin RESET resetOrigin NOTIFY changedOrigin)
    Q_CLASSINFO("OriginEditable", "true")
    Q_CLASSINFO("OriginDefault", "QPoint(3, 4)")
    Q_CLASSINFO("OriginMinimum", "QPoint(1, 2)")
    Q_CLASSINFO("OriginVisibleBinded", "!Compact")
    ZT_SETTING(QPoint, Origin, 3, 4)

    Q_PROPERTY(QPointF Offset READ getOffset WRITE setOffset RESET resetOffset NOTIFY changedOffset)
    Q_CLASSINFO("OffsetEditable", "true")
    Q_CLASSINFO("OffsetVisibleBound", "Enabled")
    Q_CLASSINFO("OffsetVisibleBinded", "Compact")
    ZT_SETTING(QPointF, Offset, 0.5, 1.25)

    Q_PROPERTY(QSize Area READ getArea WRITE setArea RESET resetArea NOTIFY changedArea)
    Q_CLASSINFO("AreaEditable", "true")
    ZT_SETTING(QSize, Area, 640, 480)

    Q_PROPERTY(QByteArray Blob READ getBlob WRITE setBlob RESET resetBlob NOTIFY changedBlob)
    Q_CLASSINFO("BlobEditable", "true")
    ZT_SETTING(QByteArray, Blob, "")

    Q_PROPERTY(StringMap Labels READ getLabels WRITE setLabels RESET resetLabels NOTIFY changedLabels)
    Q_CLASSINFO("LabelsEditable", "true")
    ZT_SETTING(StringMap, Labels, StringMap())

    Q_PROPERTY(uchar Level READ getLevel WRITE setLevel RESET resetLevel NOTIFY changedLevel)
    Q_CLASSINFO("LevelEditable", "true")
    ZT_SETTING(uchar, Level, 7)

    Q_PROPERTY(QDateTime Created READ getCreated WRITE setCreated RESET resetCreated NOTIFY changedCreated)
    Q_CLASSINFO("CreatedEditable", "true")
    Q_CLASSINFO("CreatedDefault", "QDateTime::currentDateTime()")
    ZT_SETTING(QDateTime, Created, QDate(2024, 3, 5), QTime(14, 25, 30))

    Q_PROPERTY(QDate Born READ getBorn WRITE setBorn RESET resetBorn NOTIFY changedBorn)
    Q_CLASSINFO("BornEditable", "true")
    Q_CLASSINFO("BornDefault", "QDate()")
    ZT_SETTING(QDate, Born, )

    // Declared, but not stored: "True" is not "true", and no Editable at all.
    Q_PROPERTY(int Capital READ getCapital WRITE setCapital RESET resetCapital NOTIFY changedCapital)
    Q_CLASSINFO("CapitalEditable", "True")
    ZT_SETTING(int, Capital, 1)

    Q_PROPERTY(int Scratch READ getScratch WRITE setScratch RESET resetScratch NOTIFY changedScratch)
    ZT_SETTING(int, Scratch, 2)

    // Not writable: never described.
    Q_PROPERTY(QString Summary READ summary)

public:
    using ZTSettings::ZTSettings;

    Q_INVOKABLE QString defaultFolder() const { return QStringLiteral("/data"); }
    QString summary() const { return QStringLiteral("sample"); }
};
