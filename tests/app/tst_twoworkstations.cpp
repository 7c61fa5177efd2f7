#include "db/storage/database.h"
#include "db/model/kestasettings.h"
#include "support/namedprocess.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "toolkit/util/settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <memory>

using namespace kestatest;

namespace
{

// One workstation: the real program in a folder of its own with its
// Settings.xml and its own home, under a name of its own, so that neither
// takes the other for a second copy of itself, as two machines would not.
struct Workstation {
    NamedProcess program;
    // What it printed, each line with the moment it printed it.
    QMap<QString, qint64> lines;

    Workstation(const QString &name, const DatabaseLocation &location)
        : program(name, qEnvironmentVariable("KESTA_BINARY_DIR") + "/tests/kesta_workstation")
    {
        const QString folder = QDir::current().filePath(name);
        // The copy runs outside the build tree: an installed program, which keeps its
        // settings in the configuration folder of its home, named after it.
        const QString settingsFile = SettingsLocation::filePath(
            "Settings.xml", QFileInfo(program.path()).absolutePath(), folder + "/.config/" + name);
        QDir().mkpath(QFileInfo(settingsFile).absolutePath());
        KestaSettings settings(settingsFile);
        settings.setLanguage(KestaSettings::en_US);
        settings.setStartMaximized(false);
        settings.setCheckForNewVersion(false);
        settings.setServerHost(location.host);
        settings.setServerPort(location.port);
        settings.setServerDatabase(location.databaseName);
        settings.setServerUser(location.user);
        settings.setServerTlsMode(KestaSettings::disable);
        program.process().setWorkingDirectory(folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", folder);
        environment.remove("XDG_CONFIG_HOME");
        program.process().setProcessEnvironment(environment);
        program.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    // Whether it has printed this line by now.
    bool said(const QString &line)
    {
        while (program.process().canReadLine()) {
            const QString read = QString::fromUtf8(program.process().readLine()).trimmed();
            const int at = read.lastIndexOf(" @");
            lines.insert(read.left(at).trimmed(), read.mid(at + 2).toLongLong());
        }
        return lines.contains(line);
    }
};

} // namespace

// Two copies of the program on one server, end to end: a patient created on
// one shows on the other by itself.
class TestTwoWorkstations : public QObject
{
    Q_OBJECT
private slots:
    void aNewPatientShowsOnTheOtherWorkstation()
    {
        TestServer *server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        const DatabaseLocation location = server->createDatabase();
        Workstation reception("workstation-a", location);
        Workstation recording("workstation-b", location);
        QVERIFY(reception.program.start({}) && recording.program.start({}));
        QTRY_VERIFY_WITH_TIMEOUT(reception.said("ready") && recording.said("ready"), 30000);
        QVERIFY(recording.said("patients:"));

        reception.program.process().write("new A17 Petrov\n");
        QTRY_VERIFY(reception.said("created A17"));
        QTRY_VERIFY_WITH_TIMEOUT(recording.said("patients: A17"), 10000);
        qInfo() << "Shown on the other workstation"
                << recording.lines.value("patients: A17") - reception.lines.value("committed Patients")
                << "ms after the insert committed";
        QVERIFY(reception.said("patients: A17"));
    }
};

KESTA_TEST_MAIN(TestTwoWorkstations)
#include "tst_twoworkstations.moc"
