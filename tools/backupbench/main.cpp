// How long a backup and a restore take beside tar of the same data folder.
//
//     backupbench [patients] [records-per-patient] [--megabytes M] [--rounds N] [--keep]
//
// Fills a data folder in a temporary home beside the working folder (10,000
// patients with 10 recordings each and about 2,048 MB of recording files by
// default, each recording a folder with one file of pseudo-random bytes),
// then measures, side by side and alternating, N rounds (default 3) of:
//   tar          tar -cf of the data folder
//   tar+fsync    the same, then the archive flushed to the disk (sync FILE),
//                as the backup flushes its own
//   backup       BackupArchive::write: the database copy, every file read,
//                hashed and written, the archive flushed, read back and checked
//   tar|gpg      tar -c of the data folder piped into gpg --encrypt to a key
//                made for the run (cv25519), the result flushed to the disk
//   encrypted    BackupArchive::write encrypted to the same key through GPGME,
//                flushed and read back
//   untar        tar -xf of tar's archive into an empty folder
//   restore      BackupRestore::stage: the backup unpacked beside the data
//                folder and checked against its manifest
// and prints the median of each, the ratios, and both archives' sizes. Each
// step starts after sync, so that none pays for the writes of the one before.
// Run it from a Release build; the disk should have room for the files three
// times.

#include "db/care/backuparchive.h"
#include "db/care/backuprestore.h"
#include "db/model/datalocations.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/databaselocation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

QTextStream out(stdout);

bool fill(int patients, int recordsEach, qint64 bytes)
{
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created)
        return false;
    {
        // The layout the program works on, History and Removals included.
        PatientDatabase database(DataLocations::databaseFile());
        if (!database.isUsable())
            return false;
    }
    const qint64 fileBytes = bytes / qMax(1, patients * recordsEach);
    QByteArray content(int(fileBytes), Qt::Uninitialized);
    QRandomGenerator random(26);
    for (int i = 0; i + 4 <= content.size(); i += 4) {
        const quint32 value = random.generate();
        std::memcpy(content.data() + i, &value, 4);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(DataLocations::databaseFile());
    if (!db.open())
        return false;
    db.transaction();
    QSqlQuery patient(db);
    patient.prepare(
        QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, Sex, DOB, City) "
                       "VALUES (?, ?, ?, 'Ivan', 'M', '1980-05-01', 'Tver')"));
    QSqlQuery record(db);
    record.prepare(
        QStringLiteral("INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, "
                       "Comments, Temperature) VALUES (?, ?, ?, ?, 'EEG', 'good record', 36.6)"));
    int recordId = 100;
    for (int i = 0; i < patients; ++i) {
        const QString id = QStringLiteral("P%1").arg(i, 6, 10, QLatin1Char('0'));
        patient.addBindValue(100 + i);
        patient.addBindValue(id);
        patient.addBindValue(QStringLiteral("Petrov%1").arg(i));
        if (!patient.exec()) {
            out << "fill failed: " << patient.lastError().text() << "\n";
            return false;
        }
        const QString folder = DataLocations::patientFolder(QStringLiteral("Petrov%1Ivan_%2").arg(i).arg(id));
        for (int r = 0; r < recordsEach; ++r, ++recordId) {
            const QDateTime date(QDate(2024, 1, 1).addDays(r), QTime(9, 0).addSecs(i % 3600));
            const QString name = QStringLiteral("EEG_") + date.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
            record.addBindValue(recordId);
            record.addBindValue(id);
            record.addBindValue(date.toString(Qt::ISODate));
            record.addBindValue(name + QStringLiteral("\\rec.edf"));
            QDir().mkpath(folder + name);
            QFile file(folder + name + QStringLiteral("/rec.edf"));
            content[0] = char(recordId);
            if (!record.exec() || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
                out << "fill failed at " << file.fileName() << "\n";
                return false;
            }
        }
    }
    db.commit();
    db.close();
    return true;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// CPU seconds used so far by this process and by the programs it ran: unlike
// the wall clock, they do not count waiting for a busy disk or core.
double cpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Each step starts with nothing of the one before still waiting to be written.
void settle()
{
    ::sync();
}

// A key without passphrase in a GNUPGHOME of the run's own; its fingerprint.
QString makeKey(const QString &gnupgHome)
{
    QDir().mkpath(gnupgHome);
    QFile::setPermissions(
        gnupgHome, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("GNUPGHOME", QFile::encodeName(gnupgHome));
    QProcess gpg;
    gpg.start(QStringLiteral("gpg"),
        { QStringLiteral("--batch"), QStringLiteral("--pinentry-mode"), QStringLiteral("loopback"),
            QStringLiteral("--passphrase"), QString(), QStringLiteral("--quick-gen-key"),
            QStringLiteral("Bench <bench@clinic.test>"), QStringLiteral("future-default"),
            QStringLiteral("default"), QStringLiteral("never") });
    gpg.waitForFinished(60000);
    gpg.start(QStringLiteral("gpg"),
        { QStringLiteral("--batch"), QStringLiteral("--with-colons"), QStringLiteral("--list-keys"),
            QStringLiteral("bench@clinic.test") });
    gpg.waitForFinished(60000);
    for (const QByteArray &line : gpg.readAllStandardOutput().split('\n')) {
        if (line.startsWith("fpr:"))
            return QString::fromLatin1(line.split(':').value(9));
    }
    return QString();
}

double run(const QString &program, const QStringList &arguments)
{
    settle();
    QElapsedTimer timer;
    timer.start();
    if (QProcess::execute(program, arguments) != 0)
        out << "failed: " << program << " " << arguments.join(' ') << "\n";
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    int rounds = 3;
    qint64 megabytes = 2048;
    bool keep = false;
    QList<int> numbers;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--rounds") && i + 1 < arguments.size())
            rounds = arguments.at(++i).toInt();
        else if (arguments.at(i) == QLatin1String("--megabytes") && i + 1 < arguments.size())
            megabytes = arguments.at(++i).toLongLong();
        else if (arguments.at(i) == QLatin1String("--keep"))
            keep = true;
        else
            numbers << arguments.at(i).toInt();
    }
    const int patients = numbers.value(0, 10000);
    const int recordsEach = numbers.value(1, 10);

    // Beside the working folder, not in /tmp, which may be memory.
    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/backupbench-XXXXXX"));
    home.setAutoRemove(!keep);
    qputenv("HOME", QFile::encodeName(home.path()));
    const qint64 free = QStorageInfo(home.path()).bytesAvailable();
    if (free < megabytes * 3 * 1024 * 1024 + (qint64(512) << 20)) {
        out << "not enough free disk space: " << (free >> 20) << " MB free, about " << megabytes * 3
            << " MB needed; give a smaller --megabytes\n";
        return 1;
    }
    out << "filling " << patients << " x " << recordsEach << ", " << megabytes << " MB of recordings in "
        << home.path() << "\n";
    out.flush();
    if (!fill(patients, recordsEach, megabytes << 20))
        return 1;
    const QString data = QDir::cleanPath(DataLocations::dataFolder());
    const QString tarFile = home.filePath(QStringLiteral("tar.tar"));
    const QString backupFile = home.filePath(QStringLiteral("kesta.tar"));
    const QString untarred = home.filePath(QStringLiteral("untarred"));
    PatientDatabase database(DataLocations::databaseFile());
    const DatabaseLocation location = database.location();

    const QString key = makeKey(home.filePath(QStringLiteral("gnupg")));
    if (key.isEmpty()) {
        out << "no key could be made with gpg\n";
        return 1;
    }
    const QString gpgFile = home.filePath(QStringLiteral("tar.tar.gpg"));
    const QString encryptedFile = home.filePath(QStringLiteral("kesta.tar.gpg"));
    BackupArchive::WriteOptions encrypting;
    encrypting.recipients = QStringList { key };

    QVector<double> tar, tarSync, backup, untar, restore, tarCpu, backupCpu, tarGpg, encrypted;
    qint64 tarSize = 0;
    qint64 backupSize = 0;
    // Once to warm the page cache as a busy workstation's would be.
    run(QStringLiteral("tar"),
        { QStringLiteral("-cf"), tarFile, QStringLiteral("-C"), home.path(),
            QStringLiteral("Orvalis Data") });
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(tarFile);
        const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
        tar << run(QStringLiteral("tar"),
            { QStringLiteral("-cf"), tarFile, QStringLiteral("-C"), home.path(),
                QStringLiteral("Orvalis Data") });
        tarCpu << cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        QFile::remove(tarFile);
        tarSync << run(QStringLiteral("sh"),
            { QStringLiteral("-c"),
                QStringLiteral("tar -cf \"$1\" -C \"$2\" \"Orvalis Data\" && sync \"$1\""),
                QStringLiteral("sh"), tarFile, home.path() });
        tarSize = QFileInfo(tarFile).size();

        QFile::remove(backupFile);
        settle();
        const double selfBefore = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer timer;
        timer.start();
        const BackupArchive::Result written
            = BackupArchive::write(location, DataLocations::dataFolder(), backupFile);
        backup << timer.nsecsElapsed() / 1e9;
        // Its threads included: the flush, the count.
        backupCpu << cpuSeconds(RUSAGE_SELF) - selfBefore;
        if (!written.ok) {
            out << "backup failed: " << written.reason << "\n";
            return 1;
        }
        backupSize = QFileInfo(backupFile).size();

        QFile::remove(gpgFile);
        tarGpg << run(QStringLiteral("sh"),
            { QStringLiteral("-c"),
                QStringLiteral(
                    "tar -cf - -C \"$2\" \"Orvalis Data\" | gpg --batch -q --trust-model always -e -r "
                    "\"$3\" -o \"$1\" && sync \"$1\""),
                QStringLiteral("sh"), gpgFile, home.path(), key });
        QFile::remove(encryptedFile);
        settle();
        timer.restart();
        const BackupArchive::Result sealed = BackupArchive::write(
            location, DataLocations::dataFolder(), encryptedFile, BackupArchive::Progress(), encrypting);
        encrypted << timer.nsecsElapsed() / 1e9;
        if (!sealed.ok) {
            out << "encrypted backup failed: " << sealed.reason << "\n";
            return 1;
        }

        QDir(untarred).removeRecursively();
        QDir().mkpath(untarred);
        untar << run(
            QStringLiteral("tar"), { QStringLiteral("-xf"), tarFile, QStringLiteral("-C"), untarred });
        QDir(untarred).removeRecursively();

        QString staged;
        settle();
        timer.restart();
        const BackupArchive::Result staging = BackupRestore::stage(&database, backupFile, &staged);
        restore << timer.nsecsElapsed() / 1e9;
        BackupRestore::discard(staged);
        if (!staging.ok) {
            out << "restore failed: " << staging.reason << "\n";
            return 1;
        }
        out << "round " << round + 1 << ": tar " << tar.last() << " s, tar+fsync " << tarSync.last()
            << " s, backup " << backup.last() << " s, untar " << untar.last() << " s, restore "
            << restore.last() << " s, tar|gpg " << tarGpg.last() << " s, encrypted " << encrypted.last()
            << " s\n";
        out.flush();
    }
    out << "\nmedians of " << rounds << " rounds, " << patients << " x " << recordsEach << ", "
        << (backupSize >> 20) << " MB backup, " << (tarSize >> 20) << " MB tar\n";
    out << QStringLiteral(
        "  tar %1 s   tar+fsync %2 s   backup %3 s   ratio backup/tar %4, backup/(tar+fsync) %5\n")
               .arg(median(tar), 0, 'f', 2)
               .arg(median(tarSync), 0, 'f', 2)
               .arg(median(backup), 0, 'f', 2)
               .arg(median(backup) / median(tar), 0, 'f', 2)
               .arg(median(backup) / median(tarSync), 0, 'f', 2);
    out << QStringLiteral("  CPU: tar %1 s   backup %2 s   ratio %3\n")
               .arg(median(tarCpu), 0, 'f', 2)
               .arg(median(backupCpu), 0, 'f', 2)
               .arg(median(backupCpu) / median(tarCpu), 0, 'f', 2);
    out << QStringLiteral(
        "  tar|gpg %1 s   encrypted backup %2 s   ratio encrypted/(tar|gpg) %3   (%4 MB, %5 MB)\n")
               .arg(median(tarGpg), 0, 'f', 2)
               .arg(median(encrypted), 0, 'f', 2)
               .arg(median(encrypted) / median(tarGpg), 0, 'f', 2)
               .arg(QFileInfo(gpgFile).size() >> 20)
               .arg(QFileInfo(encryptedFile).size() >> 20);
    out << QStringLiteral("  untar %1 s   restore %2 s   ratio restore/untar %3\n")
               .arg(median(untar), 0, 'f', 2)
               .arg(median(restore), 0, 'f', 2)
               .arg(median(restore) / median(untar), 0, 'f', 2);
    QProcess::execute(QStringLiteral("gpgconf"), { QStringLiteral("--kill"), QStringLiteral("gpg-agent") });
    return 0;
}
