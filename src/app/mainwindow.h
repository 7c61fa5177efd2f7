#pragma once

#include <QMainWindow>
#include <QPointer>

class BackupCommands;
class CardPlacement;
class Database;
class ExportCommands;
class HistoryCommands;
class KestaSettings;
class OrvalisExchange;
class Patient;
class PatientEditor;
class PatientsListWidget;
class QPushButton;
class QSplitter;
class RecordCommands;
class RecordsTable;
class RemovalCommands;
class TracePreview;
class WindowCommands;

// The program's only top-level window: patients on the left, the selected patient's card
// and recordings on the right, the menu bar, and the "New examination" button. The entry
// function builds it and calls initialize once; initialize builds everything and shows it.
// While the recorder runs the window steps aside and comes back when it ends.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // False when it has run before, or when the program cannot go on.
    bool initialize();
    // The window once initialize has started the exchange; null before, and after it is gone.
    // The exchange itself is handed the current patient, not the window.
    static MainWindow *Instance();

    // The patient selected in the patients table, or null.
    Patient *currentPatient() const;

    // Refuses closing for a while after a patient removal, so that a click meant for the
    // confirmation cannot end the program while the list reloads. Each call restarts the period.
    void blockClosing();
    bool isCloseBlocked() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Data folders, and the database file from the empty template on a first start. False
    // when no database file could be made; the user has been told.
    bool prepareDatabaseFile();
    // Nothing shows the patients of a database that cannot be used (an empty
    // list would read as "all patients gone"): an error box with its path and
    // the driver's reason offers to try again or quit. False on quit. With `reread`
    // the patient list is read afresh too.
    bool ensureDatabaseUsable(bool reread = false);
    // Every change the database refuses is put back; the user hears of it in
    // one warning per edit, naming each field and the reason.
    void watchRefusedWrites();
    void showRefusedWrites();
    // The initialize steps, in their order.
    void buildViews();
    void buildCommands();
    void connectTables();
    void selectLastPatient();
    void buildMenus();
    void showWindow();
    void startExchange();
    void setUpCardView();
    void followUpdates();

    void refreshPatients();
    void selectPatient();
    void followRecorder(bool running);

    // Commands.
    void newPatient();
    void editPatient(Patient *patient);
    void editSelectedPatient();
    void removeSelectedPatient();
    void reloadDatabase();
    void showSettings();
    void showAbout();
    void newExamination();
    void showPatientFolder(int patientId);

    KestaSettings *settings = nullptr;
    Database *database = nullptr;

    PatientsListWidget *patientsTable = nullptr;
    PatientEditor *patientCard = nullptr;
    RecordsTable *recordsTable = nullptr;
    TracePreview *recordPreview = nullptr;
    RecordCommands *records = nullptr;
    QSplitter *splitter = nullptr;
    // Patients are replaced by every reload; a guarded pointer reads as none meanwhile.
    QPointer<Patient> selectedPatient;
    // The database's whole reads the patients table shows (-1: none yet).
    int shownReads = -1;
    OrvalisExchange *exchange = nullptr;
    bool wasMaximized = false;
    CardPlacement *cardPlacement = nullptr;
    // The card's holder in the right column, enabled while a patient is selected.
    QWidget *panelPatient = nullptr;
    QPushButton *newExaminationButton = nullptr;
    WindowCommands *commands = nullptr;
    // The data-care commands, each a class of its own.
    RemovalCommands *removals = nullptr;
    HistoryCommands *history = nullptr;
    BackupCommands *backups = nullptr;
    ExportCommands *exports = nullptr;
    QStringList refusedWrites;

    // Closing is refused until then (clock milliseconds).
    qint64 closeBlockedUntil = 0;
    bool initialized = false;
};
