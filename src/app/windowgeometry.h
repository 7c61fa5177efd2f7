#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class KestaSettings;
class QRect;
class QWidget;

// The main window's place and size (WindowGeometry): on a first start large enough to show
// the card whole, or most of a smaller screen (all of a 1024 by 768 one), centred; later as
// the user left it. Written
// a moment after a move or resize ends, and when the window closes.
class WindowGeometry : public QObject
{
    Q_OBJECT
public:
    WindowGeometry(QWidget *window, KestaSettings *settings);

    // Before the window is first shown: the stored place; without one, the first-start size,
    // unless the window was given a size already.
    void restore();
    // The first-start size on a screen with this free area.
    static QSize firstStartSize(const QRect &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void save();

    QWidget *window;
    KestaSettings *settings;
    QTimer saveTimer;
};
