#include "db/model/kestamodel.h"

#include "db/care/changehistory.h"
#include "db/rows/conclusions.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "toolkit/util/settingslocation.h"

#include <QFileInfo>

namespace
{

KestaModel *instance = nullptr;

} // namespace

KestaModel::KestaModel(QObject *parent)
    : QObject(parent)
{
    settingsObject = new KestaSettings(SettingsLocation::filePath(QStringLiteral("Settings.xml")));
    settingsObject->reload();
    DataLocations::setDataFolder(settingsObject->getDataFolder());
    location = settingsObject->databaseLocation(DataLocations::databaseFile());
    databaseObject = new PatientDatabase(location);
    ChangeHistory::attach(databaseObject);
    Conclusions::of(databaseObject);
    // Without a file this is a first start: the window creates the file, then
    // reads it. A server that asks for a password is asked by the window.
    if (location.isServer() || QFileInfo::exists(location.filePath))
        databaseObject->isUsable();
    instance = this;
}

KestaModel::~KestaModel()
{
    if (instance == this)
        instance = nullptr;
    // Neither deletion writes anything: settings are saved as they change, rows
    // as they are edited.
    delete databaseObject;
    delete settingsObject;
}

KestaModel *KestaModel::Instance()
{
    return instance;
}
