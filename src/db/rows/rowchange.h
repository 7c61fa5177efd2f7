#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// One change of stored data as the write path hands it to whoever follows
// changes (the history, other workstations): what happened to which row of
// which table, and the values before and after.
struct RowChange {
    enum class Kind { Insert, Update, Delete };

    Kind kind = Kind::Update;
    QString table;
    int rowId = 0;
    // Update: the column. Insert and Delete concern the whole row: empty.
    QString column;
    // Update: the column's value before and after. Insert: newValue holds
    // the row as a QVariantMap of column to value; Delete: oldValue does.
    QVariant oldValue;
    QVariant newValue;
};

Q_DECLARE_METATYPE(RowChange)
