#include "app/removalcommands.h"

#include "app/rolegate.h"
#include "app/tables/recordstable.h"
#include "app/trashdialog.h"
#include "db/storage/database.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingfiles.h"
#include "db/care/trash.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QThread>

RemovalCommands::RemovalCommands(Database *database, KestaSettings *settings, QWidget *window)
    : QObject(window)
    , database(database)
    , settings(settings)
    , window(window)
    , recentlyRemoved(new QAction(tr("Recently removed..."), this))
{
    recentlyRemoved->setObjectName(QStringLiteral("actionRecentlyRemoved"));
    StyleHelper::Instance()->setMenuActionIcon(
        recentlyRemoved, QStringLiteral(":/icons/delete.svg"), QStringLiteral("#FFF"));
    connect(recentlyRemoved, &QAction::triggered, this, &RemovalCommands::showRecentlyRemoved);
}

RemovalCommands::~RemovalCommands()
{
    // The worker threads hold nothing of ours; they finish on their own.
}

QString RemovalCommands::restoreNote() const
{
    const int days = settings ? settings->getTrashPurgeDays() : 30;
    return tr("It can be restored from File, Recently removed, for %n days.", nullptr, days);
}

void RemovalCommands::removePatient(int patientId)
{
    Patient *patient = database->patientById(patientId);
    if (!patient || !RoleGate::permits(database, ServerRoles::Action::RemoveToTrash))
        return;
    const QString name = TextHelper::visibleText(patient->fullName(true));
    // Records belong to a patient by PatientID alone; when another patient has the same one,
    // the records cannot be told apart and stay, and the question must not promise otherwise.
    const QString question = database->patientIdShared(patient)
        ? tr("Remove patient") + " '" + name + "'?\n"
            + tr("The records stay: another patient has the same ID") + " '"
            + TextHelper::visibleText(patient->getPatientID()) + "'."
        : tr("Remove patient") + " '" + name + "' " + tr("with all records?");
    if (!AppHelper::confirmDialog(QCoreApplication::translate("Generic", "Remove patient"),
            question + "\n\n" + restoreNote(), MessageBox::Question, {}, MessageBox::No))
        return;
    emit patientRemovalConfirmed();
    QString reason;
    QStringList stuck;
    if (!Trash(database).removePatient(patient, &reason, &stuck)) {
        AppHelper::warningMessage(tr("The patient was not removed") + ":\n" + reason
                + (stuck.isEmpty()
                        ? QString()
                        : "\n\n" + tr("These recordings lie in the trash") + ":\n" + stuck.join('\n')),
            QString(), MessageBox::Warning);
    }
}

void RemovalCommands::removeRecord(RecordsTable *records, int recordId)
{
    Record *record = records->recordById(recordId);
    Patient *patient = records->getPatient();
    if (!record || !patient || !RoleGate::permits(database, ServerRoles::Action::RemoveToTrash))
        return;
    // The folder of an existing recording; the path names a missing one.
    const QFileInfo file(RecordingFiles::recordPath(patient->folderName(), record->getFileName()));
    const QString folder = QDir::toNativeSeparators(file.isFile() ? file.absolutePath() : file.filePath());
    if (!AppHelper::confirmDialog(QCoreApplication::translate("Generic", "Remove record"),
            QCoreApplication::translate("Generic", "Remove record") + ":\n" + folder + "?\n\n"
                + restoreNote(),
            MessageBox::Question, {}, MessageBox::No))
        return;
    QString reason;
    QStringList stuck;
    if (!Trash(database).removeRecord(patient, record, &reason, &stuck)) {
        AppHelper::warningMessage(tr("Error removing record") + ":\n" + folder + "\n\n" + reason
                + (stuck.isEmpty()
                        ? QString()
                        : "\n\n" + tr("These recordings lie in the trash") + ":\n" + stuck.join('\n')),
            QString(), MessageBox::Warning);
    }
}

void RemovalCommands::showRecentlyRemoved()
{
    if (!RoleGate::permits(database, ServerRoles::Action::RestoreFromTrash))
        return;
    TrashDialog dialog(database, window);
    connect(&dialog, &TrashDialog::foldersToDelete, this, &RemovalCommands::deleteInBackground);
    connect(&dialog, &TrashDialog::restored, this, &RemovalCommands::restored);
    dialog.exec();
}

void RemovalCommands::tidyAtStart()
{
    Trash trash(database);
    trash.recoverUnfinished();
    // Only the administrator's workstations purge; the others leave it to them.
    if (!ServerRoles::allows(database, ServerRoles::Action::PurgeTrash))
        return;
    const int days = settings ? settings->getTrashPurgeDays() : 30;
    QStringList folders;
    for (int id : trash.expired(days)) {
        QString folder;
        QString reason;
        if (!trash.purge(id, &reason, &folder))
            qWarning() << "Removal not purged:" << id << reason;
        else if (!folder.isEmpty())
            folders << folder;
    }
    deleteInBackground(folders);
}

void RemovalCommands::deleteInBackground(const QStringList &folders)
{
    if (folders.isEmpty())
        return;
    ++deletionsRunning;
    QThread *worker = QThread::create([folders] {
        for (const QString &folder : folders)
            Trash::deleteFolder(folder);
    });
    connect(worker, &QThread::finished, this, [this, worker] {
        worker->deleteLater();
        if (--deletionsRunning == 0)
            emit deletionsFinished();
    });
    worker->start(QThread::LowPriority);
}
