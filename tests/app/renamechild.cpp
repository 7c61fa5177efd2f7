// Saves a new last name for patient 100 through the patient dialog, as a user
// would: the rename recovery test kills it half-way through the save.

#include "app/patientdialog.h"
#include "db/storage/database.h"
#include "db/model/kestamodel.h"
#include "db/rows/patient.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    KestaModel model;
    Patient *patient = model.database()->patientById(100);
    if (!patient)
        return 2;
    PatientDialog dialog(patient, model.database());
    dialog.copy()->setLastName(QString::fromUtf8(argv[1]));
    return dialog.save() ? 0 : 1;
}
