#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"

class TestMediaHelper : public QObject
{
    Q_OBJECT

private slots:
    void recolorSVG_data()
    {
        QTest::addColumn<QByteArray>("svg"); // null: no file at all
        QTest::addColumn<QString>("oldColor");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *tag, const QByteArray &svg, const char *old, const char *expected) {
            QTest::newRow(tag) << svg << QString(old) << QString(expected);
        };
        row("fill inserted into the opening tag",
            "<?xml version=\"1.0\"?>\n<svg viewBox=\"0 0 24 24\"><path/></svg>", "#000",
            "<?xml version=\"1.0\"?>\n<svg viewBox=\"0 0 24 24\" fill=\"#FFF\"><path/></svg>");
        row("fill of the opening tag replaced", "<svg fill=\"black\" viewBox=\"0 0 24 24\"><path/></svg>", "",
            "<svg fill=\"#FFF\" viewBox=\"0 0 24 24\"><path/></svg>");
        row("a child's fill is not the tag's", "<svg><path fill=\"#000\"/></svg>", "",
            "<svg fill=\"#FFF\"><path fill=\"#000\"/></svg>");
        row("old colour replaced throughout, longer colours not cut",
            "<svg><path fill=\"#000\" stroke=\"#000000\"/><path stroke=\"#000\"/></svg>", "#000",
            "<svg fill=\"#FFF\"><path fill=\"#FFF\" stroke=\"#000000\"/><path stroke=\"#FFF\"/></svg>");
        row("self-closing root", "<svg width=\"4\" height=\"4\"/>", "",
            "<svg width=\"4\" height=\"4\" fill=\"#FFF\"/>");
        row("unreadable file", QByteArray(), "#000", "");
    }

    void recolorSVG()
    {
        QFETCH(QByteArray, svg);
        QFETCH(QString, oldColor);
        const QString path = QTest::currentDataTag() + QStringLiteral(".svg");
        if (!svg.isNull())
            kestatest::writeFile(path, svg);
        QTEST(MediaHelper::recolorSVG(path, "#FFF", oldColor), "expected");
    }

    void iconsDrawnInTheirColourAndCachedPerPathAndColour()
    {
        const QImage image = MediaHelper::svgColored("qrc:/icons/plus.svg", "#F00", "#000");
        QCOMPARE(image.size(), QSize(24, 24));
        QCOMPARE(image.pixelColor(12, 12), QColor(Qt::red)); // the middle of the plus

        const QIcon plain = MediaHelper::icon(":/icons/plus.svg");
        QCOMPARE(MediaHelper::icon("qrc:/icons/plus.svg").cacheKey(), plain.cacheKey());
        QVERIFY(MediaHelper::icon(":/icons/delete.svg").cacheKey() != plain.cacheKey());
        const QIcon red = MediaHelper::iconColored(":/icons/plus.svg", "#F00", "#000");
        QCOMPARE(MediaHelper::iconColored("qrc:/icons/plus.svg", "#F00", "#000").cacheKey(), red.cacheKey());
        QVERIFY(MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000").cacheKey() != red.cacheKey());
        QCOMPARE(MediaHelper::iconColored(":/icons/plus.svg", "", "#000").cacheKey(), plain.cacheKey());
        // Drawn at twice the size too, for scaled screens.
        QCOMPARE(red.pixmap(48, 48).toImage().pixelColor(24, 24), QColor(Qt::red));

        QVERIFY(MediaHelper::icon(":/icons/no-such-icon.svg").isNull());
        QVERIFY(MediaHelper::iconColored(":/icons/no-such-icon.svg", "#FFF", "#000").isNull());
    }
};

KESTA_TEST_MAIN(TestMediaHelper)
#include "tst_mediahelper.moc"
