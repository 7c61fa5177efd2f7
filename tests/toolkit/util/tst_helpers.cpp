#include "support/settingsfiles.h"
#include "support/testenvironment.h"

#include "toolkit/util/clock.h"
#include "toolkit/util/connectionhelper.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/platform.h"
#include "toolkit/util/settingslocation.h"
#include "toolkit/util/texthelper.h"

#include <QTemporaryDir>
#include <QTimer>

class TestHelpers : public QObject
{
    Q_OBJECT
    QTemporaryDir temp;

private slots:
    void paddingFolderSlashAndFileSizes()
    {
        QCOMPARE(TextHelper::pad("7", "0", 3), QString("007"));
        QCOMPARE(TextHelper::pad("7", "", 5), QString("7"));
        QCOMPARE(TextHelper::pad("x", "ab", 4), QString("ababx"));
        QCOMPARE(TextHelper::zeroPad(-5, 3), QString("0-5"));
        QCOMPARE(FileUtilities::FolderSlash(""), QString());
        QCOMPARE(FileUtilities::FolderSlash("C:\\Orvalis Data\\Data"), QString("C:/Orvalis Data/Data/"));
        QCOMPARE(FileUtilities::FolderSlash("/home/a/"), QString("/home/a/"));
        QCOMPARE(FileUtilities::FolderSlash("a\\/b"), QString("a/b/"));
        QCOMPARE(FileUtilities::filesizeNice(1024), QString("1024 B"));
        QCOMPARE(FileUtilities::filesizeNice(1536, 1), QString("1.5 KB"));
        QCOMPARE(FileUtilities::filesizeNice(qint64(3) << 40, 0), QString("3 TB"));
    }

    void translit()
    {
        QCOMPARE(TextHelper::translit(QString::fromUtf8("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")),
            QString("ABVGDEEZhZIYKLMNOPRSTUFHTsChShSchYEYuYa"));
        QCOMPARE(TextHelper::translit(QString::fromUtf8("Ян Smith, 1975 ǅ ä 李")),
            QString::fromUtf8("Yan Smith, 1975 ǅ ä 李"));
    }

    void visibleText()
    {
        // A right-to-left override would show "Ivanov<RLO>fdp.exe" reversed; tabs and zero-width
        // spaces would hide in a name or an ID.
        QCOMPARE(TextHelper::visibleText(QString::fromUtf8("Ivanov\u202Efdp.exe\t\u200B\uFEFF")),
            QString("Ivanov<U+202E>fdp.exe<U+0009><U+200B><U+FEFF>"));
        const QString ordinary = QString::fromUtf8("Пётр O'Brien-Smith 李 \u0915\u094D\u200D\u0937");
        QCOMPARE(TextHelper::visibleText(ordinary), ordinary);
    }

    void todayFollowsTheClock()
    {
        // Held: every new instant counts, across midnight too.
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(23, 59, 59, 500)));
        QCOMPARE(Clock::today(), QDate(2024, 5, 10));
        Clock::advance(600);
        QCOMPARE(Clock::today(), QDate(2024, 5, 11));
        Clock::useSystemTime();
        const QDate before = QDate::currentDate();
        const QDate today = Clock::today();
        QVERIFY(today == before || today == QDate::currentDate());
    }

    void theTimeZoneStaysTheSystemsOrTheUsers()
    {
        const QDateTime noon(QDate(2026, 7, 1), QTime(12, 0));
        const int offset = noon.offsetFromUtc();
        qunsetenv("TZ");
        Platform::readTimeZoneOnce();
        QCOMPARE(qgetenv("TZ"), QByteArray(":/etc/localtime"));
        QCOMPARE(QDateTime(noon.date(), noon.time()).offsetFromUtc(), offset);
        qputenv("TZ", "Asia/Yekaterinburg");
        Platform::readTimeZoneOnce();
        QCOMPARE(qgetenv("TZ"), QByteArray("Asia/Yekaterinburg"));
        qunsetenv("TZ");
    }

    void foldersSizedCreatedAndCleared()
    {
        // Nested and hidden files count, links do not.
        const QString root = temp.path() + "/size";
        QVERIFY(QDir().mkpath(root + "/a/b") && QDir().mkpath(temp.path() + "/outside"));
        kestatest::writeFile(root + "/.hidden", QByteArray(7, 'x'));
        kestatest::writeFile(root + "/a/b/two.edf", QByteArray(20, 'x'));
        kestatest::writeFile(temp.path() + "/outside/big", QByteArray(50000, 'x'));
        QVERIFY(QFile::link(temp.path() + "/outside", root + "/linked-folder"));
        QVERIFY(QFile::link(temp.path() + "/outside/big", root + "/linked-file"));
        QCOMPARE(FileUtilities::dirsize(root), qint64(27));
        QCOMPARE(FileUtilities::dirsize(temp.path() + "/missing"), qint64(0));

        const QString folder = temp.path() + "/clear";
        QVERIFY(!FileUtilities::clearFolder(folder, false));
        QVERIFY(FileUtilities::createIfNotExists(folder + "/sub"));
        QVERIFY(QFile(folder + "/sub/rec.edf").open(QIODevice::WriteOnly));
        QVERIFY(!FileUtilities::createIfNotExists(folder + "/sub/rec.edf/deeper"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Creating dir .*clear\"$"));
        QVERIFY(FileUtilities::clearFolder(folder, false));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        kestatest::writeFile(folder + "/rec.edf", "x");
        QVERIFY(FileUtilities::clearFolder(folder, true));
        QVERIFY(!QFileInfo::exists(folder));
    }

    // Run from a build tree the settings stay in the working directory; installed, they go to
    // the user's configuration folder.
    void settingsFileLocation()
    {
        const QString build = temp.filePath("build"), installed = temp.filePath("usr/bin");
        QVERIFY(QDir().mkpath(build + "/tools/screenshots") && QDir().mkpath(installed));
        kestatest::writeFile(build + "/CMakeCache.txt", "");
        const QString config = temp.filePath(".config/kesta");
        for (const QString &program : { build + "/src", build + "/tools/screenshots" })
            QCOMPARE(SettingsLocation::filePath("Settings.xml", program, config), QString("Settings.xml"));
        QCOMPARE(SettingsLocation::filePath("Settings.xml", installed, config), config + "/Settings.xml");
        // This test itself runs from the build tree.
        QCOMPARE(SettingsLocation::filePath("Settings.xml"), QString("Settings.xml"));
    }

    void connectionsCutOnClearAndDestruction()
    {
        QTimer source;
        int held = 0, kept = 0;
        connect(&source, &QTimer::objectNameChanged, [&] { ++kept; });
        {
            ConnectionHelper helper;
            helper << connect(&source, &QTimer::objectNameChanged, [&] { ++held; });
            source.setObjectName("a");
            helper.clear();
            source.setObjectName("b");
            helper << connect(&source, &QTimer::objectNameChanged, [&] { ++held; });
        }
        source.setObjectName("c");
        QCOMPARE(held, 1);
        QCOMPARE(kept, 3);
    }
};

KESTA_TEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
