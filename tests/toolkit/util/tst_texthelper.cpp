#include "support/testenvironment.h"

#include "toolkit/util/texthelper.h"

#include <QApplication>

class TestTextHelper : public QObject
{
    Q_OBJECT
private slots:
    void pad_data();
    void pad();
    void zeroPad_data();
    void zeroPad();
    void translitEveryLetter();
    void translitKeepsOtherCharacters();
};

void TestTextHelper::pad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padding");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("padded") << "7"
                            << "0" << 3 << "007";
    QTest::newRow("exact width") << "123"
                                 << "0" << 3 << "123";
    QTest::newRow("longer not cut") << "12345"
                                    << "0" << 3 << "12345";
    QTest::newRow("empty padding") << "7"
                                   << "" << 5 << "7";
    QTest::newRow("multi-character padding overshoots") << "x"
                                                        << "ab" << 4 << "ababx";
    QTest::newRow("empty text") << ""
                                << " " << 2 << "  ";
}

void TestTextHelper::pad()
{
    QFETCH(QString, text);
    QFETCH(QString, padding);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(TextHelper::pad(text, padding, width), result);
}

void TestTextHelper::zeroPad_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("15/6") << qint64(15) << 6 << "000015";
    QTest::newRow("seven digits kept") << qint64(1234567) << 6 << "1234567";
    QTest::newRow("negative pads before the sign") << qint64(-5) << 3 << "0-5";
    QTest::newRow("zero") << qint64(0) << 2 << "00";
    QTest::newRow("year") << qint64(2024) << 4 << "2024";
}

void TestTextHelper::zeroPad()
{
    QFETCH(qint64, number);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(TextHelper::zeroPad(number, width), result);
}

void TestTextHelper::translitEveryLetter()
{
    QCOMPARE(TextHelper::translit(QString::fromUtf8("абвгдеёжзийклмнопрстуфхцчшщъыьэюя")),
        QString("abvgdeezhziyklmnoprstufhtschshschyeyuya"));
    QCOMPARE(TextHelper::translit(QString::fromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")),
        QString("ABVGDEEZhZIYKLMNOPRSTUFHTsChShSchYEYuYa"));
}

void TestTextHelper::translitKeepsOtherCharacters()
{
    QCOMPARE(TextHelper::translit(QString::fromUtf8("Щукин-Ёлкин Ян, 1975 г.р.")),
        QString("Schukin-Elkin Yan, 1975 g.r."));
    QCOMPARE(TextHelper::translit(QString::fromUtf8("Smith ǅ ä 李")), QString::fromUtf8("Smith ǅ ä 李"));
    QCOMPARE(TextHelper::translit(QString::fromUtf8("Объезд Подъём")), QString("Obezd Podem"));
    QCOMPARE(TextHelper::translit(QString()), QString());
}

KESTA_TEST_MAIN(TestTextHelper)
#include "tst_texthelper.moc"
