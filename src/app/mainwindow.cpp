#include "app/patientviewsdialog.h"
#include "app/rolegate.h"
#include "app/serverstatusline.h"
#include "app/mainwindow.h"

#include "app/aboutbox.h"
#include "app/backupcommands.h"
#include "app/cardplacement.h"
#include "app/databasecopycommand.h"
#include "app/importdialog.h"
#include "app/exportcommands.h"
#include "app/historycommands.h"
#include "app/keyboardpaths.h"
#include "app/newversionprompt.h"
#include "app/patientcountline.h"
#include "app/patientdialog.h"
#include "app/patienteditor.h"
#include "app/tables/patientslistwidget.h"
#include "app/recordcommands.h"
#include "app/recorderlaunchwarning.h"
#include "app/tables/recordstable.h"
#include "app/removalcommands.h"
#include "app/serverpasswordprompt.h"
#include "app/settingsdialog.h"
#include "app/tracepreview.h"
#include "app/conclusioneditor.h"
#include "app/printing/printcommands.h"
#include "db/care/patientviews.h"
#include "db/rows/conclusions.h"
#include "app/unregisteredrecordingsnotice.h"
#include "app/windowcommands.h"
#include "app/windowgeometry.h"
#include "db/care/backuprestore.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/recordings/folderrenamejournal.h"
#include "db/recordings/recordingregistration.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingfiles.h"
#include "exchange/orvalisexchange.h"
#include "toolkit/util/workstation.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace
{

constexpr int CloseBlockMs = 2000;
constexpr int SplitterHandleWidth = 8;

MainWindow *instance = nullptr;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
}

MainWindow::~MainWindow()
{
    if (instance == this)
        instance = nullptr;
}

MainWindow *MainWindow::Instance()
{
    return instance;
}

Patient *MainWindow::currentPatient() const
{
    return selectedPatient;
}

bool MainWindow::initialize()
{
    if (initialized) {
        qDebug() << "Cannot load again";
        return false;
    }
    initialized = true;

    KestaModel *model = KestaModel::Instance();
    if (!model) {
        qWarning() << "The main window needs the application model";
        return false;
    }
    settings = model->settings();
    database = model->database();

    if (!prepareDatabaseFile() || !ensureDatabaseUsable())
        return false;
    FolderRenameJournal::recover(database);
    BackupRestore::removeLeftovers();
    watchRefusedWrites();

    StyleHelper::InterlinkTheme(settings, QStringLiteral("ColorTheme"));
    setWindowTitle(tr("Orvalis: database") + " " + AppHelper::appVersion(true));

    buildViews();
    buildCommands();
    refreshPatients();
    connectTables();
    selectLastPatient();
    connect(database, &Database::patientsChanged, this, &MainWindow::refreshPatients, Qt::QueuedConnection);
    // One patient comes or goes at its place in the list, the rest untouched.
    connect(database, &Database::patientJoined, patientsTable, &TableWidget::appendRow);
    connect(database, &Database::patientLeft, patientsTable, &TableWidget::dropRow);
    buildMenus();
    showWindow();
    QTimer::singleShot(0, removals, &RemovalCommands::tidyAtStart);
    startExchange();
    setUpCardView();
    followUpdates();
    new KeyboardPaths(patientsTable, newExaminationButton, patientCard, recordsTable, this);
    return true;
}

bool MainWindow::prepareDatabaseFile()
{
    // The server keeps the patients. A share of recordings that cannot be
    // reached now shows its recordings as missing, and stops nothing.
    if (database->location().isServer()) {
        DataLocations::prepareFolders();
        return true;
    }
    switch (DataLocations::prepareDataFolders()) {
    case DataLocations::DatabaseFileState::Existed:
        return true;
    case DataLocations::DatabaseFileState::Created:
        AppHelper::warningMessage(tr("An empty database was created"), QString(), MessageBox::Information);
        return true;
    case DataLocations::DatabaseFileState::Failed:
        break;
    }
    AppHelper::warningMessage(tr("Error creating an empty database at") + ":\n"
            + QDir::toNativeSeparators(DataLocations::databaseFile()),
        QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
    return false;
}

bool MainWindow::ensureDatabaseUsable(bool reread)
{
    QString reason;
    while (!database->isUsable(&reason) || (reread && !database->reloadPatients())) {
        if (ServerPasswordPrompt::askIfNeeded(this, database, reason))
            continue;
        if (reason.isEmpty())
            reason = database->loadError();
        const QString text = tr("The patient database cannot be used") + ":\n"
            + database->location().describe() + "\n\n" + reason;
        if (!AppHelper::confirmDialog(QCoreApplication::translate("Generic", "Error"), text,
                MessageBox::Critical, { tr("Retry"), tr("Quit") }))
            return false;
    }
    return true;
}

void MainWindow::watchRefusedWrites()
{
    // A call to the server that takes long: the window goes on drawing, and
    // shows that it waits until the answer or the call's time is up.
    connect(database, &Database::serverWaiting, this, [](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(database, &Database::writeFailed, this, [this](const QString &column, const QString &reason) {
        // An edit that saves several fields may have several refused: one box.
        if (refusedWrites.isEmpty())
            QTimer::singleShot(0, this, &MainWindow::showRefusedWrites);
        refusedWrites.append(
            QCoreApplication::translate("Generic", column.toUtf8().constData()) + ": " + reason);
        const QString rights = ServerRoles::rightsNote(database, reason);
        if (!rights.isEmpty() && !refusedWrites.contains(rights))
            refusedWrites.append(rights);
    });
}

void MainWindow::showRefusedWrites()
{
    const QStringList lines = refusedWrites;
    refusedWrites.clear();
    AppHelper::warningMessage(tr("The change was not saved") + ":\n" + lines.join('\n'),
        QCoreApplication::translate("Generic", "Error"), MessageBox::Warning);
}

void MainWindow::buildViews()
{
    patientsTable = new PatientsListWidget(settings);
    patientCard = new PatientEditor;
    patientCard->setObjectName(QStringLiteral("patientCard"));
    recordsTable = new RecordsTable(settings);

    newExaminationButton = new QPushButton(tr("New examination"));
    newExaminationButton->setObjectName(QStringLiteral("actionButton"));
    newExaminationButton->setIcon(
        MediaHelper::iconColored(QStringLiteral(":/icons/amplifier.svg"), "#FFF", "#000"));
    newExaminationButton->setIconSize(QSize(24, 24));
    newExaminationButton->setCursor(Qt::PointingHandCursor);
    newExaminationButton->setToolTip(tr("Starts the recorder for the selected patient (Ctrl+Enter)"));
    newExaminationButton->hide();
    connect(newExaminationButton, &QPushButton::clicked, this, &MainWindow::newExamination);

    auto *leftColumn = new QWidget;
    leftColumn->setObjectName(QStringLiteral("patientsColumn"));
    leftColumn->setMinimumWidth(400);
    auto *leftLayout = new QVBoxLayout(leftColumn);
    leftLayout->setContentsMargins(8, 8, 0, 8);
    leftLayout->addWidget(patientsTable);

    cardPlacement = new CardPlacement(settings, patientCard, this);
    panelPatient = cardPlacement->rightPanel();

    auto *rightColumn = new QWidget;
    rightColumn->setObjectName(QStringLiteral("recordsColumn"));
    rightColumn->setMinimumWidth(200);
    auto *rightLayout = new QVBoxLayout(rightColumn);
    rightLayout->setContentsMargins(0, 8, 8, 8);
    rightLayout->addWidget(newExaminationButton, 0, Qt::AlignRight);
    rightLayout->addWidget(panelPatient, 0);
    // The preview gets nearly as much room as the list: nineteen lines must be read at a glance.
    recordPreview = new TracePreview;
    auto *recordsSplitter = new QSplitter(Qt::Vertical);
    recordsSplitter->setObjectName(QStringLiteral("recordsSplitter"));
    recordsSplitter->setChildrenCollapsible(false);
    recordsSplitter->addWidget(recordsTable);
    recordsSplitter->addWidget(recordPreview);
    // The selected recording's conclusion under its preview, and in its row's tip.
    auto *conclusion = new ConclusionEditor(Conclusions::of(database));
    if (!ServerRoles::allows(database, ServerRoles::Action::WriteConclusion)) {
        conclusion->textEdit()->setReadOnly(true);
        conclusion->textEdit()->setToolTip(ServerRoles::refusal(ServerRoles::roleOf(database),
            ServerRoles::of(database)->account(), ServerRoles::Action::WriteConclusion));
    }
    recordsSplitter->addWidget(conclusion);
    recordsTable->setConclusions(Conclusions::of(database));
    connect(recordsTable, &TableWidget::idSelected, conclusion,
        [this, conclusion](int id) { conclusion->setRecord(recordsTable->recordById(id)); });
    recordsSplitter->setStretchFactor(0, 3);
    recordsSplitter->setStretchFactor(1, 2);
    // A few lines of conclusion at first: the list and the preview keep their room, and
    // the handle gives the reading room more when it writes.
    recordsSplitter->setStretchFactor(2, 0);
    recordsSplitter->setSizes({ 300, 200, conclusion->minimumSizeHint().height() });
    rightLayout->addWidget(recordsSplitter, 100);
    records = new RecordCommands(this, database, recordsTable, recordPreview, settings);

    splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("mainSplitter"));
    splitter->addWidget(leftColumn);
    splitter->addWidget(cardPlacement->centerPane());
    splitter->addWidget(rightColumn);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(SplitterHandleWidth);

    auto *central = new QWidget;
    StyleHelper::Instance()->setStyledBackground(central, QStringLiteral("--z-window-bg"), Qt::transparent);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->addWidget(splitter);
    setCentralWidget(central);
    setMinimumSize(800, 600);
    statusBar()->addWidget(new PatientCountLine(patientsTable, this));
    statusBar()->addPermanentWidget(new ServerStatusLine(database, this));
}

void MainWindow::buildCommands()
{
    removals = new RemovalCommands(database, settings, this);
    connect(removals, &RemovalCommands::patientRemovalConfirmed, this, &MainWindow::blockClosing);
    // The restored patient is shown selected; a search that hides it is cleared.
    // Queued: the list takes the restored rows when the database's queued
    // announcement reaches it.
    connect(
        removals, &RemovalCommands::restored, this,
        [this](int patientAutoId) {
            patientsTable->setSelectedId(patientAutoId, true);
            if (patientsTable->getSelectedId() != patientAutoId) {
                patientsTable->searchField()->clear();
                patientsTable->setSelectedId(patientAutoId, true);
            }
        },
        Qt::QueuedConnection);
    history = new HistoryCommands(database, this);
    history->offerOn(patientCard, [this] { return currentPatient(); });
    patientsTable->addTrailingAction(QStringLiteral("history"), history->historyAction()->text(),
        [this](int id) { history->showHistory(database->patientById(id)); });
    backups = new BackupCommands(database, this);
    exports = new ExportCommands(patientsTable, recordsTable, this);
}

void MainWindow::connectTables()
{
    connect(patientsTable, &TableWidget::idSelected, this, &MainWindow::selectPatient);
    connect(patientsTable, &TableWidget::editRow, this, [this](int id) {
        if (Patient *patient = database->patientById(id))
            editPatient(patient);
    });
    connect(patientsTable, &TableWidget::removeRow, removals, &RemovalCommands::removePatient);
    connect(patientsTable, &TableWidget::customAction, this,
        [this](const QString &, int id) { showPatientFolder(id); });
    connect(recordsTable, &TableWidget::removeRow, removals,
        [this](int id) { removals->removeRecord(recordsTable, id); });
}

void MainWindow::selectLastPatient()
{
    if (settings->getSelectLastPatient())
        patientsTable->setSelectedId(settings->getLastPatientId(), true);
}

void MainWindow::buildMenus()
{
    commands = new WindowCommands(this, patientsTable, recordsTable, settings);
    const auto wire = [this](WindowCommands::Command command, void (MainWindow::*slot)()) {
        connect(commands->action(command), &QAction::triggered, this, slot);
    };
    connect(commands->action(WindowCommands::OpenRecord), &QAction::triggered, records,
        &RecordCommands::openRecordFile);
    wire(WindowCommands::NewPatient, &MainWindow::newPatient);
    wire(WindowCommands::EditPatient, &MainWindow::editSelectedPatient);
    wire(WindowCommands::RemovePatient, &MainWindow::removeSelectedPatient);
    wire(WindowCommands::NewExamination, &MainWindow::newExamination);
    wire(WindowCommands::ReloadDatabase, &MainWindow::reloadDatabase);
    wire(WindowCommands::Settings, &MainWindow::showSettings);
    wire(WindowCommands::About, &MainWindow::showAbout);
    commands->setPatientSelected(currentPatient());
    auto *printing = new PrintCommands(this, Conclusions::of(database), settings, patientsTable, recordsTable,
        [this] { return currentPatient(); });
    for (QAction *entry : { records->previewAction(), ImportDialog::makeAction(database, this),
             DatabaseCopyCommand::makeAction(database, this), removals->recentlyRemovedAction(), PatientViewsDialog::makeAction(database, this),
             backups->backUpAction(), backups->restoreAction(),
             exports->exportPatientsAction(), printing->printAction(), printing->pdfAction(),
             printing->printListAction(), printing->listPdfAction() })
        commands->provide(entry);
    commands->place();
    using Action = ServerRoles::Action;
    RoleGate::leaveOut(database,
        { { commands->action(WindowCommands::RemovePatient), Action::RemoveToTrash },
            { commands->action(WindowCommands::NewExamination), Action::AddRecording },
            { removals->recentlyRemovedAction(), Action::RestoreFromTrash },
            { findChild<QAction *>(QStringLiteral("actionPatientViews")), Action::ReadPatientViews },
            { backups->backUpAction(), Action::BackUp }, { backups->restoreAction(), Action::RestoreBackup },
            { findChild<QAction *>(QStringLiteral("actionCopyDatabaseToServer")), Action::MoveIn } });
}

void MainWindow::showWindow()
{
    (new WindowGeometry(this, settings))->restore();
    if (settings->getStartMaximized())
        showMaximized();
    else
        show();
}

void MainWindow::startExchange()
{
    auto *registration = new RecordingRegistration(
        database, new UnregisteredRecordings(UnregisteredRecordings::defaultFile(), this), this);
    exchange = new OrvalisExchange(registration, this);
    exchange->setPatientSource([this] { return currentPatient(); });
    new UnregisteredRecordingsNotice(this, registration);
    connect(exchange, &OrvalisExchange::orvalisIsRunning, this, &MainWindow::followRecorder,
        Qt::QueuedConnection);
    exchange->start();
    records->setExchange(exchange);
    records->setRegistration(registration);
    instance = this;
}

void MainWindow::setUpCardView()
{
    cardPlacement->follow(splitter);
}

void MainWindow::followUpdates()
{
    new NewVersionPrompt(settings, this);
}

void MainWindow::refreshPatients()
{
    // Patients that joined or left one by one are in the table already.
    if (shownReads == database->wholeReads())
        return;
    shownReads = database->wholeReads();
    patientsTable->setPatients(database->patients());
}

void MainWindow::selectPatient()
{
    selectedPatient = patientsTable->selectedPatient();
    Patient *patient = selectedPatient;
    patientCard->setObject(patient);
    // A first reading that failed is tried again at every selection.
    if (patient && patient->recordsReadFailed())
        patient->loadRecords();
    recordsTable->setPatient(patient);
    if (patient && patient->recordsReadFailed()) {
        const QString text = tr("The records cannot be read") + ":\n" + database->location().describe() + "\n\n"
            + patient->recordsReadError();
        QTimer::singleShot(0, this, [text] {
            AppHelper::warningMessage(text, QCoreApplication::translate("Generic", "Error"), MessageBox::Warning);
        });
    }
    newExaminationButton->setVisible(patient && ServerRoles::allows(database, ServerRoles::Action::AddRecording));
    panelPatient->setEnabled(patient);
    if (commands)
        commands->setPatientSelected(patient);
    if (patient && settings->getLogPatientViews())
        PatientViews::note(database, patient->getId(), Workstation::hostName());
    if (patient && patient->getId() != settings->getLastPatientId())
        settings->setLastPatientId(patient->getId());
}

void MainWindow::followRecorder(bool running)
{
    if (running) {
        wasMaximized = isMaximized();
        hide();
        // A tool-tip window has no task bar entry, so nothing invites a click on a hidden window.
        setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::ToolTip);
    } else {
        setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
        // As a tool tip it lost the attribute; without it, closing any box afterwards would
        // count as closing the last window and end the program.
        setAttribute(Qt::WA_QuitOnClose, true);
        if (wasMaximized)
            showMaximized();
        else
            showNormal();
    }
}

void MainWindow::newPatient()
{
    Patient patient;
    editPatient(&patient);
}

void MainWindow::editPatient(Patient *patient)
{
    PatientDialog::editPatient(this, patient, database, patientsTable);
}

void MainWindow::editSelectedPatient()
{
    if (Patient *patient = currentPatient())
        editPatient(patient);
}

void MainWindow::removeSelectedPatient()
{
    if (Patient *patient = currentPatient())
        removals->removePatient(patient->getId());
}

void MainWindow::reloadDatabase()
{
    // Reads the file again: another program or workstation may have changed it. The table
    // follows through patientsChanged. A file that became unusable is told as at start.
    if (!ensureDatabaseUsable(true))
        close();
}

void MainWindow::showSettings()
{
    SettingsDialog dialog(settings, this);
    dialog.exec();
}

void MainWindow::showAbout()
{
    AboutBox box(settings, this);
    box.exec();
}

void MainWindow::newExamination()
{
    if (exchange && RoleGate::permits(database, ServerRoles::Action::AddRecording))
        RecorderLaunchWarning::confirmStarted(exchange->runRecorderDatabase());
}

void MainWindow::showPatientFolder(int patientId)
{
    Patient *patient = database->patientById(patientId);
    if (!patient)
        return;
    const QString folderName = patient->folderName();
    if (!DataLocations::isPlainFolderName(folderName)) {
        AppHelper::warningMessage(
            tr("The patient's folder name cannot be used") + ":\n" + TextHelper::visibleText(folderName));
        return;
    }
    const QString folder = DataLocations::patientFolder(folderName);
    FileUtilities::createIfNotExists(folder);
    RecordCommands::showInFileManager(folder);
}

void MainWindow::blockClosing()
{
    closeBlockedUntil = Clock::msecsSinceEpoch() + CloseBlockMs;
}

bool MainWindow::isCloseBlocked() const
{
    return Clock::msecsSinceEpoch() < closeBlockedUntil;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const bool blocked = isCloseBlocked();
    qDebug() << "CLOSE" << blocked;
    if (blocked) {
        event->ignore();
        return;
    }
    if (exchange) {
        exchange->stop();
        delete exchange;
        exchange = nullptr;
    }
    event->accept();
}
