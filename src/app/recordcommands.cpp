#include "app/recordcommands.h"

#include "app/eegviewerlauncher.h"
#include "app/recorderlaunchwarning.h"
#include "app/tables/recordstable.h"
#include "app/tracepreview.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/recordings/recordingregistration.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "exchange/orvalisexchange.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/filedialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <memory>

void RecordCommands::showInFileManager(const QString &path)
{
    AppHelper::showInFolder(path, [path] {
        AppHelper::warningMessage(
            QCoreApplication::translate("MainWindow", "No file manager could be started to show") + ":\n"
            + QDir::toNativeSeparators(path));
    });
}

RecordCommands::RecordCommands(
    QWidget *window, Database *database, RecordsTable *records, TracePreview *preview, KestaSettings *settings)
    : QObject(window)
    , window(window)
    , database(database)
    , records(records)
    , preview(preview)
    , settings(settings)
{
    togglePreview = new QAction(tr("Recording &preview"), this);
    togglePreview->setObjectName(QStringLiteral("actionRecordingPreview"));
    togglePreview->setCheckable(true);
    togglePreview->setChecked(!settings || settings->getShowRecordingPreview());
    connect(togglePreview, &QAction::toggled, this, [this](bool shown) {
        if (this->settings)
            this->settings->setShowRecordingPreview(shown);
        applyPreviewShown();
    });
    connect(records, &RecordsTable::idSelected, this, &RecordCommands::showPreviewOf);
    connect(records, &RecordsTable::customAction, this, &RecordCommands::act);
    connect(records, &RecordsTable::editRow, this, &RecordCommands::edit);
    applyPreviewShown();
}

void RecordCommands::setExchange(OrvalisExchange *newExchange)
{
    exchange = newExchange;
}

void RecordCommands::setRegistration(RecordingRegistration *newRegistration)
{
    registration = newRegistration;
}

void RecordCommands::applyPreviewShown()
{
    preview->setVisible(togglePreview->isChecked());
    // A hidden preview reads nothing.
    showPreviewOf(records->getSelectedId());
}

void RecordCommands::showPreviewOf(int id)
{
    if (!preview->isVisibleTo(window) || id <= 0) {
        preview->clear();
        return;
    }
    const QString path = records->recordingPath(id);
    if (path != preview->recordingPath())
        preview->setRecordingPath(path);
}

void RecordCommands::openRecordFile()
{
    const QString path = FileDialog::openFileName(window, QCoreApplication::translate("Generic", "Open file"),
        DataLocations::dataFolder(), tr("EDF recordings (*.edf)"));
    if (!path.isEmpty() && exchange)
        RecorderLaunchWarning::confirmStarted(exchange->runRecorder(RecorderLauncher::quotedPath(path)));
}

void RecordCommands::act(const QString &action, int id)
{
    if (action == QLatin1String("registerAll")) {
        registerFiles(records->foundFiles());
        return;
    }
    if (action == QLatin1String("register")) {
        if (Record *file = records->foundFileById(id))
            registerFiles({ file });
        return;
    }
    const QString path = records->recordingPath(id);
    if (path.isEmpty())
        return;
    if (action == QLatin1String("play")) {
        if (QFileInfo(path).isFile() && exchange)
            RecorderLaunchWarning::confirmStarted(exchange->runRecorder(RecorderLauncher::quotedPath(path)));
    } else if (action == QLatin1String("playInViewer")) {
        EegViewerLauncher::open(path, settings ? settings->getEegViewer() : QString());
    } else if (action == QLatin1String("show")) {
        showInFileManager(path);
    }
}

void RecordCommands::registerFiles(const QList<Record *> &files)
{
    Patient *patient = records->getPatient();
    if (!patient || files.isEmpty() || !registration)
        return;
    // Copied first: each registration makes the table find its files anew.
    QList<RecordingRegistration::Recording> found;
    for (Record *file : files)
        found.append({ file->getFileName(), file->getRecordType(), file->getRecordDate(), file->getComments() });
    for (const RecordingRegistration::Recording &file : qAsConst(found))
        registration->add(patient, file);
}

void RecordCommands::edit(int id)
{
    // A file found on disk is no record yet.
    if (records->foundFileById(id))
        return;
    const std::unique_ptr<Record> stored(database->loadRecord(id));
    // A row that is gone reads as a record of nobody.
    if (!stored || stored->getPatientID().isEmpty()) {
        qDebug() << "NO REC" << id;
        return;
    }
    QStringList columns = stored->columnNames();
    columns.removeAll(stored->idColumnName());
    Record copy;
    for (const QString &column : qAsConst(columns))
        copy.setValue(column, stored->getValue(column));

    ConfirmDialog dialog(window, QCoreApplication::translate("Generic", "Save"));
    dialog.setWindowTitle(QCoreApplication::translate("MainWindow", "Edit record"));
    // Wide enough for a recording's file name.
    dialog.setMinimumWidth(520);
    dialog.addWidget(new PropertyListControl(&copy, QString(), PropertyListControl::AllProperties, &dialog), 1);
    dialog.setAcceptEnabled(true);
    connect(&dialog, &ConfirmDialog::accepted, this, [&](bool &) {
        // Each setter writes its column when the value differs, so only the edited ones are stored.
        for (const QString &column : qAsConst(columns))
            stored->setValue(column, copy.getValue(column));
        if (Patient *patient = database->patientByPatientId(stored->getPatientID()))
            patient->loadRecords();
    });
    dialog.exec();
}
