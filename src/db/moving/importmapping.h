#pragma once

#include "db/moving/importsource.h"

#include <QCoreApplication>
#include <QMap>
#include <QStringList>
#include <QVariantMap>

// Which source column becomes which field of Kesta's patients and records,
// and how the source's values read: the source tables and, per source column,
// a column of Patients or Records (or "FullName", one name column split into
// last, first and middle name); a column not named is not imported. Saved as a
// small JSON file and offered again for a source of the same layout.
class ImportMapping
{
    Q_DECLARE_TR_FUNCTIONS(ImportMapping)
public:
    // The order of day, month and year in dates given as text.
    enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };
    struct TableMap {
        QString source;
        // Source column -> Kesta field.
        QMap<QString, QString> fields;
    };

    TableMap patients;
    // Optional: the records, joined to their patient by the field PatientID.
    TableMap records;
    DateOrder dateOrder = DateOrder::DayMonthYear;

    // Whether patients can be read at all: a source table with the ID mapped.
    bool isUsable() const;

    // The fields a source column may go to, in the order offered.
    static QStringList patientFields();
    static QStringList recordFields();
    // The split name column.
    static QString fullNameField() { return QStringLiteral("FullName"); }

    // A source in the program's own layout (tables Patients and Records with
    // its column names) maps itself; *own tells whether it was one.
    static ImportMapping automatic(const ImportSource &source, bool *own);
    // The mapping saved for a source whose patient table has this layout
    // (its column names); empty when none.
    static ImportMapping saved(const ImportSource::Table &table, bool *found);
    // Saves it where saved() finds it again for this layout.
    bool remember(const ImportSource::Table &table, QString *reason = nullptr) const;
    bool save(const QString &file, QString *reason = nullptr) const;
    static bool load(const QString &file, ImportMapping *mapping, QString *reason);

    // One source row as Kesta's columns (texts, QDate, QDateTime, numbers;
    // Sex and Hand as their letters), with each value that cannot be stored
    // named in problems ("DOB: 31.02.1980 is no date").
    QVariantMap convert(const ImportSource::Table &table, const TableMap &map, const QVariantList &values,
        QStringList *problems) const;

    // A date as text in the given order; a two-digit year counts back from today.
    static QDate dateOf(const QString &text, DateOrder order);
    static QString sexLetter(const QString &text);
    static QString handLetter(const QString &text);
    // "Last First Middle", or "Last, First Middle".
    static QStringList splitName(const QString &text);
    // The longest text a column holds; 0 for no limit.
    static int maxLength(const QString &table, const QString &column);

private:
    static QString layoutFile(const ImportSource::Table &table);
};
