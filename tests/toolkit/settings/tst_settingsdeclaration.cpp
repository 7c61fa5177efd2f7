#include "support/settingsdeclarationcheck.h"
#include "support/testenvironment.h"
#include "toolkit/settings/ztsettings.h"

// Each property carries one fault that the compiler cannot see.
class FaultySettings : public ZTSettings
{
    Q_OBJECT
    Q_PROPERTY(int Zoom READ getZoom WRITE setZoom RESET resetZoom NOTIFY changedZoom)
    Q_CLASSINFO("ZoomEditable", "true")
    Q_CLASSINFO("ZoomDefualt", "100")
    ZT_SETTING(int, Zoom, 100)

    Q_PROPERTY(int Speed READ getSpeed WRITE setSpeed RESET resetSpeed NOTIFY changedSpeed)
    Q_CLASSINFO("SpeedEditable", "True")
    Q_CLASSINFO("SpeedDefault", "500")
    Q_CLASSINFO("SpeedMinimum", "1")
    Q_CLASSINFO("SpeedMaximum", "10")
    ZT_SETTING(int, Speed, 500)

    Q_PROPERTY(QString Name READ name WRITE storeName NOTIFY nameChanged)
    Q_CLASSINFO("NameEditable", "true")
    Q_CLASSINFO("NomDefault", "\"x\"")

    Q_PROPERTY(int Depth READ getDepth WRITE setDepth RESET resetDepth NOTIFY changedDepth)
    Q_CLASSINFO("DepthEditable", "true")
    Q_CLASSINFO("DepthDefault", "3")
    ZT_SETTING(int, Depth, 4)

    Q_PROPERTY(Qt::Orientation Side READ getSide WRITE setSide RESET resetSide NOTIFY changedSide)
    Q_CLASSINFO("SideEditable", "true")
    Q_CLASSINFO("SideDefault", "Qt::Diagonal")
    ZT_SETTING(Qt::Orientation, Side, Qt::Horizontal)

public:
    using ZTSettings::ZTSettings;
    QString name() const { return m_name; }
    void storeName(const QString &value) { m_name = value; }
signals:
    void nameChanged();

private:
    QString m_name;
};

class SoundSettings : public ZTSettings
{
    Q_OBJECT
    Q_PROPERTY(double Ratio READ getRatio WRITE setRatio RESET resetRatio NOTIFY changedRatio)
    Q_CLASSINFO("RatioEditable", "true")
    Q_CLASSINFO("RatioDefault", "0.5f")
    Q_CLASSINFO("RatioMinimum", "0.0f")
    Q_CLASSINFO("RatioMaximum", "1.0f")
    ZT_SETTING(double, Ratio, 0.5)
public:
    using ZTSettings::ZTSettings;
};

class TestSettingsDeclaration : public QObject
{
    Q_OBJECT
private slots:
    void reportsEveryFault()
    {
        FaultySettings faulty;
        const QStringList problems = kestatest::settingsDeclarationProblems(&faulty);
        auto reported = [&problems](const QString &part) {
            for (const QString &problem : problems)
                if (problem.contains(part))
                    return true;
            return false;
        };
        QVERIFY2(reported("ZoomDefualt names no property"), qPrintable(problems.join('\n')));
        QVERIFY(reported("NomDefault names no property"));
        QVERIFY(reported("SpeedEditable is \"True\""));
        QVERIFY(reported("default 500 of Speed is above its Maximum"));
        QVERIFY(reported("Name has no getter getName"));
        QVERIFY(reported("Name has no setter setName"));
        QVERIFY(reported("Name has no RESET function resetName"));
        QVERIFY(reported("Name has no NOTIFY signal changedName"));
        QVERIFY(reported("Depth declares Default \"3\" but its reset gives \"4\""));
        QVERIFY(reported("default Diagonal of Side is not an enumerator"));
        QVERIFY(reported("Side declares Default \"Diagonal\" but its reset gives \"Horizontal\""));
        QVERIFY2(problems.size() == 11, qPrintable(problems.join(QLatin1Char(0x0a))));
    }

    void acceptsASoundDeclaration()
    {
        SoundSettings sound;
        QCOMPARE(kestatest::settingsDeclarationProblems(&sound), QStringList());
    }
};

KESTA_TEST_MAIN(TestSettingsDeclaration)
#include "tst_settingsdeclaration.moc"
