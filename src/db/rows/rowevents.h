#pragma once

#include <QObject>

class AbstractDatabaseRow;

// Every change and the end of any database row, announced by one object for
// the whole process: a list of a hundred thousand rows watches them through
// one connection instead of one per row. Emitted on the thread that changed
// or destroyed the row; a row that is gone is announced while it is being
// destroyed, so only its address may be used.
class RowEvents : public QObject
{
    Q_OBJECT
public:
    static RowEvents *instance();

signals:
    // A column of the row changed (not while the row is being read).
    void changed(AbstractDatabaseRow *row);
    void gone(AbstractDatabaseRow *row);

private:
    RowEvents() = default;
};
