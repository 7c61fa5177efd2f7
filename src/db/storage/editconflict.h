#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

class AbstractDatabaseRow;
class Database;
class QVariant;

// A column edit on a database that other workstations write: the UPDATE
// holds only while the stored value is still the one this workstation showed.
// When it is not, nothing is written; the user is told the value that is
// stored now, and the row is shown as stored.
class EditConflict
{
    Q_DECLARE_TR_FUNCTIONS(EditConflict)
public:
    // From now on the database's edits of shown values are checked here.
    static void attach(Database *database);

    // " AND City='Tver'" (or "... IS NULL"): the value shown, as this program
    // writes it, is still the stored one.
    static QString condition(
        const Database &database, AbstractDatabaseRow *row, const QString &column, const QVariant &shown);
    // Whether the stored row reads as the shown value, though stored in another
    // form (written by another program, a NULL for an empty text).
    static bool readsAsShown(const Database &database, AbstractDatabaseRow *stored, AbstractDatabaseRow *row,
        const QString &column, const QVariant &shown);
    // The stored row, held until the write ends so that no one changes it
    // meanwhile; null when it is gone or cannot be read.
    static std::unique_ptr<AbstractDatabaseRow> readHeld(Database *database, AbstractDatabaseRow *row);
    // What the user is told: the value another workstation stored, or that it
    // removed the row.
    static QString reason(AbstractDatabaseRow *stored, const QString &column);
};
