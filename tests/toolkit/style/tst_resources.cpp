#include "support/testenvironment.h"
#include "toolkit/style/stylehelper.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <QSvgRenderer>

// The resources that the program names, built in, and the themes complete.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void namedResourceExists_data()
    {
        QTest::addColumn<QString>("path");
        QStringList paths
            = { ":/themes/zt.theme.css", ":/Kesta.css", ":/themes/light.css", ":/themes/dark.css" };
        for (const char *face : { "Regular", "Italic", "Bold", "BoldItalic" })
            paths << QString(":/resources/fonts/OpenSans/OpenSans_SemiCondensed-%1.ttf").arg(face);
        // Theme marks with their dark variants; menus, dialogs, row actions, record marks, language.
        for (const char *icon : { "chevron-up", "chevron-down", "chevron-left", "chevron-right", "check" })
            paths << QString(":/icons/%1.svg").arg(icon) << QString(":/icons/%1-dark.svg").arg(icon);
        for (const char *icon : { "folder-open", "plus", "refresh", "settings", "information", "amplifier",
                 "edit", "folder", "delete", "play", "circle_cross", "translate" })
            paths << QString(":/icons/%1.svg").arg(icon);
        for (const char *sex : { "unspecified", "male", "female" })
            paths << QString(":/resources/images/gender-%1.svg").arg(sex);
        for (const QString &path : paths)
            QTest::newRow(qPrintable(path)) << path;
    }

    void namedResourceExists()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(!content.isEmpty());
        if (path.endsWith(".svg")) {
            QVERIFY(QSvgRenderer(content).isValid());
            // Drawn in black so that the dark theme can recolour them; dark variants are white already.
            const QString colour = path.endsWith("-dark.svg") ? "fill=\"#FFF\"" : "fill=\"#000\"";
            const int tagEnd = content.indexOf('>', content.indexOf("<svg"));
            QVERIFY2(QString::fromUtf8(content.left(tagEnd)).contains(colour), content.constData());
        } else if (path.endsWith(".ttf")) {
            const int id = QFontDatabase::addApplicationFontFromData(content);
            QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList("Open Sans SemiCondensed"));
        }
    }

    // Every variable the style files use is defined, and every file they point to is built in; an
    // unresolved one would silently drop its rule.
    void styleSheetsResolveCompletely()
    {
        QVERIFY(StyleHelper::registerFontsAndStyles());
        for (const QString theme : { "light", "dark" }) {
            StyleHelper::Instance()->selectTheme(theme);
            const QString sheet = qApp->styleSheet();
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
    }
};

KESTA_TEST_MAIN(TestResources)
#include "tst_resources.moc"
