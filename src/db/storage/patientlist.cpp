#include "db/storage/patientlist.h"

#include "db/rows/patient.h"

QList<Patient *> PatientList::replace(const QList<Patient *> &fresh)
{
    const QList<Patient *> replaced = patients;
    patients = fresh;
    read = true;
    visitsRead = false;
    return replaced;
}

Patient *PatientList::byId(int autoId) const
{
    if (autoId < 1)
        return nullptr;
    for (Patient *patient : patients) {
        if (patient->getId() == autoId)
            return patient;
    }
    return nullptr;
}

Patient *PatientList::byPatientId(const QString &patientId) const
{
    for (Patient *patient : patients) {
        if (patient->getPatientID() == patientId)
            return patient;
    }
    return nullptr;
}

bool PatientList::idInUse(const QString &patientId, const Patient *except) const
{
    for (Patient *patient : patients) {
        if (patient != except && (!except || patient->getAutoID() != except->getAutoID())
            && patient->getPatientID() == patientId)
            return true;
    }
    return false;
}

QPair<QDateTime, QDateTime> PatientList::visitsOf(
    const QString &patientId, const std::function<Visits()> &readAll)
{
    if (!visitsRead) {
        visitsRead = true;
        visits = readAll();
    }
    return visits.value(patientId);
}
