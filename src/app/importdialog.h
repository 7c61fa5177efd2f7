#pragma once

#include "db/moving/importer.h"

#include <QDialog>
#include <memory>

class Database;
class ImportSource;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// File, Import: a source's tables and, per source column, the Kesta field it
// becomes (offered as saved for the same layout, or by name for the program's
// own), the first rows as they will be stored, then a check that lists the
// rows refused and the duplicates with a choice for all or each, and the
// import with its progress and Cancel. The report is shown and saved beside
// the source.
class ImportDialog : public QDialog
{
    Q_OBJECT
public:
    ImportDialog(Database *database, QWidget *parent = nullptr);
    ~ImportDialog() override;

    // The menu entry, owned by window.
    static QAction *makeAction(Database *database, QWidget *window);
    // Asks for the source and shows the dialog.
    static void run(QWidget *window, Database *database);

    // Opens the source and shows its mapping; false, the reason shown, when
    // it cannot be read.
    bool openSource(const QString &path);
    // The dry run over the mapping as shown; the import writes what it found.
    void check();
    // Writes; false when nothing was written (cancelled or failed).
    bool runImport();

    // The source's preview rows shown.
    static constexpr int PreviewRows = 20;

private:
    void showTables();
    void fillMapping();
    void updatePreview();
    ImportMapping shownMapping() const;
    void invalidate();

    Database *database;
    std::unique_ptr<ImportSource> source;
    QString sourcePath;
    Importer::Plan plan;
    bool checked = false;

    QLabel *sourceLabel;
    QComboBox *patientsTable;
    QComboBox *recordsTable;
    QComboBox *dateOrder;
    QTableWidget *mapping;
    QTableWidget *preview;
    QLineEdit *dataFolder;
    QComboBox *duplicates;
    QTableWidget *findings;
    QLabel *summary;
    QPushButton *checkButton;
    QPushButton *importButton;
};
