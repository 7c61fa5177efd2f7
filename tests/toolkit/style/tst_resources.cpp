#include "support/testenvironment.h"
#include "toolkit/style/stylehelper.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTranslator>

namespace
{

// Opens the theme manager's parser to the test.
class ThemeReader : public StyleHelper
{
public:
    using StyleHelper::parseTheme;
};

StyleHelper::ValueMap readTheme(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ThemeReader::parseTheme(QString::fromUtf8(file.readAll()));
}

} // namespace

// The resources that the program names, built in, and the themes as designed.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void namedResourceExists_data();
    void namedResourceExists();
    void themeDefinesTheDesignedValues_data();
    void themeDefinesTheDesignedValues();
    void themesDefineTheSameVariables();
    void styleSheetsResolveCompletely_data();
    void styleSheetsResolveCompletely();
    void themeNamesAreTranslated();
};

void TestResources::namedResourceExists_data()
{
    QTest::addColumn<QString>("path");
    const char *const paths[] = {
        // fonts, registered at start-up
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Regular.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Italic.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-Bold.ttf",
        ":/resources/fonts/OpenSans/OpenSans_SemiCondensed-BoldItalic.ttf",
        // style files and themes
        ":/themes/zt.theme.css",
        ":/Kesta.css",
        ":/themes/light.css",
        ":/themes/dark.css",
        // theme icons and their dark variants
        ":/icons/chevron-up.svg",
        ":/icons/chevron-down.svg",
        ":/icons/chevron-left.svg",
        ":/icons/chevron-right.svg",
        ":/icons/check.svg",
        ":/icons/chevron-up-dark.svg",
        ":/icons/chevron-down-dark.svg",
        ":/icons/chevron-left-dark.svg",
        ":/icons/chevron-right-dark.svg",
        ":/icons/check-dark.svg",
        // main window menus, settings and about dialogs
        ":/icons/folder-open.svg",
        ":/icons/plus.svg",
        ":/icons/refresh.svg",
        ":/icons/settings.svg",
        ":/icons/information.svg",
        // the "New examination" button
        ":/icons/amplifier.svg",
        // row actions and record marks
        ":/icons/edit.svg",
        ":/icons/folder.svg",
        ":/icons/delete.svg",
        ":/icons/play.svg",
        ":/icons/circle_cross.svg",
        // the language setting
        ":/icons/translate.svg",
        // the patients' sex
        ":/resources/images/gender-unspecified.svg",
        ":/resources/images/gender-male.svg",
        ":/resources/images/gender-female.svg",
    };
    for (const char *path : paths)
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TestResources::namedResourceExists()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray content = file.readAll();
    QVERIFY(!content.isEmpty());

    if (path.endsWith(".svg")) {
        QSvgRenderer renderer(content);
        QVERIFY(renderer.isValid());
        // Icons are drawn in black so that the dark theme can recolour them;
        // the dark variants are already white.
        const QString colour = path.endsWith("-dark.svg") ? "fill=\"#FFF\"" : "fill=\"#000\"";
        const int tagEnd = content.indexOf('>', content.indexOf("<svg"));
        QVERIFY2(QString::fromUtf8(content.left(tagEnd)).contains(colour), content.constData());
    } else if (path.endsWith(".ttf")) {
        const int id = QFontDatabase::addApplicationFontFromData(content);
        QVERIFY(id >= 0);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList("Open Sans SemiCondensed"));
    }
}

void TestResources::themeDefinesTheDesignedValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("light");
    QTest::addColumn<QString>("dark");
    const char *const table[][3] = {
        { "--z-bg", "#FFF", "#222" },
        { "--z-sub-bg", "#F6F6F6", "#444" },
        { "--z-panel-bg", "#CCC", "#292929" },
        { "--z-idle-bg", "#DDD", "#333" },
        { "--z-window-bg", "#F6F6F6", "#000" },
        { "--z-text", "#000", "#FFF" },
        { "--z-link-text", "#159", "#0CF" },
        { "--z-disabled-text", "#999", "#666" },
        { "--z-sub-text", "#666", "#AAA" },
        { "--z-active-border", "#AAA", "#666" },
        { "--z-field-bg", "#FFF", "#333" },
        { "--z-accent", "#4AE", "#159" },
        { "--z-tooltip-bg", "#FFF", "#CCC" },
        { "--z-tooltip-color", "#575757", "#575757" },
        { "--z-grid-line", "#E0E0E0", "#444444" },
        { "--z-grid-sub-line", "#E9E9E9", "#333" },
        { "--z-grid-time", "#B9B9B9", "#6F6F6F" },
        { "--z-grid-time-text", "#666666", "#AAA" },
        { "--z-btn-bg", "#E6E6E6", "#363636" },
        { "--z-btn-border", "#CCC", "#555" },
        { "--z-btn-hover-bg", "#E1E5E9", "#414549" },
        { "--z-btn-hover-border", "#DDD", "#DDD" },
        { "--z-btn-pressed-bg", "#C1C5C9", "#515559" },
        { "--z-btn-pressed-border", "#999", "#999" },
        { "--z-btn-disabled-bg", "#CCC", "#222222" },
        { "--z-btn-disabled-border", "#BBB", "#444" },
        { "--z-chevron-up", "\":/icons/chevron-up.svg\"", "\":/icons/chevron-up-dark.svg\"" },
        { "--z-chevron-down", "\":/icons/chevron-down.svg\"", "\":/icons/chevron-down-dark.svg\"" },
        { "--z-chevron-left", "\":/icons/chevron-left.svg\"", "\":/icons/chevron-left-dark.svg\"" },
        { "--z-chevron-right", "\":/icons/chevron-right.svg\"", "\":/icons/chevron-right-dark.svg\"" },
        { "--z-check", "\":/icons/check.svg\"", "\":/icons/check-dark.svg\"" },
    };
    for (const auto &row : table)
        QTest::newRow(row[0]) << row[0] << row[1] << row[2];
}

void TestResources::themeDefinesTheDesignedValues()
{
    QFETCH(QString, name);
    QFETCH(QString, light);
    QFETCH(QString, dark);
    QCOMPARE(readTheme(":/themes/light.css").value(name), light);
    QCOMPARE(readTheme(":/themes/dark.css").value(name), dark);
}

void TestResources::themesDefineTheSameVariables()
{
    const StyleHelper::ValueMap light = readTheme(":/themes/light.css");
    QCOMPARE(light.size(), 31);
    QCOMPARE(readTheme(":/themes/dark.css").keys(), light.keys());
}

void TestResources::styleSheetsResolveCompletely_data()
{
    QTest::addColumn<QString>("theme");
    QTest::newRow("light") << "light";
    QTest::newRow("dark") << "dark";
}

// Every variable the style files use is defined, and every file they point to
// is built in; an unresolved one would silently drop its rule.
void TestResources::styleSheetsResolveCompletely()
{
    QFETCH(QString, theme);
    QVERIFY(StyleHelper::registerFontsAndStyles());
    StyleHelper::Instance()->selectTheme(theme);
    const QString sheet = qApp->styleSheet();
    QVERIFY(sheet.contains("QPushButton#actionButton"));
    QVERIFY(sheet.contains("QTableView#sortableTable"));

    const QRegularExpression variable("--z-[a-z-]+");
    QVERIFY2(!sheet.contains(variable), qPrintable(variable.match(sheet).captured()));

    const QRegularExpression url("url\\(\"?([^\")]+)\"?\\)");
    int urls = 0;
    for (auto it = url.globalMatch(sheet); it.hasNext(); ++urls) {
        const QString path = it.next().captured(1);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(path.endsWith("-dark.svg"), theme == "dark");
    }
    QVERIFY(urls >= 10);
}

void TestResources::themeNamesAreTranslated()
{
    QTranslator russian;
    QVERIFY(russian.load(":/translations/style_ru_RU.qm"));
    QCOMPARE(russian.translate("ColorThemeEnum", "Light"), QString("Светлая"));
    QCOMPARE(russian.translate("ColorThemeEnum", "Dark"), QString("Тёмная"));
    QTranslator english;
    QVERIFY(english.load(":/translations/style_en_US.qm"));
    QCOMPARE(english.translate("ColorThemeEnum", "Dark"), QString("Dark"));
}

KESTA_TEST_MAIN(TestResources)
#include "tst_resources.moc"
