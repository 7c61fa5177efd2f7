#include "app/mainwindow.h"

#include "app/aboutbox.h"
#include "app/databasecopycommand.h"
#include "app/patientdialog.h"
#include "app/patienteditor.h"
#include "app/patientslistwidget.h"
#include "app/recorderlaunchwarning.h"
#include "app/recordstable.h"
#include "app/serverpasswordprompt.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/recordingfiles.h"
#include "exchange/orvalisexchange.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/update/versionchecker.h"
#include "toolkit/util/apphelper.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/filedialog.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/texthelper.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace
{

constexpr int CloseBlockMs = 2000;
// The card's new place has been laid out by then, so the sizes land on the final panes.
constexpr int SplitterDelayMs = 200;
constexpr int SplitterHandleWidth = 8;
const QString MenuIconColor = QStringLiteral("#FFF");
const QString PlayAction = QStringLiteral("play");
const QString ShowAction = QStringLiteral("show");
constexpr int VersionCheckPeriodSecs = 600;

MainWindow *instance = nullptr;

// The columns of a row that an edit may change: all but the id.
QStringList editableColumns(AbstractDatabaseRow *row)
{
    QStringList columns = row->columnNames();
    columns.removeAll(row->idColumnName());
    return columns;
}

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
    watchRefusedWrites();

    StyleHelper::InterlinkTheme(settings, QStringLiteral("ColorTheme"));
    setWindowTitle(tr("Orvalis: database") + " " + AppHelper::appVersion(true));

    buildViews();
    refreshPatients();
    connectTables();
    selectLastPatient();
    connect(database, &Database::patientsChanged, this, &MainWindow::refreshPatients, Qt::QueuedConnection);
    buildMenus();
    showWindow();
    startExchange();
    setUpCardView();
    followUpdates();
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
        AppHelper::warningMessage(tr("An empty database was created"), QString(), MessageBox::Warning);
        return true;
    case DataLocations::DatabaseFileState::Failed:
        break;
    }
    AppHelper::warningMessage(tr("Error creating an empty database at") + ":\n"
            + QDir::toNativeSeparators(DataLocations::databaseFile()),
        QCoreApplication::translate("Generic", "Error"), MessageBox::Critical);
    return false;
}

bool MainWindow::ensureDatabaseUsable()
{
    QString reason;
    while (!database->isUsable(&reason)) {
        if (ServerPasswordPrompt::askIfNeeded(this, database, reason))
            continue;
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
    connect(database, &Database::writeFailed, this, [this](const QString &column, const QString &reason) {
        // An edit that saves several fields may have several refused: one box.
        if (refusedWrites.isEmpty())
            QTimer::singleShot(0, this, &MainWindow::showRefusedWrites);
        refusedWrites.append(
            QCoreApplication::translate("Generic", column.toUtf8().constData()) + ": " + reason);
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
    newExaminationButton->hide();
    connect(newExaminationButton, &QPushButton::clicked, this, &MainWindow::newExamination);

    auto *leftColumn = new QWidget;
    leftColumn->setObjectName(QStringLiteral("patientsColumn"));
    leftColumn->setMinimumWidth(400);
    auto *leftLayout = new QVBoxLayout(leftColumn);
    leftLayout->setContentsMargins(8, 8, 0, 8);
    leftLayout->addWidget(patientsTable);

    cardCenterPane = new QWidget;
    cardCenterPane->setObjectName(QStringLiteral("cardCenterPane"));
    cardCenterLayout = new QVBoxLayout(cardCenterPane);
    cardCenterLayout->setContentsMargins(0, 0, 0, 0);

    panelPatient = new QWidget;
    panelPatient->setObjectName(QStringLiteral("panelPatient"));
    panelPatient->setEnabled(false);
    panelPatientLayout = new QVBoxLayout(panelPatient);
    panelPatientLayout->setContentsMargins(0, 0, 0, 0);

    auto *rightColumn = new QWidget;
    rightColumn->setObjectName(QStringLiteral("recordsColumn"));
    rightColumn->setMinimumWidth(200);
    auto *rightLayout = new QVBoxLayout(rightColumn);
    rightLayout->setContentsMargins(0, 8, 8, 8);
    rightLayout->addWidget(newExaminationButton, 0, Qt::AlignRight);
    rightLayout->addWidget(panelPatient, 0);
    rightLayout->addWidget(recordsTable, 100);

    splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("mainSplitter"));
    splitter->addWidget(leftColumn);
    splitter->addWidget(cardCenterPane);
    splitter->addWidget(rightColumn);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(SplitterHandleWidth);
    connect(splitter, &QSplitter::splitterMoved, this, &MainWindow::saveSplitterSizes);

    auto *central = new QWidget;
    StyleHelper::Instance()->setStyledBackground(central, QStringLiteral("--z-window-bg"), Qt::transparent);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->addWidget(splitter);
    setCentralWidget(central);
    setMinimumSize(800, 600);
}

void MainWindow::connectTables()
{
    connect(patientsTable, &TableWidget::idSelected, this, &MainWindow::selectPatient);
    connect(patientsTable, &TableWidget::editRow, this, [this](int id) {
        if (Patient *patient = database->patientById(id))
            editPatient(patient);
    });
    connect(patientsTable, &TableWidget::removeRow, this, &MainWindow::removePatient);
    connect(patientsTable, &TableWidget::customAction, this,
        [this](const QString &, int id) { showPatientFolder(id); });
    connect(recordsTable, &TableWidget::editRow, this, &MainWindow::editRecord);
    connect(recordsTable, &TableWidget::removeRow, this, &MainWindow::removeRecord);
    connect(recordsTable, &TableWidget::customAction, this, &MainWindow::recordAction);
}

void MainWindow::selectLastPatient()
{
    if (settings->getSelectLastPatient())
        patientsTable->setSelectedId(settings->getLastPatientId(), true);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QCoreApplication::translate("Generic", "File"));
    file->setObjectName(QStringLiteral("menuFile"));
    const auto addCommand = [this](QMenu *menu, const QString &name, const QString &caption,
                                const QString &icon, void (MainWindow::*command)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        StyleHelper::Instance()->setMenuActionIcon(action, icon, MenuIconColor);
        connect(action, &QAction::triggered, this, command);
    };
    addCommand(file, QStringLiteral("actionOpenRecord"),
        QCoreApplication::translate("Generic", "Open record"), QStringLiteral(":/icons/folder-open.svg"),
        &MainWindow::openRecordFile);
    file->addSeparator();
    addCommand(file, QStringLiteral("actionNewPatient"),
        QCoreApplication::translate("Generic", "New patient"), QStringLiteral(":/icons/plus.svg"),
        &MainWindow::newPatient);
    addCommand(file, QStringLiteral("actionReloadDatabase"),
        QCoreApplication::translate("Generic", "Reload database"), QStringLiteral(":/icons/refresh.svg"),
        &MainWindow::reloadDatabase);
    DatabaseCopyCommand::addTo(file, database, this);
    file->addSeparator();
    addCommand(file, QStringLiteral("actionSettings"), QCoreApplication::translate("Generic", "Settings"),
        QStringLiteral(":/icons/settings.svg"), &MainWindow::showSettings);
    addCommand(file, QStringLiteral("actionAbout"), QCoreApplication::translate("Generic", "About app"),
        QStringLiteral(":/icons/information.svg"), &MainWindow::showAbout);

    QMenu *view = menuBar()->addMenu(QCoreApplication::translate("Generic", "View"));
    view->setObjectName(QStringLiteral("menuView"));
    // Filled as they open, so that they offer exactly what the tables' header menus offer now.
    const auto addColumnMenu = [view](const QString &name, const QString &caption, TableWidget *table) {
        QMenu *columns = view->addMenu(caption);
        columns->setObjectName(name);
        connect(columns, &QMenu::aboutToShow, table, [table, columns] { table->fillColumnMenu(columns); });
    };
    addColumnMenu(QStringLiteral("menuPatientsTable"), tr("Patients table"), patientsTable);
    addColumnMenu(QStringLiteral("menuRecordsTable"), tr("Records table"), recordsTable);
}

void MainWindow::showWindow()
{
    if (settings->getStartMaximized())
        showMaximized();
    else
        show();
}

void MainWindow::startExchange()
{
    exchange = new OrvalisExchange(this);
    exchange->setPatientSource([this] { return currentPatient(); });
    connect(exchange, &OrvalisExchange::orvalisIsRunning, this, &MainWindow::followRecorder,
        Qt::QueuedConnection);
    exchange->start();
    instance = this;
}

void MainWindow::setUpCardView()
{
    QMenu *view = menuBar()->findChild<QMenu *>(QStringLiteral("menuView"));
    QMenu *cardView = view->addMenu(QCoreApplication::translate("Generic", "PatientCardView"));
    cardView->setObjectName(QStringLiteral("menuPatientCardView"));
    cardViewGroup = new QActionGroup(cardView);
    cardViewGroup->setExclusive(true);
    const QMetaEnum views = QMetaEnum::fromType<KestaSettings::ViewPatientCard>();
    for (int i = 0; i < views.keyCount(); ++i) {
        const auto value = static_cast<KestaSettings::ViewPatientCard>(views.value(i));
        QAction *action = cardView->addAction(QCoreApplication::translate("ViewPatientCard", views.key(i)));
        action->setObjectName(QStringLiteral("actionCardView_") + QLatin1String(views.key(i)));
        action->setCheckable(true);
        action->setData(int(value));
        action->setActionGroup(cardViewGroup);
        connect(action, &QAction::triggered, this, [this, value] { settings->setPatientCardView(value); });
    }
    connect(settings, &KestaSettings::changedPatientCardView, this, &MainWindow::applyCardView);
    applyCardView();
}

void MainWindow::followUpdates()
{
    connect(VersionChecker::Instance(), &VersionChecker::versionFound, this, &MainWindow::offerNewVersion,
        Qt::QueuedConnection);
    // Switched off it is told so too, so that the About box's button does not start checks either.
    VersionChecker::StartChecking(settings->getCheckForNewVersion(), VersionCheckPeriodSecs);
    connect(settings, &KestaSettings::changedCheckForNewVersion, this,
        [](bool enabled) { VersionChecker::StartChecking(enabled, VersionCheckPeriodSecs); });
}

void MainWindow::refreshPatients()
{
    patientsTable->setPatients(database->patients());
}

void MainWindow::selectPatient()
{
    selectedPatient = patientsTable->selectedPatient();
    Patient *patient = selectedPatient;
    patientCard->setObject(patient);
    recordsTable->setPatient(patient);
    newExaminationButton->setVisible(patient);
    panelPatient->setEnabled(patient);
    if (patient && patient->getId() != settings->getLastPatientId())
        settings->setLastPatientId(patient->getId());
}

void MainWindow::applyCardView()
{
    const KestaSettings::ViewPatientCard view = settings->getPatientCardView();
    for (QAction *action : cardViewGroup->actions())
        action->setChecked(action->data().toInt() == int(view));

    // Out of its pane's layout, but still the window's, so that it never goes unowned.
    patientCard->hide();
    patientCard->setParent(this);
    switch (view) {
    case KestaSettings::PatientCard_Center:
        cardCenterLayout->addWidget(patientCard);
        cardCenterPane->show();
        panelPatient->hide();
        patientCard->setTabbed(false);
        patientCard->show();
        break;
    case KestaSettings::PatientCard_Right:
        panelPatientLayout->addWidget(patientCard);
        panelPatient->show();
        cardCenterPane->hide();
        patientCard->setTabbed(true);
        patientCard->show();
        break;
    case KestaSettings::PatientCard_None:
        panelPatient->hide();
        cardCenterPane->hide();
        break;
    }
    QTimer::singleShot(SplitterDelayMs, this, &MainWindow::applySplitterSizes);
}

void MainWindow::saveSplitterSizes()
{
    QStringList parts;
    for (int size : splitter->sizes())
        parts << QString::number(size);
    settings->setSplitterSizes(parts.join(QLatin1Char(';')));
}

QList<int> MainWindow::splitterSizes(const QString &stored, bool cardInCenter, int width)
{
    QStringList parts = stored.split(QLatin1Char(';'));
    if (parts.size() != 3)
        parts = QStringList { QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("1000") };
    QList<qint64> values;
    for (const QString &part : qAsConst(parts))
        values << qMax(0, part.toInt());
    if (!cardInCenter)
        values[1] = 0;
    qint64 sum = values[0] + values[1] + values[2];
    if (sum == 0) {
        values = { 1, cardInCenter ? 1 : 0, 1 };
        sum = cardInCenter ? 3 : 2;
    }
    QList<int> sizes;
    for (qint64 value : qAsConst(values))
        sizes << int(value * width / sum);
    return sizes;
}

void MainWindow::applySplitterSizes()
{
    splitter->setSizes(splitterSizes(settings->getSplitterSizes(),
        settings->getPatientCardView() == KestaSettings::PatientCard_Center, width()));
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

void MainWindow::offerNewVersion(const VersionInfo &info)
{
    // One prompt at a time, however many answers arrive while it is open.
    static bool promptOpen = false;
    if (!info.valid || promptOpen)
        return;
    const QString text = tr("We recommend to upgrade to version") + " " + info.version + "\n"
        + tr("Current version") + " " + AppHelper::appVersion(true) + " " + tr("is outdated.") + "\n\n"
        + tr("Would you like to upgrade now?");
    promptOpen = true;
    if (!AppHelper::confirmDialog(tr("New version"), text, MessageBox::Information)) {
        promptOpen = false;
        return;
    }
    // An address from the network must not start a local handler or open a local file.
    if (!VersionChecker::openLink(info.link)) {
        promptOpen = false;
        AppHelper::warningMessage(
            tr("The download address was not opened") + ":\n" + TextHelper::visibleText(info.link));
        return;
    }
    QCoreApplication::quit();
}

void MainWindow::openRecordFile()
{
    const QString path = FileDialog::openFileName(this, QCoreApplication::translate("Generic", "Open file"),
        DataLocations::dataFolder(), QStringLiteral("EDF (*.edf)"));
    if (!path.isEmpty() && exchange)
        RecorderLaunchWarning::confirmStarted(exchange->runRecorder(RecorderLauncher::quotedPath(path)));
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

void MainWindow::reloadDatabase()
{
    // Reads the file again: another program or workstation may have changed it. The table
    // follows through patientsChanged.
    database->reloadPatients();
}

void MainWindow::showSettings()
{
    QDialog dialog(this);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog.setWindowTitle(QCoreApplication::translate("Generic", "Settings"));
    dialog.setWindowIcon(MediaHelper::icon(QStringLiteral(":/icons/settings.svg")));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new PropertyListControl(settings, QString(), PropertyListControl::AllProperties, &dialog));
    dialog.exec();
}

void MainWindow::showAbout()
{
    AboutBox box(settings, this);
    box.exec();
}

void MainWindow::newExamination()
{
    if (exchange)
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
    AppHelper::showInFolder(folder);
}

void MainWindow::removePatient(int patientId)
{
    Patient *patient = database->patientById(patientId);
    if (!patient)
        return;
    const QString name = TextHelper::visibleText(patient->fullName(true));
    // Records belong to a patient by PatientID alone; when another patient has the same one,
    // the records cannot be told apart and stay, and the question must not promise otherwise.
    const QString text = database->patientIdShared(patient)
        ? tr("Remove patient") + " '" + name + "'?\n" + tr("The records stay: another patient has the same ID")
            + " '" + TextHelper::visibleText(patient->getPatientID()) + "'."
        : tr("Remove patient") + " '" + name + "' " + tr("with all records?");
    if (!AppHelper::confirmDialog(
            QCoreApplication::translate("Generic", "Remove patient"), text, MessageBox::Question))
        return;
    blockClosing();
    QString reason;
    QStringList filesLeft;
    if (!database->removePatient(patient, &reason, &filesLeft))
        AppHelper::warningMessage(tr("The patient was not removed") + ":\n" + reason, QString(), MessageBox::Warning);
    else
        reportFilesLeft(filesLeft);
}

void MainWindow::reportFilesLeft(const QStringList &paths)
{
    if (!paths.isEmpty())
        AppHelper::warningMessage(tr("These recordings could not be deleted from the disk") + ":\n"
                + paths.join(QLatin1Char('\n')),
            QString(), MessageBox::Warning);
}

void MainWindow::removeRecord(int recordId)
{
    Record *record = recordsTable->recordById(recordId);
    Patient *patient = recordsTable->getPatient();
    if (!record || !patient)
        return;
    // The folder of an existing recording; the path names a missing one.
    const QFileInfo file(RecordingFiles::recordPath(patient->folderName(), record->getFileName()));
    const QString folder = QDir::toNativeSeparators(file.isFile() ? file.absolutePath() : file.filePath());
    if (!AppHelper::confirmDialog(QCoreApplication::translate("Generic", "Remove record"),
            QCoreApplication::translate("Generic", "Remove record") + ":\n" + folder + "?",
            MessageBox::Question))
        return;
    QString reason;
    QStringList filesLeft;
    if (!database->removeRecord(patient, record, &reason, &filesLeft)) {
        AppHelper::warningMessage(
            tr("Error removing record") + ":\n" + folder + "\n\n" + reason, QString(), MessageBox::Warning);
        return;
    }
    reportFilesLeft(filesLeft);
}

void MainWindow::editRecord(int recordId)
{
    const std::unique_ptr<Record> stored(database->loadRecord(recordId));
    // A row that is gone reads as a record of nobody.
    if (!stored || stored->getPatientID().isEmpty()) {
        qDebug() << "NO REC" << recordId;
        return;
    }
    const QStringList columns = editableColumns(stored.get());
    Record copy;
    for (const QString &column : columns)
        copy.setValue(column, stored->getValue(column));

    ConfirmDialog dialog(this, QCoreApplication::translate("Generic", "Save"));
    dialog.setWindowTitle(tr("Edit record"));
    // Wide enough for a recording's file name.
    dialog.setMinimumWidth(520);
    dialog.addWidget(
        new PropertyListControl(&copy, QString(), PropertyListControl::AllProperties, &dialog), 1);
    dialog.setAcceptEnabled(true);
    connect(&dialog, &ConfirmDialog::accepted, this, [&](bool &) {
        // Each setter writes its column when the value differs, so only the edited ones are stored.
        for (const QString &column : columns)
            stored->setValue(column, copy.getValue(column));
        if (Patient *patient = database->patientByPatientId(stored->getPatientID()))
            patient->loadRecords();
    });
    dialog.exec();
}

void MainWindow::recordAction(const QString &action, int recordId)
{
    Patient *patient = recordsTable->getPatient();
    Record *record = recordsTable->recordById(recordId);
    if (!patient || !record)
        return;
    const QString path = RecordingFiles::recordPath(patient->folderName(), record->getFileName());
    if (action == PlayAction) {
        if (QFileInfo(path).isFile() && exchange)
            RecorderLaunchWarning::confirmStarted(exchange->runRecorder(RecorderLauncher::quotedPath(path)));
    } else if (action == ShowAction) {
        AppHelper::showInFolder(path);
    }
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
