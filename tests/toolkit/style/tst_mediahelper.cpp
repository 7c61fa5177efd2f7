#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"

#include <QTemporaryDir>

class TestMediaHelper : public QObject
{
    Q_OBJECT

private slots:
    void recolorSVG_data();
    void recolorSVG();
    void svgColoredDrawsInTheNewColour();
    void iconsAreCachedPerPathAndColour();

private:
    QTemporaryDir folder;
};

void TestMediaHelper::recolorSVG_data()
{
    QTest::addColumn<QByteArray>("svg"); // null: no file at all
    QTest::addColumn<QString>("oldColor");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fill inserted into the opening tag")
        << QByteArray("<?xml version=\"1.0\"?>\n<svg viewBox=\"0 0 24 24\"><path d=\"M0\"/></svg>") << "#000"
        << "<?xml version=\"1.0\"?>\n<svg viewBox=\"0 0 24 24\" fill=\"#FFF\"><path d=\"M0\"/></svg>";
    QTest::newRow("fill of the opening tag replaced")
        << QByteArray("<svg fill=\"black\" viewBox=\"0 0 24 24\"><path d=\"M0\"/></svg>") << ""
        << "<svg fill=\"#FFF\" viewBox=\"0 0 24 24\"><path d=\"M0\"/></svg>";
    QTest::newRow("old colour replaced throughout")
        << QByteArray("<svg fill=\"#000\"><path fill=\"#000\" stroke=\"#000\"/></svg>") << "#000"
        << "<svg fill=\"#FFF\"><path fill=\"#FFF\" stroke=\"#FFF\"/></svg>";
    QTest::newRow("a child's fill is not the tag's") << QByteArray("<svg><path fill=\"#000\"/></svg>") << ""
                                                     << "<svg fill=\"#FFF\"><path fill=\"#000\"/></svg>";
    QTest::newRow("longer colours are not cut")
        << QByteArray("<svg><path fill=\"#000000\" stroke=\"#000\"/></svg>") << "#000"
        << "<svg fill=\"#FFF\"><path fill=\"#000000\" stroke=\"#FFF\"/></svg>";
    QTest::newRow("self-closing root") << QByteArray("<svg width=\"4\" height=\"4\"/>") << ""
                                       << "<svg width=\"4\" height=\"4\" fill=\"#FFF\"/>";
    QTest::newRow("unreadable file") << QByteArray() << "#000"
                                     << "";
}

void TestMediaHelper::recolorSVG()
{
    QFETCH(QByteArray, svg);
    QFETCH(QString, oldColor);
    QFETCH(QString, expected);
    const QString path = folder.filePath(QTest::currentDataTag() + QStringLiteral(".svg"));
    QFile file(path);
    if (!svg.isNull())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size() && file.flush());
    QCOMPARE(MediaHelper::recolorSVG(path, "#FFF", oldColor), expected);
}

void TestMediaHelper::svgColoredDrawsInTheNewColour()
{
    const QImage image = MediaHelper::svgColored("qrc:/icons/plus.svg", "#F00", "#000");
    QCOMPARE(image.size(), QSize(24, 24));
    QCOMPARE(image.pixelColor(12, 12), QColor(Qt::red)); // the middle of the plus
    QVERIFY(MediaHelper::svgColored(folder.filePath("absent.svg"), "#F00", "#000").isNull());
}

void TestMediaHelper::iconsAreCachedPerPathAndColour()
{
    const QIcon plain = MediaHelper::icon(":/icons/plus.svg");
    QVERIFY(!plain.isNull());
    QCOMPARE(MediaHelper::icon("qrc:/icons/plus.svg").cacheKey(), plain.cacheKey());
    QVERIFY(MediaHelper::icon(":/icons/delete.svg").cacheKey() != plain.cacheKey());

    const QIcon white = MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000");
    QVERIFY(!white.isNull());
    QCOMPARE(MediaHelper::iconColored("qrc:/icons/plus.svg", "#FFF", "#000").cacheKey(), white.cacheKey());
    const QIcon red = MediaHelper::iconColored(":/icons/plus.svg", "#F00", "#000");
    QVERIFY(red.cacheKey() != white.cacheKey());
    QVERIFY(MediaHelper::iconColored(":/icons/delete.svg", "#FFF", "#000").cacheKey() != white.cacheKey());
    QCOMPARE(MediaHelper::iconColored(":/icons/plus.svg", "", "#000").cacheKey(), plain.cacheKey());
    // Drawn at twice the size too, for scaled screens.
    QCOMPARE(red.pixmap(48, 48).toImage().pixelColor(24, 24), QColor(Qt::red));
    QVERIFY(MediaHelper::icon(":/icons/no-such-icon.svg").isNull());
    QVERIFY(MediaHelper::iconColored(":/icons/no-such-icon.svg", "#FFF", "#000").isNull());
}

KESTA_TEST_MAIN(TestMediaHelper)
#include "tst_mediahelper.moc"
