#include "db/model/kestasettings.h"
#include "support/namedprocess.h"
#include "support/testenvironment.h"

#include <QDir>

using namespace kestatest;

namespace
{

struct Outcome {
    int exitCode = -1;
    QString output; // standard output, then the error output
};

// The program copied out of the build tree, which makes it an installed one, run in a
// working folder of its own; it keeps its settings in this test's home.
Outcome run(const QStringList &arguments, const QString &workingFolder = QDir::currentPath())
{
    NamedProcess kesta("kesta", qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/kesta");
    kesta.process().setWorkingDirectory(workingFolder);
    Outcome outcome;
    if (!kesta.start(arguments) || !kesta.process().waitForFinished(120000)
        || kesta.process().exitStatus() != QProcess::NormalExit)
        return outcome;
    outcome.exitCode = kesta.process().exitCode();
    outcome.output = QString::fromLocal8Bit(
        kesta.process().readAllStandardOutput() + kesta.process().readAllStandardError());
    return outcome;
}

} // namespace

// The modes of the command line as a nightly job or an administrator runs them.
class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void modesEndWithTheirExitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("help") << QStringList { "--help" } << 0 << "--copy-database-to-server";
        QTest::newRow("version") << QStringList { "--version" } << 0 << "kesta ";
        QTest::newRow("backup without its file") << QStringList { "--backup" } << 2 << "--backup <FILE>";
        QTest::newRow("two modes") << QStringList { "--backup", "x.tar", "--copy-database-to-server" } << 2
                                   << "Give one of";
        QTest::newRow("unknown option") << QStringList { "--bakup", "x.tar" } << 2 << "Unknown option 'bakup'";
        QTest::newRow("unknown option, no display")
            << QStringList { "--bakup", "-platform", "xcb" } << 2 << "Unknown options: bakup";
        QTest::newRow("a file too many") << QStringList { "--copy-database-to-server", "a", "b" } << 2
                                         << "Unexpected argument: b";
        QTest::newRow("import choice unknown")
            << QStringList { "--import", "p.csv", "--duplicates", "merge" } << 2 << "skip, new or add";
        QTest::newRow("import option alone") << QStringList { "--dry-run" } << 2 << "with --import";
        QTest::newRow("server setup") << QStringList { "--server-setup" } << 0 << "CREATE ROLE kesta_reception";
        QTest::newRow("apply without the setup") << QStringList { "--backup", "x.tar", "--apply" } << 2
                                                 << "--apply goes with --server-setup";
        QTest::newRow("a file for the window") << QStringList { "x.sqlite" } << 2 << "Unexpected argument";
    }
    void modesEndWithTheirExitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const Outcome outcome = run(arguments);
        QVERIFY2(outcome.output.contains(said), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, exitCode);
    }

    // Installed, every mode reads the settings in the configuration folder, not a
    // Settings.xml in the working folder (which here names a server that is not there).
    void installedModesReadTheConfigurationFolder()
    {
        const QString working = QDir::current().filePath("elsewhere");
        QVERIFY(QDir().mkpath(working));
        {
            KestaSettings stray(working + "/Settings.xml");
            stray.setServerHost("127.0.0.1");
            stray.setServerPort(1);
            stray.setDataFolder(working);
        }
        const QString installedFile = QDir::home().filePath(".config/kesta/Settings.xml");
        const QString dataFolder = QDir::home().filePath("installed-data");
        QVERIFY(QDir().mkpath(dataFolder) && QDir().mkpath(QFileInfo(installedFile).path()));
        {
            KestaSettings installed(installedFile);
            installed.setLanguage(KestaSettings::en_US);
            installed.setDataFolder(dataFolder);
        }
        Outcome outcome = run({ "--copy-database-to-server" }, working);
        QVERIFY2(outcome.output.contains("set ServerHost in " + installedFile), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 2);
        outcome = run({ "--backup", QDir::home().filePath("nightly.tar") }, working);
        QVERIFY2(outcome.output.contains("there is no database at " + dataFolder), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 1);
    }

    // An import ends with 0 only when everything asked for was imported: a second
    // run finds the patients stored and, without --duplicates, says so with 1.
    void importEndsWithItsExitCode()
    {
        const QString installedFile = QDir::home().filePath(".config/kesta/Settings.xml");
        QVERIFY(QDir().mkpath(QFileInfo(installedFile).path()));
        {
            KestaSettings installed(installedFile);
            installed.setLanguage(KestaSettings::en_US);
            installed.setDataFolder(QDir::home().filePath("clinic"));
        }
        const QString export_ = QDir::home().filePath("export");
        QVERIFY(QDir().mkpath(export_ + "/old/Data/PetrovIvan_A17"));
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write(export_ + "/Patients.csv", "PatientID;LastName;FirstName;DOB\nA17;Petrov;Ivan;1980-05-01\n"));
        QVERIFY(write(export_ + "/Records.csv", "PatientID;RecordDate;FileName\nA17;2024-03-05T14:25:30;rec.edf\n"));
        QVERIFY(write(export_ + "/old/Data/PetrovIvan_A17/rec.edf", "recording"));
        QVERIFY(write(export_ + "/other.csv", "Name,Born\nX,1980\n"));

        Outcome outcome = run({ "--import", export_ + "/Patients.csv", "--data-folder", export_ + "/old", "--dry-run" });
        QVERIFY2(outcome.output.contains("1 patients would be imported"), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(!QFile::exists(QDir::home().filePath("clinic/Data/PetrovIvan_A17/rec.edf")));
        outcome = run({ "--import", export_ + "/Patients.csv", "--data-folder", export_ + "/old" });
        QVERIFY2(outcome.output.contains("Imported 1 patients, 1 records and 1 recordings"), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(QFile::exists(QDir::home().filePath("clinic/Data/PetrovIvan_A17/rec.edf")));
        outcome = run({ "--import", export_ + "/Patients.csv" });
        QVERIFY2(outcome.output.contains("stored already"), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 1);
        outcome = run({ "--import", export_ + "/other.csv" });
        QVERIFY2(outcome.output.contains("no mapping is saved"), qPrintable(outcome.output));
        QCOMPARE(outcome.exitCode, 1);
    }
};

KESTA_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
