#pragma once

#include "toolkit/util/confirmdialog.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <memory>

class Database;
class Patient;
class PatientsListWidget;
class PropertyTabWidget;
class QLabel;

// Creates or edits a patient on an unsaved copy. The copy is checked after every
// change, as a hint; accepting hands it to the PatientStore, which decides. What
// the store refused is shown once and keeps the dialog open with what the user
// entered.
class PatientDialog : public ConfirmDialog
{
    Q_OBJECT
public:
    // Runs the dialog for a stored patient (edit) or a new, unsaved one (create);
    // after a create, patientsTable (may be null) selects the new patient. The
    // AutoID of the stored patient, or 0 when nothing was stored.
    static int editPatient(
        QWidget *parent, Patient *patient, Database *database, PatientsListWidget *patientsTable);

    PatientDialog(Patient *patient, Database *database, QWidget *parent = nullptr);
    ~PatientDialog() override;

    // After a successful create, this table selects the new patient.
    void setPatientsTable(PatientsListWidget *table);
    bool isNew() const { return patientId <= 0; }
    // The unsaved copy the form edits.
    Patient *copy() const { return edited.get(); }
    PropertyTabWidget *form() const { return tabs; }
    // What the copy lacks, one message a line, identifier first; empty when it may be stored.
    QStringList problems() const;
    // Stores the copy, as accepting does; false when nothing was stored (the user has been told).
    bool save();
    // The AutoID stored by the last successful save, 0 before.
    int storedId() const { return savedId; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct OtherPatient {
        QString patientId;
        QString name;
        QString lastName;
        QString firstName;
        QDate birthDate;
        QString folderName;
    };

    void validate();
    void showDuplicates();
    // Tells the user what the store refused.
    void showRefusal(bool creating, bool folderNotRenamed, const QString &reason);

    std::unique_ptr<Patient> edited;
    // The patient as the dialog opened on it: what the user was shown.
    std::unique_ptr<Patient> shown;
    QPointer<Database> database;
    QPointer<PatientsListWidget> patientsTable;
    int patientId = 0;
    int savedId = 0;
    QString storedPatientId;
    QString storedFolderName;
    QList<OtherPatient> others;
    PropertyTabWidget *tabs = nullptr;
    QLabel *errorLabel = nullptr;
    QLabel *duplicateLabel = nullptr;
};
