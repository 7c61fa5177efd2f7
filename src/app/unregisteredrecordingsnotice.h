#pragma once

#include "db/recordings/unregisteredrecordings.h"

#include <QObject>
#include <QPointer>
#include <QSet>

class Database;
class QWidget;

// Tells the user of recordings the database did not take (UnregisteredRecordings): which file
// of which patient and why, in a box as soon as the window is shown (at start, and back from
// the recorder), and offers to register them again. Each is told once a run; those left for
// later are offered again at the next start.
class UnregisteredRecordingsNotice : public QObject
{
    Q_OBJECT
public:
    // Watches `window` for being shown; `recordings` and the notice are children of it.
    UnregisteredRecordingsNotice(QWidget *window, UnregisteredRecordings *recordings, Database *database);

    // The box's text for these recordings.
    static QString text(const QList<UnregisteredRecordings::Recording> &recordings, Database *database);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool hasUntold() const;
    void showSoon();
    void show();

    QPointer<QWidget> window;
    UnregisteredRecordings *recordings = nullptr;
    QPointer<Database> database;
    QSet<int> told;
    bool queued = false;
    bool showing = false;
};
