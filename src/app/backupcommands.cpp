#include "app/backupcommands.h"

#include "app/rolegate.h"
#include "db/care/backupencryption.h"
#include "db/care/backuprestore.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/storage/database.h"
#include "toolkit/i18n/datetext.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/messageboxdialogs.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <limits>

namespace
{

QString archiveFilter()
{
    return QCoreApplication::translate("BackupCommands", "Kesta backup (*.tar *.tar.gpg)")
        + QStringLiteral(";;") + QCoreApplication::translate("BackupCommands", "All files (*)");
}

constexpr int ProgressSteps = 1000;
constexpr int ShowAfterMs = 500;

QString dateText(const QString &isoUtc)
{
    return DateText::dateTime(QDateTime::fromString(isoUtc, Qt::ISODateWithMs));
}

} // namespace

BackupCommands::BackupCommands(Database *database, QWidget *window)
    : QObject(window)
    , database(database)
    , window(window)
    , backUpEntry(new QAction(tr("Back up..."), this))
    , restoreEntry(new QAction(tr("Restore..."), this))
{
    backUpEntry->setObjectName(QStringLiteral("actionBackUp"));
    restoreEntry->setObjectName(QStringLiteral("actionRestore"));
    StyleHelper::Instance()->setMenuActionIcon(
        backUpEntry, QStringLiteral(":/icons/folder.svg"), QStringLiteral("#FFF"));
    StyleHelper::Instance()->setMenuActionIcon(
        restoreEntry, QStringLiteral(":/icons/folder-open.svg"), QStringLiteral("#FFF"));
    connect(backUpEntry, &QAction::triggered, this, &BackupCommands::backUp);
    connect(restoreEntry, &QAction::triggered, this, &BackupCommands::restore);
}

QString BackupCommands::suggestedName(bool encrypted)
{
    return QDir::homePath() + QStringLiteral("/kesta-backup-")
        + Clock::today().toString(QStringLiteral("yyyy-MM-dd"))
        + (encrypted ? QStringLiteral(".tar.gpg") : QStringLiteral(".tar"));
}

BackupArchive::Result BackupCommands::runWithProgress(
    const QString &label, const std::function<BackupArchive::Result(const BackupArchive::Progress &)> &work)
{
    std::atomic<qint64> done { 0 };
    std::atomic<qint64> total { 0 };
    std::atomic<bool> cancelled { false };
    BackupArchive::Result result;
    QProgressDialog dialog(label, QCoreApplication::translate("Generic", "Cancel"), 0, ProgressSteps, window);
    dialog.setObjectName(QStringLiteral("backupProgress"));
    dialog.setMinimumWidth(360);
    dialog.setWindowTitle(QCoreApplication::applicationName());
    dialog.setWindowModality(Qt::WindowModal);
    // Shown by the tick below, and only for work that takes a while.
    dialog.setMinimumDuration(std::numeric_limits<int>::max());
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    connect(&dialog, &QProgressDialog::canceled, &dialog, [&] { cancelled = true; });
    QThread *worker = QThread::create([&] {
        result = work([&](qint64 bytes, qint64 whole) {
            done = bytes;
            total = whole;
            return !cancelled;
        });
    });
    QEventLoop wait;
    connect(worker, &QThread::finished, &wait, &QEventLoop::quit);
    QElapsedTimer running;
    running.start();
    QTimer tick;
    connect(&tick, &QTimer::timeout, &dialog, [&] {
        // A total not known yet (still being counted) shows as a busy bar.
        if (total > 0) {
            dialog.setMaximum(ProgressSteps);
            dialog.setValue(int(done * ProgressSteps / total));
        } else {
            dialog.setMaximum(0);
        }
        if (running.elapsed() >= ShowAfterMs && !dialog.isVisible() && !cancelled)
            dialog.show();
    });
    tick.start(100);
    worker->start();
    wait.exec();
    worker->wait();
    delete worker;
    return result;
}

QStringList BackupCommands::recipients()
{
    const KestaModel *model = KestaModel::Instance();
    return model && model->settings()
        ? BackupEncryption::fingerprints(model->settings()->getBackupRecipients())
        : QStringList();
}

QString BackupCommands::contentsText(const BackupArchive::Result &result)
{
    qint64 bytes = 0;
    for (const BackupManifest::File &file : result.manifest.files)
        bytes += file.size;
    return tr("%n patient(s)", nullptr, int(result.manifest.rows.value(QStringLiteral("Patients")))) + ", "
        + tr("%n recording(s)", nullptr, int(result.manifest.rows.value(QStringLiteral("Records")))) + ", "
        + tr("%n file(s)", nullptr, result.manifest.files.size()) + ", "
        + FileUtilities::filesizeNice(bytes, 1);
}

void BackupCommands::backUp()
{
    if (!RoleGate::permits(database, ServerRoles::Action::BackUp))
        return;
    BackupArchive::WriteOptions options;
    options.recipients = recipients();
    // Offered where the clinic has named its backup keys; plain otherwise, as a
    // backup that stays in the building may be. Leaving the box writes nothing: a
    // plain backup is never made for a clinic that meant to encrypt.
    if (!options.recipients.isEmpty()) {
        const MessageBox::Button form = MessageBoxDialogs::choose(tr("Back up"),
            tr("Encrypt the backup to the clinic's backup key (%n key(s))? Only the holder of its secret "
               "part "
               "can read or restore it: an encrypted backup may be taken out of the building.",
                nullptr, options.recipients.size()),
            MessageBox::Question, tr("Encrypted"), tr("Plain"));
        if (form == MessageBox::Reject)
            return;
        if (form == MessageBox::Third)
            options.recipients.clear();
    }
    const QString path = FileDialog::saveFileName(
        window, tr("Back up"), suggestedName(!options.recipients.isEmpty()), archiveFilter());
    if (path.isEmpty())
        return;
    const DatabaseLocation location = database->location();
    const QString dataFolder = DataLocations::dataFolder();
    const BackupArchive::Result result
        = runWithProgress(tr("Writing the backup…"), [&](const BackupArchive::Progress &progress) {
              return BackupArchive::write(location, dataFolder, path, progress, options);
          });
    if (result.cancelled)
        return;
    if (!result.ok) {
        AppHelper::warningMessage(tr("The backup was not written") + ":\n" + result.reason,
            QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
        return;
    }
    AppHelper::warningMessage(tr("The backup was written and checked") + ":\n"
            + QDir::toNativeSeparators(path) + "\n\n" + contentsText(result)
            + (result.encrypted
                    ? "\n" + tr("Encrypted to: %1").arg(options.recipients.join(QStringLiteral(", ")))
                    : QString())
            + (result.notes.isEmpty() ? QString() : "\n\n" + result.notes.join(QLatin1Char('\n'))),
        tr("Back up"), MessageBox::Information);
}

void BackupCommands::restore()
{
    if (!RoleGate::permits(database, ServerRoles::Action::RestoreBackup))
        return;
    const QString path = FileDialog::openFileName(window, tr("Restore"), QDir::homePath(), archiveFilter());
    if (path.isEmpty())
        return;
    // Read, decrypted and checked whole before anything is asked: what the
    // question tells is what was found.
    QString staged;
    const BackupArchive::Result result = runWithProgress(
        tr("Reading and checking the backup…"), [&](const BackupArchive::Progress &progress) {
            return BackupRestore::stage(database, path, &staged, progress);
        });
    const auto discard = qScopeGuard([&] { BackupRestore::discard(staged); });
    if (result.cancelled)
        return;
    if (!result.ok) {
        AppHelper::warningMessage(tr("The backup cannot be restored") + ":\n" + result.reason,
            QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
        return;
    }
    const QString question = tr("The backup was read and checked whole: every file against its checksum, the "
                                "database against its row counts.")
        + "\n\n"
        + tr("Made on %1 on the workstation %2 by %3")
              .arg(dateText(result.manifest.created), TextHelper::visibleText(result.manifest.workstation),
                  TextHelper::visibleText(result.manifest.user))
        + (result.encrypted ? " (" + tr("encrypted") + ")" : QString()) + "\n" + contentsText(result) + "\n\n"
        + tr("Restore it? The current database and data folder are moved aside, into a folder beside them, "
             "and kept.");
    if (!AppHelper::confirmDialog(tr("Restore"), question, MessageBox::Question, {}, MessageBox::No))
        return;
    QString aside;
    QString reason;
    if (!BackupRestore::swapIn(database, staged, &aside, &reason)) {
        AppHelper::warningMessage(tr("The backup cannot be restored") + ":\n" + reason,
            QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
        return;
    }
    AppHelper::warningMessage(tr("The backup was restored") + ": "
            + tr("%n patient(s)", nullptr, database->patients().size())
            + (aside.isEmpty() ? QString()
                               : "\n\n" + tr("The data from before are kept in") + ":\n"
                        + QDir::toNativeSeparators(aside)),
        tr("Restore"), MessageBox::Information);
}
