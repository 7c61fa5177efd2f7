#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class Database;
class KestaSettings;
class OrvalisExchange;
class QAction;
class QWidget;
class Record;
class RecordingRegistration;
class RecordsTable;
class TracePreview;

// What the window does with the selected patient's recordings: open one with
// the recorder ("Open record", "play") or in the desktop's EEG viewer, show it
// in the file manager, edit its record, register the files found in the
// patient's folder that no record lists, and preview the selected one under
// the records table (shown or hidden from the View menu, remembered).
class RecordCommands : public QObject
{
    Q_OBJECT
public:
    RecordCommands(QWidget *window, Database *database, RecordsTable *records, TracePreview *preview,
        KestaSettings *settings);

    // The recorder is started through the exchange, once there is one.
    void setExchange(OrvalisExchange *exchange);
    // Found files are registered through it, once there is one.
    void setRegistration(RecordingRegistration *registration);
    // "Recording preview", checkable, for the View menu.
    QAction *previewAction() const { return togglePreview; }

    // File > Open record: a recording file chosen anywhere, opened with the recorder.
    void openRecordFile();
    // A row action of the records table: "play", "playInViewer", "show",
    // "register", "registerAll".
    void act(const QString &action, int id);
    // The record of this id in a form; the edited columns are stored.
    void edit(int id);
    // Registers these found files of the table's patient, each as one record;
    // those refused are told with the others the registration refused.
    void registerFiles(const QList<Record *> &files);

    // Shows a file or a folder in the file manager, or says that none could.
    static void showInFileManager(const QString &path);

private:
    void showPreviewOf(int id);
    void applyPreviewShown();

    QWidget *window;
    Database *database;
    RecordsTable *records;
    TracePreview *preview;
    QPointer<KestaSettings> settings;
    QPointer<OrvalisExchange> exchange;
    QPointer<RecordingRegistration> registration;
    QAction *togglePreview = nullptr;
};
