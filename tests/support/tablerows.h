#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QStringList>

class Database;
class Patient;
class QMenu;
class QTableWidget;

namespace kestatest
{

// Stores a patient through the program's own insert and returns its AutoID
// (-1 on failure). The insert reloads the patient list, so look patients up
// by id afterwards rather than keeping earlier pointers.
int addPatient(Database &database, const QString &patientId, const QString &lastName,
    const QString &firstName = QString(), int sex = 0, const QDate &dob = QDate(),
    const QString &city = QString());

// Stores a recording of the patient through the program's own insert and
// returns its RecordID (-1 on failure). With withFile, the recording file is
// written first, so the record finds it. The patient's records are reloaded.
int addRecord(Database &database, Patient *patient, const QDateTime &date, const QString &fileName,
    const QString &type = QStringLiteral("EEG"), const QString &comments = QString(), bool withFile = false);

// Reading a table's grid: the row showing an id (-1 if none), the centre of
// that row's first cell, a column's texts top to bottom, the ids shown in
// ascending order, and a menu's entry texts.
int gridRow(QTableWidget *grid, int id);
QPoint cellCenter(QTableWidget *grid, int id);
QStringList columnTexts(QTableWidget *grid, int column);
QList<int> gridIds(QTableWidget *grid);
QStringList menuTexts(QMenu *menu);

} // namespace kestatest
