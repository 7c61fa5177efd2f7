#include "app/unregisteredrecordingsnotice.h"

#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "toolkit/util/apphelperdialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

UnregisteredRecordingsNotice::UnregisteredRecordingsNotice(
    QWidget *window, UnregisteredRecordings *recordings, Database *database)
    : QObject(window)
    , window(window)
    , recordings(recordings)
    , database(database)
{
    window->installEventFilter(this);
    connect(recordings, &UnregisteredRecordings::changed, this, [this] {
        if (hasUntold())
            showSoon();
    });
    if (hasUntold())
        showSoon();
}

QString UnregisteredRecordingsNotice::text(
    const QList<UnregisteredRecordings::Recording> &recordings, Database *database)
{
    QString text
        = tr("These recordings were not registered in the database. Their files stay where they are:");
    for (const UnregisteredRecordings::Recording &recording : recordings) {
        const QString patient = recording.patientId.isEmpty() && recording.patientName.isEmpty()
            ? tr("No patient")
            : recording.patientName + " (" + recording.patientId + ")";
        // Where the file lies now; a name that leads elsewhere is shown as the recorder gave it.
        QString file = recording.fileName;
        if (recording.retriable) {
            QString now = UnregisteredRecordings::filePath(recording, database);
            if (now.isEmpty() && DataLocations::isPlainFolderName(recording.folderName))
                now = DataLocations::recordingPath(recording.folderName, recording.fileName);
            if (!now.isEmpty())
                file = QDir::toNativeSeparators(now);
        }
        text += "\n\n" + patient + "\n" + file + "\n" + recording.reason;
        if (!recording.comments.isEmpty())
            text += "\n" + tr("Comment:") + " " + recording.comments;
    }
    return text;
}

bool UnregisteredRecordingsNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Show && hasUntold())
        showSoon();
    return QObject::eventFilter(watched, event);
}

bool UnregisteredRecordingsNotice::hasUntold() const
{
    const QList<UnregisteredRecordings::Recording> list = recordings->recordings();
    return std::any_of(list.cbegin(), list.cend(),
        [this](const UnregisteredRecordings::Recording &recording) { return !told.contains(recording.key); });
}

void UnregisteredRecordingsNotice::showSoon()
{
    // After the request that caused it has been handled, and never while the window is away.
    if (queued || showing || !window || !window->isVisible())
        return;
    queued = true;
    QTimer::singleShot(0, this, &UnregisteredRecordingsNotice::show);
}

void UnregisteredRecordingsNotice::show()
{
    queued = false;
    if (showing || !window || !window->isVisible())
        return;
    showing = true;
    const QString title = tr("Recordings not registered");
    while (!recordings->isEmpty()) {
        const QList<UnregisteredRecordings::Recording> list = recordings->recordings();
        for (const UnregisteredRecordings::Recording &recording : list)
            told.insert(recording.key);
        const QString message = text(list, database);
        const bool retriable = std::any_of(list.cbegin(), list.cend(),
            [](const UnregisteredRecordings::Recording &recording) { return recording.retriable; });
        if (!retriable) {
            AppHelper::warningMessage(message, title, MessageBox::Warning);
            break;
        }
        if (!AppHelper::confirmDialog(title, message + "\n\n" + tr("Register them now?"), MessageBox::Warning,
                { tr("Try again"), tr("Later") }))
            break;
        recordings->registerAgain(database);
    }
    recordings->dropUntold();
    showing = false;
    // Reported while the box was open.
    if (hasUntold())
        showSoon();
}
