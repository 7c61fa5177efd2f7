#pragma once

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <functional>

class Database;

namespace kestatest
{

// Removes the data folder and creates it again with the empty database, as a
// first start does. False when that fails.
bool resetDataFolder();

// SQL run beside the program's own statements, to arrange rows and check what
// was stored; rawValue gives the first column of the first row, or nothing.
bool rawExec(Database &database, const QString &sql);
QVariant rawValue(Database &database, const QString &sql);
// Every row of the result, each as its fields' types and values, to compare
// stored rows exactly.
QStringList rawRows(Database &database, const QString &sql);

// Stores a patient through the program's own insert and returns its AutoID (-1 on
// failure). The insert reloads the patient list: look patients up by id afterwards.
int addPatient(Database &database, const QString &patientId, const QString &lastName,
    const QString &firstName = QString(), int sex = 0, const QDate &dob = QDate(),
    const QString &city = QString());

// The statements the program runs ("kesta.db.sql") during action, in order.
QStringList statementsOf(const std::function<void()> &action);

// A second connection to a database file, as another program would hold it
// (to take locks, or to write beside the program); closed when it goes.
class OtherConnection
{
public:
    explicit OtherConnection(const QString &filePath);
    ~OtherConnection();
    bool exec(const QString &sql);

private:
    QString name;
};

} // namespace kestatest
