#include "app/unregisteredrecordingsnotice.h"

#include "db/recordings/recordingregistration.h"
#include "toolkit/util/confirmdialog.h"
#include "toolkit/util/texthelper.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

UnregisteredRecordingsNotice::UnregisteredRecordingsNotice(QWidget *window, RecordingRegistration *registration)
    : QObject(window)
    , window(window)
    , registration(registration)
{
    window->installEventFilter(this);
    if (!registration->refused())
        return;
    connect(registration->refused(), &UnregisteredRecordings::changed, this, [this] {
        if (!untold().isEmpty())
            showSoon();
    });
    if (!untold().isEmpty())
        showSoon();
}

QString UnregisteredRecordingsNotice::text(
    const QList<UnregisteredRecordings::Recording> &recordings, Database *database)
{
    QStringList entries;
    for (const UnregisteredRecordings::Recording &recording : recordings) {
        const QString patient = recording.patientId.isEmpty() && recording.patientName.isEmpty()
            ? tr("No patient")
            : recording.patientName + " (" + recording.patientId + ")";
        // Where the file lies now; a name that leads elsewhere is shown as the recorder gave it.
        const QString path = UnregisteredRecordings::lastKnownPath(recording, database);
        QString entry = patient + "\n"
            + TextHelper::visibleText(path.isEmpty() ? recording.fileName : QDir::toNativeSeparators(path)) + "\n"
            + recording.reason;
        if (!recording.comments.isEmpty())
            entry += "\n" + (recording.registered ? tr("Not stored:") : tr("Comment:")) + " " + recording.comments;
        entries << entry;
    }
    return entries.join(QStringLiteral("\n\n"));
}

bool UnregisteredRecordingsNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Show && !untold().isEmpty())
        showSoon();
    return QObject::eventFilter(watched, event);
}

QList<UnregisteredRecordings::Recording> UnregisteredRecordingsNotice::untold() const
{
    QList<UnregisteredRecordings::Recording> list;
    if (registration && registration->refused()) {
        for (const UnregisteredRecordings::Recording &recording : registration->refused()->recordings()) {
            if (!told.contains(recording.key))
                list.append(recording);
        }
    }
    return list;
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
    if (showing || !window || !window->isVisible() || !registration)
        return;
    showing = true;
    for (;;) {
        const QList<UnregisteredRecordings::Recording> list = untold();
        if (list.isEmpty() || !registration)
            break;
        QSet<int> shown;
        for (const UnregisteredRecordings::Recording &recording : list)
            shown.insert(recording.key);
        told += shown;
        const bool retriable = std::any_of(list.cbegin(), list.cend(),
            [](const UnregisteredRecordings::Recording &recording) { return recording.retriable; });
        const bool again = ask(list, retriable);
        if (!registration)
            break;
        // Only what the box held: what arrived meanwhile is told next.
        registration->refused()->dropTold(shown);
        if (!again)
            break;
        registration->registerKept();
        // Those still refused are told again, with the new reason.
        for (const UnregisteredRecordings::Recording &recording : registration->refused()->recordings()) {
            if (recording.retriable)
                told.remove(recording.key);
        }
    }
    showing = false;
    if (!untold().isEmpty())
        showSoon();
}

bool UnregisteredRecordingsNotice::ask(const QList<UnregisteredRecordings::Recording> &recordings, bool retriable)
{
    ConfirmDialog box(window, retriable ? tr("Try again") : tr("OK"), tr("Later"));
    box.setObjectName(QStringLiteral("unregisteredRecordingsNotice"));
    box.setWindowTitle(tr("Recordings not registered"));
    box.setAcceptEnabled(true);
    auto *intro = new QLabel(tr("These recordings, or parts of their comments, were not stored in the "
                                "database. Their files stay where they are:"),
        &box);
    intro->setWordWrap(true);
    box.addWidget(intro);
    // However many there are, the list scrolls inside a box that fits the screen.
    auto *list = new QPlainTextEdit(text(recordings, registration->database()), &box);
    list->setObjectName(QStringLiteral("recordings"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    box.addWidget(list, 1);
    if (retriable)
        box.addWidget(new QLabel(tr("Register them now?"), &box));
    else
        box.findChild<QPushButton *>(QStringLiteral("cancel"))->hide();
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(800, 600);
    box.setMaximumSize(available * 0.9);
    box.resize(std::min(640, available.width() * 9 / 10), std::min(420, available.height() * 9 / 10));
    return box.exec() == QDialog::Accepted && retriable;
}
