#pragma once

#include <QBrush>
#include <QIcon>
#include <QString>
#include <QVariant>

class AbstractDatabaseRow;

// What a table's model asks about a row it shows: the table's rules for its texts, icon,
// tool tip, shade and sort values (TableWidget answers them).
class RowPresentation
{
public:
    virtual QString cellText(AbstractDatabaseRow *row, const QString &column) = 0;
    virtual QString searchText(AbstractDatabaseRow *row) = 0;
    virtual QIcon rowIcon(AbstractDatabaseRow *row) = 0;
    // What the icon says, in words, for a screen reader.
    virtual QString rowIconText(AbstractDatabaseRow *row) = 0;
    virtual QString rowToolTip(AbstractDatabaseRow *row) = 0;
    virtual bool rowDimmed(AbstractDatabaseRow *row) = 0;
    virtual QVariant sortValue(AbstractDatabaseRow *row, const QString &column) = 0;
    // The text colour of a dimmed row.
    virtual QBrush dimmedText() const = 0;

protected:
    ~RowPresentation() = default;
};
