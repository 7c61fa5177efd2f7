#pragma once

#include <QString>

class Database;
class Patient;

// Creating and editing a patient, each as one write: the columns, the records
// carried to a changed ID, the folder renamed with its journal, then the one
// row shown afresh. Whoever stores a patient ID from input goes through here,
// so that one rule decides which IDs may be stored, checked against the
// stored rows inside the write, not against a list read earlier.
class PatientStore
{
public:
    // What became of a save: the AutoID stored, or why nothing was.
    struct Outcome {
        int autoId = 0;
        QString refusal;
        // The refusal came from the patient's folder, which could not be renamed.
        bool folderNotRenamed = false;
        bool saved() const { return autoId > 0; }
    };

    explicit PatientStore(Database *database);

    // Stores an unstored patient's values under a new AutoID and shows it in
    // the list.
    Outcome create(Patient *values);
    // Stores an edit of the stored patient autoId: the columns where `edited`
    // differs from `shown` (what the user saw when the edit began), each only
    // while the stored value is still the one shown where other workstations
    // write. A changed folder name renames the folder inside the write.
    Outcome save(int autoId, Patient *edited, Patient *shown);

    // The ID rule, for a write under way: false with the reason when a stored
    // patient other than exceptAutoId has an ID that is one with patientId
    // (PatientIdMatch), or the stored IDs cannot be read.
    // With taken, tells which of the two it was.
    bool idFree(const QString &patientId, int exceptAutoId, QString *reason, bool *taken = nullptr);
    // Writes the patient's changed PatientID (it was oldPatientId) and carries
    // the records of the old ID along unless another patient shares it.
    bool changeId(Patient *patient, const QString &oldPatientId, QString *reason);

private:
    bool writeColumns(int autoId, Patient *edited, Patient *shown, QString *reason);
    bool carryId(Patient *patient, const QString &oldPatientId, QString *reason);
    bool moveRecords(const QString &oldPatientId, const QString &newPatientId, QString *reason);
    bool idShared(const QString &patientId, int exceptAutoId, bool *shared, QString *reason);

    Database *database;
};
