#include "db/kestasettings.h"
#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>

namespace
{

// A fresh theme manager per test, with the protected parts opened up.
class FreshStyleHelper : public StyleHelper
{
public:
    using StyleHelper::parseTheme;
    int changedReceivers() const { return receivers(SIGNAL(changed())); }
};

// The application's style under the wrapper that a style sheet puts around it.
QString widgetStyle()
{
    QStyle *style = QApplication::style();
    if (style->objectName().isEmpty()) {
        if (auto *base = style->findChild<QStyle *>(QString(), Qt::FindDirectChildrenOnly))
            return base->objectName();
    }
    return style->objectName();
}

// The average colour of an image's visible pixels.
QColor inkOf(const QImage &image)
{
    qint64 red = 0, green = 0, blue = 0, count = 0;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QColor pixel = argb.pixelColor(x, y);
            if (pixel.alpha() < 200)
                continue;
            red += pixel.red();
            green += pixel.green();
            blue += pixel.blue();
            ++count;
        }
    }
    if (count == 0)
        return QColor();
    return QColor(int(red / count), int(green / count), int(blue / count));
}

// Rendering rounds: "white" may come back as 254.
bool near(const QColor &actual, const QColor &expected)
{
    return actual.isValid() && qAbs(actual.red() - expected.red()) <= 3
        && qAbs(actual.green() - expected.green()) <= 3 && qAbs(actual.blue() - expected.blue()) <= 3;
}

// A settings object as the toolkit's settings classes shape it: the property
// with its own change signal, and every change also reported by name.
class ReportingSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(StyleHelper::ColorThemeEnum ColorTheme READ getColorTheme WRITE setColorTheme NOTIFY
            changedColorTheme)
    Q_PROPERTY(int Other READ getOther WRITE setOther)
public:
    StyleHelper::ColorThemeEnum getColorTheme() const { return m_theme; }
    void setColorTheme(StyleHelper::ColorThemeEnum value)
    {
        if (value == m_theme)
            return;
        m_theme = value;
        emit changedColorTheme(value);
        emit propertyChanged(QStringLiteral("ColorTheme"));
    }
    int getOther() const { return m_other; }
    void setOther(int value)
    {
        m_other = value;
        emit propertyChanged(QStringLiteral("Other"));
    }

signals:
    void changedColorTheme(StyleHelper::ColorThemeEnum value);
    void propertyChanged(const QString &name);

private:
    StyleHelper::ColorThemeEnum m_theme = StyleHelper::Light;
    int m_other = 0;
};

// Any object with a notifying text property can drive the theme too.
class TextSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Look READ look WRITE setLook NOTIFY lookChanged)
public:
    QString look() const { return m_look; }
    void setLook(const QString &value)
    {
        m_look = value;
        emit lookChanged();
    }

signals:
    void lookChanged();

private:
    QString m_look = QStringLiteral("Light");
};

} // namespace

class TestStyleHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void parseThemeReadsTheRootBlockFormat();
    void customValuesWinOverTheTheme();
    void styleFilesJoinInPathOrder();
    void unknownThemeOnlySignals();
    void widgetStyleFollowsTheThemeName();
    void missingStyleFileIsReportedAndLeftOut();
    void valueContainingItsOwnNameDoesNotHang();
    void setCustomValueSignalsWithoutRebuilding();

    void startupRegistersFontsStylesAndThemes();
    void instanceCarriesTheDefaultCustomValues();

    void interlinkFollowsKestaSettingsBothWays();
    void interlinkFollowsReportedChangesBothWays();
    void interlinkFollowsANotifySignal();
    void interlinkIgnoresNullAndEmpty();

    void nullDarkIconIsSetOnceAndNotFollowed();
    void boundButtonAndLabelFollowTheTheme();
    void destroyedTargetsLeaveNoConnection();
    void bindingATargetAgainReplacesTheBinding();
    void styledBackgroundFollowsTheTheme();
    void coloredIconDependsOnTheTheme();

private:
    QString writeFile(const QString &name, const QByteArray &text);
    void addBothThemes(StyleHelper *helper);

    QTemporaryDir m_dir;
};

void TestStyleHelper::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(StyleHelper::registerFontsAndStyles());
}

QString TestStyleHelper::writeFile(const QString &name, const QByteArray &text)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestStyleHelper::addBothThemes(StyleHelper *helper)
{
    helper->addThemeFile("light", ":/themes/light.css");
    helper->addThemeFile("dark", ":/themes/dark.css");
}

void TestStyleHelper::parseThemeReadsTheRootBlockFormat()
{
    const QString text = QStringLiteral(":root {\n"
                                        "    --z-bg: #FFF;\n"
                                        "\n"
                                        "    --z-tight:#123;\n"
                                        "    --z-clock: \"12: 30\";\n"
                                        "    --z-icon: \":/icons/check.svg\";\n"
                                        "    --z-bare: 16px\r\n"
                                        "    --z-bg: #EEE;\n"
                                        "}\n");
    const StyleHelper::ValueMap values = FreshStyleHelper::parseTheme(text);

    QCOMPARE(values.value("--z-bg"), QString("#EEE")); // the later line wins
    QCOMPARE(values.value("--z-icon"), QString("\":/icons/check.svg\""));
    QCOMPARE(values.value("--z-bare"), QString("16px"));
    QVERIFY(!values.contains("--z-tight")); // no blank after the colon
    QVERIFY(!values.contains("--z-clock")); // a value with ": " splits in three
    QCOMPARE(values.size(), 3);
}

void TestStyleHelper::customValuesWinOverTheTheme()
{
    FreshStyleHelper helper;
    helper.addThemeFile(
        "plain", writeFile("plain.css", ":root {\n    --z-fg: red;\n    --z-back: blue;\n}\n"));
    helper.addStyleFile(
        writeFile("one.css", "QLabel { color: --z-fg; background: --z-back; border-color: --z-none; }"));
    helper.setCustomValue("--z-fg", "green");
    helper.selectTheme("plain");

    const QString sheet = qApp->styleSheet();
    QVERIFY2(sheet.contains("color: green;"), qPrintable(sheet));
    QVERIFY(sheet.contains("background: blue;"));
    QVERIFY(sheet.contains("border-color: --z-none;")); // an undefined variable stays as written
    QCOMPARE(helper.getThemeValue("--z-fg", "x"), QString("green"));
    QCOMPARE(helper.getThemeValue("--z-back", "x"), QString("blue"));
    QCOMPARE(helper.getThemeValue("--z-none", "x"), QString("x"));
    QCOMPARE(helper.getThemeColor("--z-back", Qt::black), QColor(Qt::blue));
    QCOMPARE(helper.getThemeColor("--z-none", Qt::black), QColor(Qt::black));
    QCOMPARE(helper.currentTheme(), QString("plain"));
    QVERIFY(!helper.isDark());
}

void TestStyleHelper::styleFilesJoinInPathOrder()
{
    FreshStyleHelper helper;
    helper.addStyleFile(":/themes/zt.theme.css");
    helper.addStyleFile(":/Kesta.css");
    addBothThemes(&helper);
    helper.selectTheme("light");

    // Plain text order of the paths puts the application's sheet first, so the
    // standard widgets' rules follow it.
    const QString sheet = qApp->styleSheet();
    const int application = sheet.indexOf("QPushButton#actionButton");
    const int standard = sheet.indexOf("QMenuBar {");
    QVERIFY(application >= 0 && standard >= 0);
    QVERIFY(application < standard);
    QVERIFY(sheet.endsWith("\r\n"));
    QCOMPARE(helper.themes(), QStringList({ "dark", "light" }));
}

void TestStyleHelper::unknownThemeOnlySignals()
{
    FreshStyleHelper helper;
    helper.addStyleFile(":/themes/zt.theme.css");
    addBothThemes(&helper);
    helper.selectTheme("light");
    const QString sheet = qApp->styleSheet();

    QSignalSpy changed(&helper, &StyleHelper::changed);
    helper.selectTheme("Dark"); // names match exactly
    QCOMPARE(changed.count(), 1);
    QCOMPARE(helper.currentTheme(), QString("light"));
    QVERIFY(!helper.isDark());
    QCOMPARE(qApp->styleSheet(), sheet);
}

void TestStyleHelper::widgetStyleFollowsTheThemeName()
{
    QApplication::setStyle("Windows");
    FreshStyleHelper helper; // takes "windows" as the platform's style
    helper.addThemeFile("my dark", writeFile("mydark.css", ":root {\n    --z-fg: white;\n}\n"));
    helper.addThemeFile("light", ":/themes/light.css");

    helper.selectTheme("my dark");
    QVERIFY(helper.isDark());
    QCOMPARE(widgetStyle(), QString("fusion"));

    // Without "windowsvista" the light theme returns to the platform's style.
    helper.selectTheme("light");
    QVERIFY(!helper.isDark());
    QCOMPARE(widgetStyle(), QString("windows"));
}

void TestStyleHelper::missingStyleFileIsReportedAndLeftOut()
{
    FreshStyleHelper helper;
    const QString missing = m_dir.filePath("absent.css");
    helper.addStyleFile(writeFile("present.css", "QLabel { color: --z-text; }"));
    QTest::ignoreMessage(QtDebugMsg, qPrintable("STYLE FILE NOT ADDED " + missing));
    helper.addStyleFile(missing);
    addBothThemes(&helper);
    helper.selectTheme("light");
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: #000; }\r\n"));
}

void TestStyleHelper::valueContainingItsOwnNameDoesNotHang()
{
    FreshStyleHelper helper;
    helper.addStyleFile(writeFile("self.css", "QLabel { margin: --z-gap; }"));
    helper.addThemeFile("light", ":/themes/light.css");
    helper.setCustomValue("--z-gap", "--z-gap-2");
    helper.selectTheme("light");
    QCOMPARE(qApp->styleSheet(), QString("QLabel { margin: --z-gap-2; }\r\n"));
}

void TestStyleHelper::setCustomValueSignalsWithoutRebuilding()
{
    FreshStyleHelper helper;
    helper.addStyleFile(writeFile("later.css", "QLabel { color: --z-later; }"));
    helper.addThemeFile("light", ":/themes/light.css");
    helper.selectTheme("light");

    QSignalSpy changed(&helper, &StyleHelper::changed);
    helper.setCustomValue("--z-later", "#123");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: --z-later; }\r\n"));
    helper.selectTheme("light");
    QCOMPARE(qApp->styleSheet(), QString("QLabel { color: #123; }\r\n"));
}

void TestStyleHelper::startupRegistersFontsStylesAndThemes()
{
    const QString family = "Open Sans SemiCondensed";
    QCOMPARE(QApplication::font().family(), family);
    QCOMPARE(QFontInfo(QApplication::font()).family(), family); // really resolved, no substitute

    // The four files form one family with four faces.
    QFontDatabase fonts;
    QVERIFY(fonts.families().contains(family));
    const QStringList faces = fonts.styles(family);
    for (const char *face : { "Regular", "Italic", "Bold", "Bold Italic" })
        QVERIFY2(faces.contains(face), qPrintable(faces.join(", ")));
    QVERIFY(fonts.bold(family, "Bold"));
    QVERIFY(fonts.italic(family, "Italic"));

    // Russian text needs no fallback font.
    const QFontMetrics metrics(QApplication::font());
    for (QChar letter : QString("ЖжЯяЁёЩщ№"))
        QVERIFY2(metrics.inFont(letter), qPrintable(QString(letter)));

    StyleHelper *helper = StyleHelper::Instance();
    QCOMPARE(helper->themes(), QStringList({ "dark", "light" }));
    QCOMPARE(helper->getThemeValue("--z-font-weight"), QString("normal"));
    QCOMPARE(helper->getThemeValue("--z-font-family"), "'" + family + "'");

    helper->selectTheme("light");
    const QString sheet = qApp->styleSheet();
    QVERIFY(sheet.contains("font-family: 'Open Sans SemiCondensed';"));
    QVERIFY(sheet.contains("font-weight: normal;"));
    QVERIFY(sheet.indexOf("QPushButton#actionButton") < sheet.indexOf("QMenuBar {"));
}

void TestStyleHelper::instanceCarriesTheDefaultCustomValues()
{
    StyleHelper *helper = StyleHelper::Instance();
    QCOMPARE(helper, StyleHelper::Instance());
    QCOMPARE(helper->getThemeValue("--z-min-btn-size"), QString("16px"));
    QCOMPARE(helper->getThemeValue("--z-min-height"), QString("20.8px"));
    QCOMPARE(StyleHelper::ThemeValue("--z-min-height"), QString("20.8px"));

    helper->selectTheme("dark");
    QCOMPARE(StyleHelper::ThemeColor("--z-bg"), QColor("#222"));
    QCOMPARE(StyleHelper::ThemeValue("--z-check"), QString("\":/icons/check-dark.svg\""));
    helper->selectTheme("light");
    QCOMPARE(StyleHelper::ThemeColor("--z-bg"), QColor("#FFF"));
}

void TestStyleHelper::interlinkFollowsKestaSettingsBothWays()
{
    StyleHelper *helper = StyleHelper::Instance();
    helper->selectTheme("dark");
    {
        KestaSettings settings("Settings.xml");
        StyleHelper::InterlinkTheme(&settings, "ColorTheme");
        QCOMPARE(helper->currentTheme(), QString("light")); // the default, at once

        QSignalSpy changed(helper, &StyleHelper::changed);
        settings.setColorTheme(StyleHelper::Dark);
        QCOMPARE(helper->currentTheme(), QString("dark"));
        QCOMPARE(changed.count(), 1);

        // As the settings editor writes it.
        QVERIFY(settings.setValue("ColorTheme", QVariant::fromValue(StyleHelper::Light)));
        QCOMPARE(helper->currentTheme(), QString("light"));
        QVERIFY(settings.setTextValue("ColorTheme", "Dark"));
        QCOMPARE(helper->currentTheme(), QString("dark"));
        QCOMPARE(changed.count(), 3);
        settings.setLastPatientId(7); // other settings leave the theme alone
        QCOMPARE(changed.count(), 3);
    }

    // The stored choice selects the theme when the next run links it.
    helper->selectTheme("light");
    KestaSettings stored("Settings.xml");
    QVERIFY(stored.reload());
    StyleHelper::InterlinkTheme(&stored, "ColorTheme");
    QCOMPARE(helper->currentTheme(), QString("dark"));
    stored.resetColorTheme();
    QCOMPARE(helper->currentTheme(), QString("light"));
}

void TestStyleHelper::interlinkFollowsReportedChangesBothWays()
{
    StyleHelper *helper = StyleHelper::Instance();
    helper->selectTheme("dark");

    ReportingSettings settings;
    StyleHelper::InterlinkTheme(&settings, "ColorTheme");
    QCOMPARE(helper->currentTheme(), QString("light")); // applied at once

    QSignalSpy changed(helper, &StyleHelper::changed);
    settings.setColorTheme(StyleHelper::Dark);
    QCOMPARE(helper->currentTheme(), QString("dark"));
    QVERIFY(helper->isDark());
    QCOMPARE(changed.count(), 1); // one change, one re-selection

    settings.setColorTheme(StyleHelper::Light);
    QCOMPARE(helper->currentTheme(), QString("light"));
    QCOMPARE(changed.count(), 2);

    settings.setOther(5); // another setting leaves the theme alone
    QCOMPARE(changed.count(), 2);

    StyleHelper::InterlinkTheme(&settings, "ColorTheme"); // a second link does not double
    changed.clear();
    settings.setColorTheme(StyleHelper::Dark);
    QCOMPARE(changed.count(), 1);
    settings.setColorTheme(StyleHelper::Light);
}

void TestStyleHelper::interlinkFollowsANotifySignal()
{
    StyleHelper *helper = StyleHelper::Instance();
    helper->selectTheme("light");
    {
        TextSettings settings;
        settings.setLook("Dark blue");
        StyleHelper::InterlinkTheme(&settings, "Look");
        QCOMPARE(helper->currentTheme(), QString("dark"));
        settings.setLook("Paper");
        QCOMPARE(helper->currentTheme(), QString("light"));
    }
    // The link died with its object.
    helper->selectTheme("light");
    QCOMPARE(helper->currentTheme(), QString("light"));
}

void TestStyleHelper::interlinkIgnoresNullAndEmpty()
{
    StyleHelper *helper = StyleHelper::Instance();
    helper->selectTheme("light");
    QSignalSpy changed(helper, &StyleHelper::changed);
    ReportingSettings settings;
    settings.setColorTheme(StyleHelper::Dark);
    StyleHelper::InterlinkTheme(nullptr, "ColorTheme");
    StyleHelper::InterlinkTheme(&settings, QString());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(helper->currentTheme(), QString("light"));
    QVERIFY(settings.children().isEmpty());
}

void TestStyleHelper::nullDarkIconIsSetOnceAndNotFollowed()
{
    FreshStyleHelper helper;
    addBothThemes(&helper);
    helper.selectTheme("dark");
    const int baseline = helper.changedReceivers();

    const QIcon light = MediaHelper::icon(":/icons/plus.svg");
    QAction action(nullptr);
    helper.setMenuActionIcon(&action, light, QIcon());
    QCOMPARE(action.icon().cacheKey(), light.cacheKey()); // even in the dark theme
    QCOMPARE(helper.changedReceivers(), baseline);

    const QIcon other = MediaHelper::icon(":/icons/delete.svg");
    action.setIcon(other);
    helper.selectTheme("light");
    helper.selectTheme("dark");
    QCOMPARE(action.icon().cacheKey(), other.cacheKey());

    helper.setMenuActionIcon(nullptr, light, light); // a null target does nothing
    QCOMPARE(helper.changedReceivers(), baseline);
}

void TestStyleHelper::boundButtonAndLabelFollowTheTheme()
{
    FreshStyleHelper helper;
    addBothThemes(&helper);
    helper.selectTheme("light");

    QPushButton button;
    helper.setButtonIcon(&button, ":/icons/plus.svg", "#FFF");
    QLabel label;
    label.setFixedSize(24, 24);
    helper.setLabelIcon(&label, ":/icons/check.svg", "#FFF");
    QAction action(nullptr);
    helper.setMenuActionIcon(&action, ":/icons/refresh.svg", "#FFF");

    const QIcon plainPlus = MediaHelper::icon(":/icons/plus.svg");
    const QIcon whitePlus = MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000");
    QCOMPARE(button.icon().cacheKey(), plainPlus.cacheKey());
    QVERIFY(near(inkOf(label.pixmap(Qt::ReturnByValue).toImage()), Qt::black));

    helper.selectTheme("dark");
    QCOMPARE(button.icon().cacheKey(), whitePlus.cacheKey());
    QVERIFY(near(inkOf(label.pixmap(Qt::ReturnByValue).toImage()), Qt::white));
    QCOMPARE(label.pixmap(Qt::ReturnByValue).size(), QSize(24, 24));
    QCOMPARE(
        action.icon().cacheKey(), MediaHelper::iconColored(":/icons/refresh.svg", "#FFF", "#000").cacheKey());

    helper.selectTheme("light");
    QCOMPARE(button.icon().cacheKey(), plainPlus.cacheKey());
    QVERIFY(near(inkOf(label.pixmap(Qt::ReturnByValue).toImage()), Qt::black));
    QCOMPARE(action.icon().cacheKey(), MediaHelper::icon(":/icons/refresh.svg").cacheKey());
}

void TestStyleHelper::destroyedTargetsLeaveNoConnection()
{
    FreshStyleHelper helper;
    addBothThemes(&helper);
    helper.selectTheme("light");
    const int baseline = helper.changedReceivers();

    auto *button = new QPushButton;
    auto *label = new QLabel;
    auto *action = new QAction(nullptr);
    auto *panel = new QWidget;
    helper.setButtonIcon(button, ":/icons/plus.svg", "#FFF");
    helper.setLabelIcon(label, ":/icons/check.svg", "#FFF");
    helper.setMenuActionIcon(action, ":/icons/settings.svg", "#FFF");
    helper.setStyledBackground(panel, "--z-window-bg", Qt::transparent);
    QCOMPARE(helper.changedReceivers(), baseline + 4);

    delete button;
    delete label;
    delete action;
    delete panel;
    QCOMPARE(helper.changedReceivers(), baseline);
    helper.selectTheme("dark"); // reaches no dead target
    helper.selectTheme("light");
}

void TestStyleHelper::bindingATargetAgainReplacesTheBinding()
{
    FreshStyleHelper helper;
    addBothThemes(&helper);
    helper.selectTheme("light");
    const int baseline = helper.changedReceivers();

    QPushButton button;
    helper.setButtonIcon(&button, ":/icons/plus.svg", "#FFF");
    helper.setButtonIcon(&button, ":/icons/delete.svg", "#FFF");
    QCOMPARE(helper.changedReceivers(), baseline + 1);
    helper.selectTheme("dark");
    QCOMPARE(
        button.icon().cacheKey(), MediaHelper::iconColored(":/icons/delete.svg", "#FFF", "#000").cacheKey());

    // Set once with no dark icon: the earlier binding must not come back.
    const QIcon fixed = MediaHelper::icon(":/icons/folder.svg");
    helper.setButtonIcon(&button, fixed, QIcon());
    QCOMPARE(helper.changedReceivers(), baseline);
    helper.selectTheme("light");
    QCOMPARE(button.icon().cacheKey(), fixed.cacheKey());
}

void TestStyleHelper::styledBackgroundFollowsTheTheme()
{
    FreshStyleHelper helper;
    addBothThemes(&helper);
    helper.selectTheme("light");

    QWidget widget;
    helper.setStyledBackground(&widget, "--z-window-bg", Qt::transparent);
    QVERIFY(widget.autoFillBackground());
    QCOMPARE(widget.palette().color(QPalette::Active, QPalette::Window), QColor("#F6F6F6"));
    QCOMPARE(widget.palette().color(QPalette::Disabled, QPalette::Window), QColor("#F6F6F6"));

    helper.selectTheme("dark");
    QCOMPARE(widget.palette().color(QPalette::Inactive, QPalette::Window), QColor("#000"));

    QWidget fallback;
    helper.setStyledBackground(&fallback, "--z-undefined", QColor("#ABCDEF"));
    QCOMPARE(fallback.palette().color(QPalette::Window), QColor("#ABCDEF"));
}

void TestStyleHelper::coloredIconDependsOnTheTheme()
{
    StyleHelper *helper = StyleHelper::Instance();
    helper->selectTheme("dark");
    QCOMPARE(StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF").cacheKey(),
        MediaHelper::iconColored(":/icons/play.svg", "#FFF", "#000").cacheKey());
    helper->selectTheme("light");
    QCOMPARE(StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF").cacheKey(),
        MediaHelper::icon(":/icons/play.svg").cacheKey());

    // The static binding forms work on the one instance.
    QPushButton button;
    QLabel label;
    label.setFixedSize(16, 16);
    StyleHelper::SetButtonIcon(&button, ":/icons/edit.svg", "#FFF");
    StyleHelper::SetLabelIcon(&label, ":/icons/translate.svg", "#FFF");
    helper->selectTheme("dark");
    QCOMPARE(
        button.icon().cacheKey(), MediaHelper::iconColored(":/icons/edit.svg", "#FFF", "#000").cacheKey());
    QVERIFY(near(inkOf(label.pixmap(Qt::ReturnByValue).toImage()), Qt::white));
    helper->selectTheme("light");
}

KESTA_TEST_MAIN(TestStyleHelper)
#include "tst_stylehelper.moc"
