#include "support/samplesettings.h"
#include "support/testenvironment.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"

// Building descriptions from properties and class info.
class TestMetaDescription : public QObject
{
    Q_OBJECT

    SampleSettings *settings = nullptr;

    MetaDescription *description(const char *name)
    {
        auto *found = qobject_cast<MetaDescription *>(settings->metaDescriptor()->propertyByName(name));
        if (!found)
            qWarning() << "no description" << name;
        return found;
    }

private slots:
    void init() { settings = new SampleSettings(QString(), false); }
    void cleanup() { delete settings; }

    void describesWritablePropertiesInOrder()
    {
        settings->setObjectName("x");
        const QStringList names = settings->getPropertiesNames();
        QCOMPARE(names.first(), QString("Zoom"));
        QCOMPARE(names.last(), QString("Scratch"));
        QVERIFY(!names.contains("objectName"));
        QVERIFY(!names.contains("Summary"));
        QCOMPARE(settings->getClassName(), QString("SampleSettings"));
        QCOMPARE(settings->metaDescriptor()->getPropertiesNameAndType().value("Mode"), QString("Enum"));
    }

    void editableOnlyWhenExactlyTrue()
    {
        QVERIFY(description("Zoom")->editable);
        QVERIFY(!description("Capital")->editable);
        QVERIFY(!description("Scratch")->editable);
        const QString xml = settings->saveToString();
        QVERIFY(xml.contains("<Zoom>"));
        QVERIFY(!xml.contains("Capital"));
        QVERIFY(!xml.contains("Scratch"));
        QVERIFY(!settings->getQVariantMap().contains("Capital"));
        QVERIFY(!settings->saveToJson().contains("Capital"));

        // Nor are they read back from a file that holds them.
        settings->loadFromXMLString("<SampleSettings><Capital>9</Capital><Zoom>20</Zoom></SampleSettings>");
        QCOMPARE(settings->getCapital(), 1);
        QCOMPARE(settings->getZoom(), 20);
    }

    void attributes()
    {
        const MetaDescription *zoom = description("Zoom");
        QCOMPARE(zoom->typeName, QString("int"));
        QCOMPARE(zoom->typeId, int(QMetaType::Int));
        QCOMPARE(zoom->displayName, QString("Zoom"));
        QCOMPARE(zoom->prefix, QString("x"));
        QCOMPARE(zoom->suffix, QString(" %"));
        QCOMPARE(zoom->category, QString("View"));
        QCOMPARE(zoom->priority, 3);
        QCOMPARE(zoom->icon, QString(":/icons/zoom.svg"));
        QCOMPARE(zoom->attributes.value("Description"), QString("How large the page is drawn"));
        QVERIFY(zoom->visible);
        QVERIFY(zoom->showDefault);
        QVERIFY(!zoom->readOnly);
        QVERIFY(!zoom->hasSpecialType);

        const MetaDescription *ratio = description("Ratio");
        QCOMPARE(ratio->attributes.value("Precision"), QString("2"));
        QCOMPARE(ratio->attributes.value("Suggestions"), QString("0.25, 0.5"));
        QVERIFY(!ratio->attributes.contains("Placeholder")); // present but empty
        QCOMPARE(ratio->priority, 0); // not a number
        QVERIFY(ratio->suffix.isEmpty() && !ratio->suffix.isNull());

        const MetaDescription *title = description("Title");
        QCOMPARE(title->displayName, QString("Name"));
        QVERIFY(title->readOnly);
        QVERIFY(!title->showDefault);
        QVERIFY(title->hasSpecialType);
        QCOMPARE(title->specialType, QString("PickFile:EDF files (*.edf):more"));
        QCOMPARE(title->specialTypeName, QString("PickFile"));
        QCOMPARE(title->specialTypeArgument, QString("EDF files (*.edf):more"));
        QCOMPARE(title->attributes.value("Placeholder"), QString("Type a name"));
        QCOMPARE(description("Folder")->specialTypeName, QString("PickFolder"));
        QVERIFY(description("Folder")->specialTypeArgument.isEmpty());

        QVERIFY(!description("Compact")->visible);
        QCOMPARE(description("Scratch")->priority, 2147483647);
        QVERIFY(!description("Scratch")->hasDefault);
        QVERIFY(description("Scratch")->defaultValue.isNull());
    }

    void defaultsPerType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("defaultValue");
        QTest::newRow("int") << "Zoom"
                             << "100";
        QTest::newRow("double drops the f") << "Ratio"
                                            << "0.5";
        QTest::newRow("string without quotes") << "Title"
                                               << "Untitled";
        QTest::newRow("method of the object") << "Folder"
                                              << "/data";
        QTest::newRow("Qt colour") << "Accent"
                                   << "#ff0000";
        QTest::newRow("quoted colour name") << "Border"
                                            << "#0000ff";
        QTest::newRow("hex colour") << "Fill"
                                    << "#00ff00";
        QTest::newRow("scoped enumerator") << "Mode"
                                           << "Fast";
        QTest::newRow("bare enumerator") << "Fallback"
                                         << "Slow";
        QTest::newRow("point as written") << "Origin"
                                          << "QPoint(3, 4)";
        QTest::newRow("empty date") << "Born"
                                    << "";
    }
    void defaultsPerType()
    {
        QFETCH(QString, name);
        QFETCH(QString, defaultValue);
        const MetaDescription *found = description(name.toLatin1().constData());
        QVERIFY(found->hasDefault);
        QCOMPARE(found->defaultValue, defaultValue);
    }

    void enumerationsAreDescribedByKey()
    {
        const MetaDescription *mode = description("Mode");
        QCOMPARE(mode->typeName, QString("Enum"));
        QCOMPARE(mode->typeId, 2);
        QVERIFY(mode->isEnumType());
        QCOMPARE(QString(mode->enumerator().name()), QString("Mode"));
        QVERIFY(settings->setValue("Mode", "Turbo"));
        QCOMPARE(settings->getMode(), SampleSettings::Turbo);
        QVERIFY(!settings->setValue("Mode", "Warp"));
        QCOMPARE(settings->getMode(), SampleSettings::Turbo);
        QCOMPARE(settings->getTextValue("Mode"), QString("Turbo"));
    }

    void currentDateTimeDefault()
    {
        const MetaDescription *created = description("Created");
        const QDateTime parsed = QDateTime::fromString(created->defaultValue);
        QVERIFY(parsed.isValid());
        QVERIFY(qAbs(parsed.secsTo(QDateTime::currentDateTime())) < 3600);
    }

    void limits()
    {
        const MetaDescription *zoom = description("Zoom");
        QVERIFY(zoom->hasMinimum && zoom->hasMaximum && zoom->hasStep);
        QCOMPARE(zoom->minimum, 10.0);
        QCOMPARE(zoom->maximum, 400.0);
        QCOMPARE(zoom->step, 5.0);

        const MetaDescription *ratio = description("Ratio");
        QCOMPARE(ratio->minimum, 0.25);
        QCOMPARE(ratio->maximum, 1.0);
        QVERIFY(!ratio->hasStep); // "abc" is no number

        const MetaDescription *origin = description("Origin");
        QVERIFY(origin->hasMinimum);
        QCOMPARE(origin->minimum, 1.0);
        QVERIFY(!origin->hasMaximum);
    }

    void visibleBound()
    {
        const QMap<QString, QString> expected { { "Enabled", "true" }, { "Compact", "false" },
            { "Mode", "Fast:Turbo" }, { "", "true" }, { "Title", "" } };
        QCOMPARE(description("Compact")->visibleBound, expected);
        // VisibleBinded counts only without VisibleBound.
        QCOMPARE(description("Origin")->visibleBound, (QMap<QString, QString> { { "Compact", "false" } }));
        QCOMPARE(description("Offset")->visibleBound, (QMap<QString, QString> { { "Enabled", "true" } }));
        QVERIFY(description("Zoom")->visibleBound.isEmpty());
    }

    void pointsAndSizesFromText()
    {
        QVERIFY(!settings->setTextValue("Origin", "3;4"));
        QCOMPARE(settings->getOrigin(), QPoint(3, 4));
        QVERIFY(settings->setTextValue("Origin", "QPoint(5, 6)"));
        QCOMPARE(settings->getOrigin(), QPoint(5, 6));
        QVERIFY(settings->setTextValue("origin", "7,8"));
        QCOMPARE(settings->getOrigin(), QPoint(7, 8));
        QVERIFY(!settings->setTextValue("Origin", "1,2,3"));
        QVERIFY(!settings->setTextValue("Origin", "a,b"));
        QCOMPARE(settings->getOrigin(), QPoint(7, 8));
        QVERIFY(settings->setTextValue("Offset", "QPointF(1.5f, 2.25f)"));
        QCOMPARE(settings->getOffset(), QPointF(1.5, 2.25));
        QVERIFY(settings->setTextValue("Area", "QSize(800, 600)"));
        QCOMPARE(settings->getArea(), QSize(800, 600));

        // The file form uses ";".
        settings->loadFromXMLString("<SampleSettings><Origin>3;4</Origin><Offset>0.1;-2</Offset>"
                                    "<Area>10;20</Area></SampleSettings>");
        QCOMPARE(settings->getOrigin(), QPoint(3, 4));
        QCOMPARE(settings->getOffset(), QPointF(0.1, -2));
        QCOMPARE(settings->getArea(), QSize(10, 20));
        settings->loadFromXMLString("<SampleSettings><Origin>9</Origin></SampleSettings>");
        QCOMPARE(settings->getOrigin(), QPoint(0, 0));

        double x = 0, y = 0;
        QVERIFY(MetaDescription::parsePointOrSize("QPointF(1.5f, 2)", x, y));
        QCOMPARE(x, 1.5);
        QCOMPARE(y, 2.0);
        QVERIFY(!MetaDescription::parsePointOrSize("3;4", x, y));
    }

    void valueChangedFollowsTheProperty()
    {
        MetaDescription *zoom = description("Zoom");
        QSignalSpy spy(zoom, &AbstractMetaDescription::valueChanged);
        settings->setZoom(150);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), 150);
        settings->setZoom(150);
        QCOMPARE(spy.count(), 1);
    }

    void setDefaultLetsResetHaveTheLastWord()
    {
        settings->setZoom(250);
        MetaDescription *zoom = description("Zoom");
        QSignalSpy spy(zoom, &AbstractMetaDescription::valueChanged);
        zoom->setDefault();
        QCOMPARE(settings->getZoom(), 100);
        QVERIFY(spy.count() >= 1);

        // Declared as "QPoint(3, 4)", held as the point (3, 4).
        settings->setOrigin(QPoint(1, 1));
        MetaDescription *origin = description("Origin");
        origin->setDefault();
        QCOMPARE(settings->getOrigin(), QPoint(3, 4));
        QCOMPARE(origin->defaultValue, QString("3,4"));

        // Declared as the current time, the reset gives a fixed moment.
        MetaDescription *created = description("Created");
        settings->setCreated(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        created->setDefault();
        QCOMPARE(settings->getCreated(), QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(QDateTime::fromString(created->defaultValue, Qt::ISODateWithMs), settings->getCreated());

        // Without a default nothing happens.
        settings->setScratch(9);
        description("Scratch")->setDefault();
        QCOMPARE(settings->getScratch(), 9);
    }

    void loadDefaultsRestoresEditableOnly()
    {
        settings->setZoom(300);
        settings->setMode(SampleSettings::Slow);
        settings->setCapital(5);
        QSignalSpy reloaded(settings, &ZTSettings::reloaded);
        settings->loadDefaults();
        QCOMPARE(reloaded.count(), 1);
        QCOMPARE(settings->getZoom(), 100);
        QCOMPARE(settings->getMode(), SampleSettings::Fast);
        QCOMPARE(settings->getCapital(), 5);
    }

    void lookUpByName()
    {
        QVERIFY(settings->containsProperty("Zoom"));
        QVERIFY(!settings->containsProperty("zoom"));
        QCOMPARE(settings->getValue("Zoom").toInt(), 100);
        QVERIFY(!settings->getValue("zoom").isValid());
        QVERIFY(settings->getTextValue("nothing").isEmpty());
        QVERIFY(settings->getPropertyByName("ZOOM"));
        QVERIFY(!settings->getPropertyByName("Zoo"));
        QVERIFY(settings->setValue("ZOOM", 120));
        QCOMPARE(settings->getZoom(), 120);
        QVERIFY(!settings->setValue("Zoom", "many"));
        QCOMPARE(settings->getZoom(), 120);
        QVERIFY(!settings->setValue("Nothing", 1));
        QVERIFY(!settings->metaDescriptor()->propertyByName("zoom"));
        QVERIFY(settings->metaDescriptor()->findProperty("zoom"));
    }
};

KESTA_TEST_MAIN(TestMetaDescription)
#include "tst_metadescription.moc"
