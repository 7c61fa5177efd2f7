#include "support/testenvironment.h"

#include "toolkit/util/processtable.h"

#include <QApplication>

class TestProcessTable : public QObject
{
    Q_OBJECT
private slots:
    void tasklistOutputParsed();
    void tasklistOddOutput_data();
    void tasklistOddOutput();
    void imageNames_data();
    void imageNames();
    void commandLines();
    void listHoldsThisProgram();
};

void TestProcessTable::tasklistOutputParsed()
{
    // As "tasklist /NH /FO CSV" prints it: an empty first line, CRLF endings, thousands
    // separators inside quotes, the kernel's pseudo processes without a dot.
    const QByteArray output = "\r\n"
                              "\"System Idle Process\",\"0\",\"Services\",\"0\",\"8 K\"\r\n"
                              "\"System\",\"4\",\"Services\",\"0\",\"2,420 K\"\r\n"
                              "\"svchost.exe\",\"1020\",\"Services\",\"0\",\"21,532 K\"\r\n"
                              "\"DI Duvi.exe\",\"7344\",\"Console\",\"1\",\"154,108 K\"\r\n"
                              "\r\n"
                              "\"Kesta.exe\",\"8120\",\"Console\",\"1\",\"60,004 K\"\r\n";
    const QList<ProcessTable::Entry> entries = ProcessTable::parseTasklistCsv(output);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).imageName, QString("svchost.exe"));
    QCOMPARE(entries.at(0).pid, qint64(1020));
    QCOMPARE(entries.at(1).imageName, QString("DI Duvi.exe"));
    QCOMPARE(entries.at(1).pid, qint64(7344));
    QCOMPARE(entries.at(2).imageName, QString("Kesta.exe"));
    QCOMPARE(entries.at(2).pid, qint64(8120));
}

void TestProcessTable::tasklistOddOutput_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("nothing") << QByteArray() << QStringList();
    QTest::newRow("only blank lines") << QByteArray("\r\n\r\n") << QStringList();
    // Without matches tasklist prints an informational line, not a record.
    QTest::newRow("no tasks") << QByteArray(
        "INFO: No tasks are running which match the specified criteria.\r\n")
                              << QStringList();
    QTest::newRow("no final line end")
        << QByteArray("\"a.exe\",\"1\",\"Console\",\"1\",\"1 K\"") << QStringList { "a.exe" };
    QTest::newRow("blanks around the name")
        << QByteArray("\" padded.exe \",\"5\",\"Console\",\"1\",\"1 K\"\r\n") << QStringList { "padded.exe" };
}

void TestProcessTable::tasklistOddOutput()
{
    QFETCH(QByteArray, output);
    QFETCH(QStringList, names);
    QStringList got;
    for (const ProcessTable::Entry &entry : ProcessTable::parseTasklistCsv(output))
        got.append(entry.imageName);
    QCOMPARE(got, names);
}

void TestProcessTable::imageNames_data()
{
    QTest::addColumn<QByteArray>("cmdline");
    QTest::addColumn<QByteArray>("comm");
    QTest::addColumn<QString>("name");
    QTest::newRow("absolute path") << QByteArray("/opt/Orvalis/DI Duvi.exe\0/database\0", 35)
                                   << QByteArray("DI Duvi.exe") << "DI Duvi.exe";
    QTest::newRow("windows path") << QByteArray("C:\\Program Files\\Orvalis\\DI Duvi.exe\0", 37)
                                  << QByteArray("DI Duvi.exe") << "DI Duvi.exe";
    QTest::newRow("bare name") << QByteArray("kesta\0", 6) << QByteArray("kesta") << "kesta";
    QTest::newRow("kernel thread") << QByteArray() << QByteArray("kworker/0:1") << "kworker/0:1";
    QTest::newRow("path ends in slash") << QByteArray("/usr/bin/\0", 10) << QByteArray("odd") << "odd";
    QTest::newRow("unicode") << QByteArray("/tmp/Запись.exe\0", 22) << QByteArray("x")
                             << QString::fromUtf8("Запись.exe");
}

void TestProcessTable::imageNames()
{
    QFETCH(QByteArray, cmdline);
    QFETCH(QByteArray, comm);
    QFETCH(QString, name);
    QCOMPARE(ProcessTable::imageNameFromCmdline(cmdline, comm), name);
}

void TestProcessTable::commandLines()
{
    QCOMPARE(ProcessTable::tasklistArguments(), QStringList({ "/NH", "/FO", "CSV" }));
    // Quotes given by callers are for a command line; as an argument the name goes bare.
    QCOMPARE(ProcessTable::taskkillArguments("\"DI Duvi.exe\""), QStringList({ "/im", "DI Duvi.exe", "/f" }));
    QCOMPARE(ProcessTable::taskkillArguments("DI Duvi.exe"), QStringList({ "/im", "DI Duvi.exe", "/f" }));
    QCOMPARE(ProcessTable::withoutQuotes("\""), QString("\""));

    const QString file = "C:/Orvalis Data/Data/Ivanov \"Jr\" & Co/rec.edf";
    QCOMPARE(ProcessTable::explorerArguments(file, false),
        QStringList({ "/select,", "C:\\Orvalis Data\\Data\\Ivanov \"Jr\" & Co\\rec.edf" }));
    QCOMPARE(ProcessTable::explorerArguments("C:/Orvalis Data/Data/a b", true),
        QStringList({ "C:\\Orvalis Data\\Data\\a b" }));
}

void TestProcessTable::listHoldsThisProgram()
{
    const qint64 self = QCoreApplication::applicationPid();
    bool found = false;
    for (const ProcessTable::Entry &entry : ProcessTable::list()) {
        if (entry.pid == self) {
            found = true;
            QCOMPARE(entry.imageName, QCoreApplication::applicationName());
        }
    }
    QVERIFY(found);
}

KESTA_TEST_MAIN(TestProcessTable)
#include "tst_processtable.moc"
