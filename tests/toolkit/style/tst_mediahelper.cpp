#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"

#include <QTemporaryDir>

class TestMediaHelper : public QObject
{
    Q_OBJECT

private slots:
    void recolorSVG_data();
    void recolorSVG();
    void recolorSVGOfAnUnreadableFileIsEmpty();
    void svgColoredDrawsInTheNewColour();
    void iconsAreCachedPerPath();
    void coloredIconsAreCachedPerPathAndColour();
    void missingFilesGiveNullIcons();

private:
    QString writeSvg(const QByteArray &text);

    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestMediaHelper::writeSvg(const QByteArray &text)
{
    const QString path = m_dir.filePath(QString("icon%1.svg").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestMediaHelper::recolorSVG_data()
{
    QTest::addColumn<QByteArray>("svg");
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
    QTest::newRow("a child's fill is not the tag's")
        << QByteArray("<svg viewBox=\"0 0 24 24\"><path fill=\"#000\"/></svg>") << "#000"
        << "<svg viewBox=\"0 0 24 24\" fill=\"#FFF\"><path fill=\"#FFF\"/></svg>";
    QTest::newRow("without an old colour children keep theirs")
        << QByteArray("<svg><path fill=\"#000\"/></svg>") << ""
        << "<svg fill=\"#FFF\"><path fill=\"#000\"/></svg>";
    QTest::newRow("longer colours are not cut")
        << QByteArray("<svg><path fill=\"#000000\" stroke=\"#000\"/></svg>") << "#000"
        << "<svg fill=\"#FFF\"><path fill=\"#000000\" stroke=\"#FFF\"/></svg>";
    QTest::newRow("self-closing root") << QByteArray("<svg width=\"4\" height=\"4\"/>") << ""
                                       << "<svg width=\"4\" height=\"4\" fill=\"#FFF\"/>";
    QTest::newRow("not an SVG") << QByteArray("plain #000 text") << "#000"
                                << "plain #FFF text";
}

void TestMediaHelper::recolorSVG()
{
    QFETCH(QByteArray, svg);
    QFETCH(QString, oldColor);
    QFETCH(QString, expected);
    QCOMPARE(MediaHelper::recolorSVG(writeSvg(svg), "#FFF", oldColor), expected);
}

void TestMediaHelper::recolorSVGOfAnUnreadableFileIsEmpty()
{
    QVERIFY(MediaHelper::recolorSVG(m_dir.filePath("absent.svg"), "#FFF", "#000").isEmpty());
    QVERIFY(MediaHelper::recolorSVG(m_dir.path(), "#FFF", "#000").isEmpty()); // a folder
    QVERIFY(MediaHelper::svgColored(m_dir.filePath("absent.svg"), "#FFF", "#000").isNull());
}

void TestMediaHelper::svgColoredDrawsInTheNewColour()
{
    // Both spellings of a resource path reach the same file.
    for (const QString &path : { QString(":/icons/plus.svg"), QString("qrc:/icons/plus.svg") }) {
        const QImage image = MediaHelper::svgColored(path, "#F00", "#000");
        QCOMPARE(image.size(), QSize(24, 24));
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() == 255) {
                    QCOMPARE(pixel, QColor(Qt::red));
                    ++red;
                }
            }
        }
        QVERIFY(red > 20);
    }
}

void TestMediaHelper::iconsAreCachedPerPath()
{
    const QIcon first = MediaHelper::icon(":/icons/plus.svg");
    QVERIFY(!first.isNull());
    QCOMPARE(MediaHelper::icon(":/icons/plus.svg").cacheKey(), first.cacheKey());
    QCOMPARE(MediaHelper::icon("qrc:/icons/plus.svg").cacheKey(), first.cacheKey());
    QVERIFY(MediaHelper::icon(":/icons/delete.svg").cacheKey() != first.cacheKey());
}

void TestMediaHelper::coloredIconsAreCachedPerPathAndColour()
{
    const QIcon white = MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000");
    QVERIFY(!white.isNull());
    QCOMPARE(MediaHelper::iconColored(":/icons/plus.svg", "#FFF", "#000").cacheKey(), white.cacheKey());
    QCOMPARE(MediaHelper::iconColored("qrc:/icons/plus.svg", "#FFF", "#000").cacheKey(), white.cacheKey());

    const QIcon red = MediaHelper::iconColored(":/icons/plus.svg", "#F00", "#000");
    QVERIFY(red.cacheKey() != white.cacheKey());
    QVERIFY(MediaHelper::iconColored(":/icons/delete.svg", "#FFF", "#000").cacheKey() != white.cacheKey());

    // No colour means the plain icon.
    QCOMPARE(MediaHelper::iconColored(":/icons/plus.svg", "", "#000").cacheKey(),
        MediaHelper::icon(":/icons/plus.svg").cacheKey());

    // Sharp at twice the size, for scaled screens.
    const QImage large = red.pixmap(48, 48).toImage();
    QCOMPARE(large.size(), QSize(48, 48));
    QCOMPARE(large.pixelColor(24, 24), QColor(Qt::red)); // the middle of the plus
}

void TestMediaHelper::missingFilesGiveNullIcons()
{
    QVERIFY(MediaHelper::icon(":/icons/no-such-icon.svg").isNull());
    QVERIFY(MediaHelper::iconColored(":/icons/no-such-icon.svg", "#FFF", "#000").isNull());
}

KESTA_TEST_MAIN(TestMediaHelper)
#include "tst_mediahelper.moc"
