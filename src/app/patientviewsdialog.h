#pragma once

#include <QDialog>

class Database;
class QAction;

// "Who opened patient cards...": the notes the setting LogPatientViews asks
// for, newest first, for the administrator, who alone may read them on a
// server.
class PatientViewsDialog : public QDialog
{
    Q_OBJECT
public:
    PatientViewsDialog(Database *database, QWidget *parent = nullptr);

    // The menu entry, owned by window; it opens the dialog.
    static QAction *makeAction(Database *database, QWidget *window);
};
