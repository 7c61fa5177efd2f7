#pragma once

#include "db/recordings/unregisteredrecordings.h"

#include <QObject>
#include <QPointer>
#include <QSet>

class Database;
class QWidget;
class RecordingRegistration;

// Tells the user what the registration of recordings could not store (UnregisteredRecordings):
// which recording of which patient, why, and the text of a comment that was not stored; in
// one box at a time that fits the screen, as soon as the window is shown (at start, and back
// from the recorder), and offers to register the recordings again. Each is told once a run;
// what arrives while the box is open is told in the next one; recordings left for later are
// offered again at the next start.
class UnregisteredRecordingsNotice : public QObject
{
    Q_OBJECT
public:
    // Watches `window` for being shown; the notice is a child of it.
    UnregisteredRecordingsNotice(QWidget *window, RecordingRegistration *registration);

    // The box's list for these recordings.
    static QString text(const QList<UnregisteredRecordings::Recording> &recordings, Database *database);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<UnregisteredRecordings::Recording> untold() const;
    void showSoon();
    void show();
    // The box; true when the user asked to register them again.
    bool ask(const QList<UnregisteredRecordings::Recording> &recordings, bool retriable);

    QPointer<QWidget> window;
    QPointer<RecordingRegistration> registration;
    QSet<int> told;
    bool queued = false;
    bool showing = false;
};
