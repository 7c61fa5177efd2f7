#include "support/samplesettings.h"
#include "support/testenvironment.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"

// Building descriptions from properties and class info.
class TestMetaDescription : public QObject
{
    Q_OBJECT

    SampleSettings *settings = nullptr;

    MetaDescription *description(const QString &name)
    {
        auto *found = qobject_cast<MetaDescription *>(settings->metaDescriptor()->propertyByName(name));
        if (!found)
            qFatal("no description %s", qPrintable(name));
        return found;
    }

private slots:
    void init() { settings = new SampleSettings(QString(), false); }
    void cleanup() { delete settings; }

    void onlyEditableExactlyTrueIsStored()
    {
        settings->setObjectName("x");
        const QStringList names = settings->getPropertiesNames();
        QVERIFY(names.contains("Capital") && !names.contains("objectName") && !names.contains("Summary"));
        const QString xml = settings->saveToString();
        QVERIFY(xml.contains("<Zoom>") && !xml.contains("Capital") && !xml.contains("Scratch"));
        settings->loadFromXMLString("<SampleSettings><Capital>9</Capital><Zoom>20</Zoom></SampleSettings>");
        QCOMPARE(settings->getCapital(), 1);
        QCOMPARE(settings->getZoom(), 20);
    }

    void attributesAndLimits()
    {
        const MetaDescription *zoom = description("Zoom");
        QCOMPARE(QStringList({ zoom->displayName, zoom->prefix, zoom->suffix, zoom->category, zoom->icon,
                     zoom->attributes.value("Description") }),
            QStringList({ "Zoom", "x", " %", "View", ":/icons/zoom.svg", "How large the page is drawn" }));
        QVERIFY(zoom->visible && zoom->showDefault && !zoom->readOnly && !zoom->hasSpecialType);
        // Placeholder is present but empty; Priority "high" and Step "abc" are no numbers.
        const MetaDescription *ratio = description("Ratio");
        QCOMPARE(ratio->attributes,
            (QMap<QString, QString> { { "Precision", "2" }, { "Suggestions", "0.25, 0.5" } }));
        QCOMPARE(QVector<int>({ zoom->priority, ratio->priority, description("Scratch")->priority }),
            QVector<int>({ 3, 0, 2147483647 }));
        const MetaDescription *origin = description("Origin");
        QCOMPARE(QVector<double>({ zoom->minimum, zoom->maximum, zoom->step, ratio->minimum, ratio->maximum,
                     origin->minimum }),
            QVector<double>({ 10, 400, 5, 0.25, 1, 1 }));
        QVERIFY(zoom->hasMinimum && zoom->hasMaximum && zoom->hasStep && origin->hasMinimum);
        QVERIFY(!ratio->hasStep && !origin->hasMaximum);

        const MetaDescription *title = description("Title");
        QCOMPARE(QStringList({ title->displayName, title->specialTypeName, title->specialTypeArgument,
                     title->attributes.value("Placeholder"), description("Folder")->specialTypeName,
                     description("Folder")->specialTypeArgument }),
            QStringList({ "Name", "PickFile", "EDF files (*.edf):more", "Type a name", "PickFolder", "" }));
        QVERIFY(title->readOnly && !title->showDefault && title->hasSpecialType);
        QVERIFY(!description("Compact")->visible);
        QVERIFY(!description("Scratch")->hasDefault);

        const QMap<QString, QString> expected { { "Enabled", "true" }, { "Compact", "false" },
            { "Mode", "Fast:Turbo" }, { "", "true" }, { "Title", "" } };
        QCOMPARE(description("Compact")->visibleBound, expected);
        // VisibleBinded counts only without VisibleBound.
        QCOMPARE(origin->visibleBound, (QMap<QString, QString> { { "Compact", "false" } }));
        QCOMPARE(description("Offset")->visibleBound, (QMap<QString, QString> { { "Enabled", "true" } }));
    }

    void defaultsPerType()
    {
        const QList<QPair<QString, QString>> expected { { "Zoom", "100" }, { "Ratio", "0.5" },
            { "Title", "Untitled" }, { "Folder", "/data" }, { "Accent", "#ff0000" }, { "Border", "#0000ff" },
            { "Fill", "#00ff00" }, { "Mode", "Fast" }, { "Fallback", "Slow" }, { "Origin", "QPoint(3, 4)" },
            { "Born", "" } };
        for (const auto &entry : expected) {
            QVERIFY2(description(entry.first)->hasDefault, qPrintable(entry.first));
            QCOMPARE(description(entry.first)->defaultValue, entry.second);
        }
        const QDateTime now = QDateTime::fromString(description("Created")->defaultValue);
        QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) < 3600);

        // The reset function has the last word; without a Default nothing is reset.
        settings->setOrigin(QPoint(1, 1));
        description("Origin")->setDefault();
        QCOMPARE(settings->getOrigin(), QPoint(3, 4));
        QCOMPARE(description("Origin")->defaultValue, QString("3,4"));
        settings->setScratch(9);
        description("Scratch")->setDefault();
        QCOMPARE(settings->getScratch(), 9);
    }

    void pointsAndSizesFromText()
    {
        const auto typed = [this](const char *name, const char *text) {
            return settings->setTextValue(name, text) ? settings->getPropertyByName(name)->getValue()
                                                      : QVariant();
        };
        // Typed text is "x,y" or the declaration's form; "x;y" is the file's.
        for (const char *refused : { "5;6", "1,2,3", "a,b" })
            QVERIFY2(!typed("Origin", refused).isValid(), refused);
        QCOMPARE(settings->getOrigin(), QPoint(3, 4));
        QCOMPARE(typed("origin", "7,8"), QVariant(QPoint(7, 8)));
        QCOMPARE(typed("Origin", "QPoint(9, 10)"), QVariant(QPoint(9, 10)));
        QCOMPARE(typed("Offset", "QPointF(1.5f, 2.25f)"), QVariant(QPointF(1.5, 2.25)));
        QCOMPARE(typed("Area", "QSize(800, 600)"), QVariant(QSize(800, 600)));
    }

    void lookUpByNameAndEnumerationsByKey()
    {
        QCOMPARE(settings->getValue("Zoom").toInt(), 100);
        QVERIFY(!settings->getValue("zoom").isValid());
        // Editors follow every change of the property through its description.
        QSignalSpy followed(description("Zoom"), &AbstractMetaDescription::valueChanged);
        QVERIFY(settings->setValue("ZOOM", 120));
        QVERIFY(!settings->setValue("Zoom", "many"));
        QCOMPARE(settings->getZoom(), 120);
        QCOMPARE(followed.count(), 1);

        QVERIFY(settings->setValue("Mode", "Turbo"));
        QVERIFY(!settings->setValue("Mode", "Warp"));
        QCOMPARE(settings->getMode(), SampleSettings::Turbo);
        QCOMPARE(settings->getTextValue("Mode"), QString("Turbo"));
    }
};

KESTA_TEST_MAIN(TestMetaDescription)
#include "tst_metadescription.moc"
