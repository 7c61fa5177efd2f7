#include "db/model/kestasettings.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

// A fresh theme manager per test, with the protected parts opened up.
class FreshStyleHelper : public StyleHelper
{
public:
    FreshStyleHelper()
    {
        addThemeFile("light", ":/themes/light.css");
        addThemeFile("dark", ":/themes/dark.css");
    }
    using StyleHelper::parseTheme;
    int changedReceivers() const { return receivers(SIGNAL(changed())); }
};

} // namespace

class TestStyleHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(StyleHelper::registerFontsAndStyles()); }

    void parseThemeReadsTheRootBlockFormat()
    {
        const StyleHelper::ValueMap values = FreshStyleHelper::parseTheme(
            ":root {\n    --z-bg: #FFF;\n\n    --z-tight:#123;\n"
            "    --z-clock: \"12: 30\";\n    --z-icon: \":/icons/check.svg\";\n"
            "    --z-bare: 16px\r\n    --z-bg: #EEE;\n}\n");
        // The later line wins; no blank after the colon, or a value with ": ", is no entry.
        QCOMPARE(values,
            (StyleHelper::ValueMap {
                { "--z-bg", "#EEE" }, { "--z-icon", "\":/icons/check.svg\"" }, { "--z-bare", "16px" } }));
    }

    void selectThemeSubstitutesCustomThenThemeValues()
    {
        kestatest::writeFile("plain.css", ":root {\n    --z-fg: red;\n    --z-back: blue;\n}\n");
        kestatest::writeFile("one.css", "QLabel { color: --z-fg; background: --z-back; }");
        kestatest::writeFile("two.css", "QMenu { border-color: --z-none; margin: --z-gap; }");
        FreshStyleHelper helper;
        helper.addThemeFile("plain", "plain.css");
        helper.addStyleFile("one.css");
        QTest::ignoreMessage(QtDebugMsg, "STYLE FILE NOT ADDED absent.css");
        helper.addStyleFile("absent.css");
        helper.addStyleFile("two.css");
        helper.setCustomValue("--z-fg", "green");
        helper.setCustomValue("--z-gap", "--z-gap-2"); // must not be substituted for ever
        helper.selectTheme("plain");

        const QString sheet = "QLabel { color: green; background: blue; }\r\n"
                              "QMenu { border-color: --z-none; margin: --z-gap-2; }\r\n";
        QCOMPARE(qApp->styleSheet(), sheet);
        QCOMPARE(helper.getThemeValue("--z-fg", "x") + helper.getThemeValue("--z-back", "x")
                + helper.getThemeValue("--z-none", "x"),
            QString("greenbluex"));
        QCOMPARE(helper.getThemeColor("--z-back", Qt::black), QColor(Qt::blue));
        QCOMPARE(helper.getThemeColor("--z-none", Qt::black), QColor(Qt::black));

        // Names match exactly: an unknown one changes nothing but still signals.
        QSignalSpy changed(&helper, &StyleHelper::changed);
        helper.selectTheme("Dark");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(helper.currentTheme(), QString("plain"));
        QCOMPARE(qApp->styleSheet(), sheet);
    }

    void widgetStyleFollowsTheThemeName()
    {
        qApp->setStyleSheet(QString()); // no style sheet wrapper around the style
        QApplication::setStyle("Windows");
        FreshStyleHelper helper; // takes "windows" as the platform's style
        kestatest::writeFile("mydark.css", ":root {\n    --z-fg: white;\n}\n");
        helper.addThemeFile("my dark", "mydark.css");
        helper.selectTheme("my dark");
        QVERIFY(helper.isDark());
        QCOMPARE(QApplication::style()->objectName(), QString("fusion"));
        // Without "windowsvista" the light theme returns to the platform's style.
        helper.selectTheme("light");
        QVERIFY(!helper.isDark());
        QCOMPARE(QApplication::style()->objectName(), QString("windows"));
    }

    void startupRegistersFontsStylesAndThemes()
    {
        QCOMPARE(QFontInfo(QApplication::font()).family(), QString("Open Sans SemiCondensed"));
        const QFontMetrics metrics(QApplication::font());
        for (QChar letter : QString("ЖжЯяЁёЩщ№")) // Russian text needs no fallback font
            QVERIFY2(metrics.inFont(letter), qPrintable(QString(letter)));

        QCOMPARE(StyleHelper::Instance()->themes(), QStringList({ "dark", "light" }));
        StyleHelper::Instance()->selectTheme("light");
        QCOMPARE(StyleHelper::ThemeValue("--z-font-weight"), QString("normal"));
        const QString sheet = qApp->styleSheet();
        QVERIFY(sheet.contains("font-family: 'Open Sans SemiCondensed';"));
        // Plain text order of the paths puts ":/Kesta.css" before ":/themes/zt.theme.css".
        const int application = sheet.indexOf("QPushButton#actionButton");
        QVERIFY(application >= 0 && application < sheet.indexOf("QMenuBar {"));
    }

    void interlinkFollowsKestaSettings()
    {
        StyleHelper *helper = StyleHelper::Instance();
        helper->selectTheme("dark");
        StyleHelper::InterlinkTheme(nullptr, "ColorTheme");
        KestaSettings settings("Settings.xml");
        StyleHelper::InterlinkTheme(&settings, "ColorTheme");
        StyleHelper::InterlinkTheme(&settings, "ColorTheme"); // a second link must not double
        QCOMPARE(helper->currentTheme(), QString("light")); // the default, at once

        QSignalSpy changed(helper, &StyleHelper::changed);
        QVERIFY(settings.setTextValue("ColorTheme", "Dark")); // as the settings editor writes it
        QCOMPARE(helper->currentTheme(), QString("dark"));
        settings.setColorTheme(ColorTheme::Light);
        QCOMPARE(helper->currentTheme(), QString("light"));
        settings.setLastPatientId(7); // other settings leave the theme alone
        QCOMPARE(changed.count(), 2);
    }

    void boundTargetsFollowTheThemeWhileTheyLive()
    {
        FreshStyleHelper helper;
        helper.selectTheme("light");
        const int baseline = helper.changedReceivers();

        auto *targets = new QWidget;
        auto *button = new QPushButton(targets);
        helper.setButtonIcon(button, ":/icons/delete.svg", "#FFF");
        helper.setButtonIcon(button, ":/icons/plus.svg", "#FFF"); // replaces the earlier binding
        auto *label = new QLabel(targets);
        label->setFixedSize(24, 24);
        helper.setLabelIcon(label, ":/icons/check.svg", "#FFF");
        helper.setMenuActionIcon(new QAction(targets), ":/icons/settings.svg", "#FFF");
        auto *panel = new QWidget(targets);
        helper.setStyledBackground(panel, "--z-window-bg", Qt::transparent);
        // Without a dark icon the light one is set once, in either theme, and not followed.
        const QIcon light = MediaHelper::icon(":/icons/play.svg");
        QAction unbound(nullptr);
        helper.setMenuActionIcon(&unbound, light, QIcon());
        QCOMPARE(helper.changedReceivers(), baseline + 4);

        auto shown = [label] { return label->pixmap(Qt::ReturnByValue).toImage(); };
        const QImage black = MediaHelper::icon(":/icons/check.svg").pixmap(24, 24).toImage();
        const QImage white
            = MediaHelper::iconColored(":/icons/check.svg", "#FFF", "#000").pixmap(24, 24).toImage();
        QCOMPARE(button->icon().cacheKey(), MediaHelper::icon(":/icons/plus.svg").cacheKey());
        QCOMPARE(shown(), black);
        QCOMPARE(panel->palette().color(QPalette::Active, QPalette::Window), QColor("#F6F6F6"));

        helper.selectTheme("dark");
        QCOMPARE(button->icon().cacheKey(),
            MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000").cacheKey());
        QCOMPARE(shown(), white);
        QCOMPARE(panel->palette().color(QPalette::Inactive, QPalette::Window), QColor("#000"));
        QCOMPARE(unbound.icon().cacheKey(), light.cacheKey());
        helper.selectTheme("light");
        QCOMPARE(shown(), black);

        delete targets;
        QCOMPARE(helper.changedReceivers(), baseline);
        helper.selectTheme("dark"); // reaches no dead target

        // The icon for the one instance's current theme.
        StyleHelper::Instance()->selectTheme("dark");
        QCOMPARE(StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF").cacheKey(),
            MediaHelper::iconColored(":/icons/play.svg", "#FFF", "#000").cacheKey());
        StyleHelper::Instance()->selectTheme("light");
        QCOMPARE(StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF").cacheKey(), light.cacheKey());
    }

    // Links take the theme's colour, not the widget style's dark blue; the keyboard's place
    // shows on tables and buttons, in both themes.
    void linksAndFocusFollowTheTheme()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *link = new QLabel("<a href=\"https://kesta.invalid/\">kesta</a>");
        auto *table = new QTableView;
        table->setObjectName("sortableTable");
        auto *button = new QPushButton("Go");
        for (QWidget *widget :
            { static_cast<QWidget *>(link), static_cast<QWidget *>(table), static_cast<QWidget *>(button) })
            layout->addWidget(widget);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (const char *theme : { "dark", "light" }) {
            StyleHelper::Instance()->selectTheme(theme);
            QCOMPARE(link->palette().color(QPalette::Link), StyleHelper::ThemeColor("--z-link-text"));
            for (QWidget *widget : { static_cast<QWidget *>(table), static_cast<QWidget *>(button) }) {
                link->setFocus();
                const QImage unfocused = widget->grab().toImage();
                widget->setFocus();
                QVERIFY2(widget->grab().toImage() != unfocused, theme);
            }
        }
        QCOMPARE(StyleHelper::ThemeColor("--z-link-text"), QColor("#159"));
    }

    // The style sheet would paint a placeholder like typed text: an empty search
    // field must not look like an active filter, in either theme.
    void placeholderIsDimmedWhileTheFieldIsEmpty()
    {
        QLineEdit edit;
        edit.setPlaceholderText("Search patients");
        StyleHelper::DimPlaceholder(&edit);
        edit.resize(200, 30);
        edit.show();
        // How far the strongest ink of the text area stands from the field's background.
        const auto contrast = [&edit] {
            const QImage image = edit.grab(edit.rect().adjusted(4, 4, -4, -4)).toImage();
            const int background = qGray(image.pixel(0, 0));
            int most = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    most = qMax(most, qAbs(qGray(image.pixel(x, y)) - background));
            return most;
        };
        for (const char *theme : { "light", "dark" }) {
            StyleHelper::Instance()->selectTheme(theme);
            const int placeholder = contrast();
            edit.setText("Search patients");
            const int typed = contrast();
            edit.clear();
            QVERIFY2(placeholder > 0 && placeholder < typed - 40 && contrast() == placeholder,
                qPrintable(QString("%1: placeholder %2, typed %3").arg(theme).arg(placeholder).arg(typed)));
        }
        StyleHelper::Instance()->selectTheme("light");
    }
};

KESTA_TEST_MAIN(TestStyleHelper)
#include "tst_stylehelper.moc"
