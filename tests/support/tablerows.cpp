#include "support/tablerows.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestatest
{

int addPatient(Database &database, const QString &patientId, const QString &lastName,
    const QString &firstName, int sex, const QDate &dob, const QString &city)
{
    Patient patient;
    patient.setPatientID(patientId);
    patient.setLastName(lastName);
    patient.setFirstName(firstName);
    patient.setSex(static_cast<Patient::PatientGender>(sex));
    patient.setDOB(dob);
    patient.setCity(city);
    return database.insertPatient(&patient);
}

int addRecord(Database &database, Patient *patient, const QDateTime &date, const QString &fileName,
    const QString &type, const QString &comments, bool withFile)
{
    if (!patient)
        return -1;
    if (withFile) {
        const QString path = DataLocations::recordingPath(patient->folderName(), fileName);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(2048, 'x')) != 2048)
            return -1;
    }
    return database.insertRecord(patient, date, fileName, type, comments);
}

} // namespace kestatest
