#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

class Patient;

// The patients of one database as the views hold them, and what is kept of
// their records for the list (the dates of each ID's first and last visit).
// The database reads; this keeps, finds and lets go.
class PatientList
{
public:
    using Visits = QHash<QString, QPair<QDateTime, QDateTime>>;

    const QList<Patient *> &all() const { return patients; }
    // Whether a whole list has been read once.
    bool isRead() const { return read; }
    // Takes a list read whole; returns the one it replaces, for the caller to
    // delete once no view shows it.
    QList<Patient *> replace(const QList<Patient *> &fresh);
    void append(Patient *patient) { patients.append(patient); }
    // Lets go of a patient whose row is gone (not deleted here).
    void remove(Patient *patient) { patients.removeOne(patient); }
    void clear() { patients.clear(); }

    // Null for ids below 1.
    Patient *byId(int autoId) const;
    // The first patient with exactly this PatientID.
    Patient *byPatientId(const QString &patientId) const;
    // Whether a patient other than `except` (by object and by AutoID) has this PatientID.
    bool idInUse(const QString &patientId, const Patient *except) const;

    // The visits of this PatientID, all read with `readAll` when first asked
    // for and again after forgetVisits.
    QPair<QDateTime, QDateTime> visitsOf(const QString &patientId, const std::function<Visits()> &readAll);
    void forgetVisits() { visitsRead = false; }

private:
    QList<Patient *> patients;
    bool read = false;
    Visits visits;
    bool visitsRead = false;
};
