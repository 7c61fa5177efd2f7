#pragma once

#include "db/care/changehistory.h"

#include <QDialog>

class QTableWidget;

// A patient's history: every change of its card, its recordings and its
// removals, newest first, with the values before and after side by side.
class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    HistoryDialog(
        const QString &patientName, const QList<ChangeHistory::Entry> &entries, QWidget *parent = nullptr);

    QTableWidget *list() const { return table; }

    // What a change did, as the list says it ("Patient: City", "Recording added" ...).
    static QString whatText(const ChangeHistory::Entry &entry);
    // A stored value as the list shows it: a whole row as its columns, one a
    // line; a patient's sex or hand by its translated name.
    static QString valueText(const QString &column, const QString &value);

private:
    QTableWidget *table;
};
