#include "app/windowgeometry.h"

#include "db/model/kestasettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace
{

// Wide enough for the patients, the card with its three tabs and the records side by side;
// on a small screen the least that still shows the card's tabs whole, if the screen has it.
const QSize Roomy(1400, 860);
const QSize Least(1024, 720);
constexpr int SaveDelayMs = 500;

} // namespace

WindowGeometry::WindowGeometry(QWidget *window, KestaSettings *settings)
    : QObject(window)
    , window(window)
    , settings(settings)
{
    saveTimer.setSingleShot(true);
    saveTimer.setInterval(SaveDelayMs);
    connect(&saveTimer, &QTimer::timeout, this, &WindowGeometry::save);
    window->installEventFilter(this);
}

QSize WindowGeometry::firstStartSize(const QRect &available)
{
    return Roomy.boundedTo(available.size() * 0.9).expandedTo(Least.boundedTo(available.size()));
}

void WindowGeometry::restore()
{
    const QByteArray stored = QByteArray::fromBase64(settings->getWindowGeometry().toLatin1());
    if (!stored.isEmpty() && window->restoreGeometry(stored))
        return;
    if (window->testAttribute(Qt::WA_Resized))
        return;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect place(QPoint(), firstStartSize(available).expandedTo(window->minimumSize()));
    place.moveCenter(available.center());
    window->resize(place.size());
    window->move(place.topLeft());
}

void WindowGeometry::save()
{
    saveTimer.stop();
    settings->setWindowGeometry(QString::fromLatin1(window->saveGeometry().toBase64()));
}

bool WindowGeometry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        // Not while it stands aside for the recorder, a tool tip out of sight.
        if (window->isVisible() && window->windowType() == Qt::Window)
            saveTimer.start();
        break;
    case QEvent::Close:
        if (saveTimer.isActive())
            save();
        break;
    default:
        break;
    }
    return false;
}
