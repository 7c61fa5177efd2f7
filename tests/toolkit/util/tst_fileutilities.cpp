#include "support/testenvironment.h"

#include "toolkit/util/fileutilities.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace
{

bool writeFile(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(int(size), 'x')) == size;
}

} // namespace

class TestFileUtilities : public QObject
{
    Q_OBJECT
private slots:
    void folderSlash_data();
    void folderSlash();
    void filesizeNice_data();
    void filesizeNice();
    void dirsizeCountsNestedFilesNotLinks();
    void createIfNotExists();
    void clearFolderRemovesAndRecreates();
    void clearFolderRemoveOnly();
    void clearFolderMissing();

private:
    QTemporaryDir temp;
};

void TestFileUtilities::folderSlash_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("result");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("backslashes") << "C:\\Orvalis Data\\Data"
                                 << "C:/Orvalis Data/Data/";
    QTest::newRow("trailing slash kept single") << "/home/a/"
                                                << "/home/a/";
    QTest::newRow("trailing backslash") << "C:\\Orvalis Data\\"
                                        << "C:/Orvalis Data/";
    QTest::newRow("doubled slash") << "/home//a"
                                   << "/home/a/";
    QTest::newRow("mixed doubled") << "a\\/b"
                                   << "a/b/";
}

void TestFileUtilities::folderSlash()
{
    QFETCH(QString, path);
    QFETCH(QString, result);
    QCOMPARE(FileUtilities::FolderSlash(path), result);
}

void TestFileUtilities::filesizeNice_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("result");
    QTest::newRow("0 B") << qint64(0) << 2 << "0 B";
    QTest::newRow("1000 B") << qint64(1000) << 2 << "1000 B";
    QTest::newRow("1024 B stays bytes") << qint64(1024) << 2 << "1024 B";
    QTest::newRow("1.5 KB") << qint64(1536) << 1 << "1.5 KB";
    QTest::newRow("1024.00 KB") << qint64(1048576) << 2 << "1024.00 KB";
    QTest::newRow("MB") << qint64(5 * 1048576 + 1) << 1 << "5.0 MB";
    QTest::newRow("TB") << qint64(3) * 1024 * 1024 * 1024 * 1024 << 0 << "3 TB";
}

void TestFileUtilities::filesizeNice()
{
    QFETCH(qint64, bytes);
    QFETCH(int, precision);
    QFETCH(QString, result);
    QCOMPARE(FileUtilities::filesizeNice(bytes, precision), result);
}

void TestFileUtilities::dirsizeCountsNestedFilesNotLinks()
{
    const QString root = temp.path() + "/size";
    QVERIFY(QDir().mkpath(root + "/a/b"));
    QVERIFY(writeFile(root + "/top.edf", 100));
    QVERIFY(writeFile(root + "/.hidden", 7));
    QVERIFY(writeFile(root + "/a/one.edf", 1000));
    QVERIFY(writeFile(root + "/a/b/two.edf", 20));
    const QString outside = temp.path() + "/outside";
    QVERIFY(QDir().mkpath(outside));
    QVERIFY(writeFile(outside + "/big", 50000));
    QVERIFY(QFile::link(outside, root + "/linked-folder"));
    QVERIFY(QFile::link(outside + "/big", root + "/linked-file"));

    QCOMPARE(FileUtilities::dirsize(root), qint64(1127));
    QCOMPARE(FileUtilities::dirsize(root + "/a"), qint64(1020));
    QCOMPARE(FileUtilities::dirsize(temp.path() + "/missing"), qint64(0));
}

void TestFileUtilities::createIfNotExists()
{
    const QString deep = temp.path() + "/create/x/y";
    QVERIFY(FileUtilities::createIfNotExists(deep));
    QVERIFY(QFileInfo(deep).isDir());
    QVERIFY(FileUtilities::createIfNotExists(deep));
    QVERIFY(writeFile(temp.path() + "/create/file", 1));
    QVERIFY(!FileUtilities::createIfNotExists(temp.path() + "/create/file/sub"));
}

void TestFileUtilities::clearFolderRemovesAndRecreates()
{
    const QString folder = temp.path() + "/clear";
    QVERIFY(QDir().mkpath(folder + "/sub"));
    QVERIFY(writeFile(folder + "/sub/rec.edf", 10));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Creating dir .*clear\"$"));
    QVERIFY(FileUtilities::clearFolder(folder, false));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestFileUtilities::clearFolderRemoveOnly()
{
    const QString folder = temp.path() + "/remove";
    QVERIFY(QDir().mkpath(folder + "/sub"));
    QVERIFY(writeFile(folder + "/sub/rec.edf", 10));
    QVERIFY(FileUtilities::clearFolder(folder, true));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestFileUtilities::clearFolderMissing()
{
    const QString folder = temp.path() + "/never";
    QVERIFY(!FileUtilities::clearFolder(folder, false));
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(!FileUtilities::clearFolder(folder, true));
}

KESTA_TEST_MAIN(TestFileUtilities)
#include "tst_fileutilities.moc"
