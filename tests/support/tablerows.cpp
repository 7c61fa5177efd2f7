#include "support/tablerows.h"

#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTableWidget>
#include <algorithm>

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

int gridRow(QTableWidget *grid, int id)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return r;
    }
    return -1;
}

QPoint cellCenter(QTableWidget *grid, int id)
{
    const int row = gridRow(grid, id);
    return row < 0 ? QPoint(-1, -1) : grid->visualItemRect(grid->item(row, 0)).center();
}

QStringList columnTexts(QTableWidget *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << grid->item(r, column)->text();
    return texts;
}

QList<int> gridIds(QTableWidget *grid)
{
    QList<int> ids;
    for (int r = 0; r < grid->rowCount(); ++r)
        ids << grid->item(r, 0)->data(Qt::UserRole).toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

} // namespace kestatest
