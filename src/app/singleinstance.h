#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

// One copy of the program per user and data folder, handed over through a local socket: the
// first copy listens, a later one asks it to come to the front and ends. A copy that steps
// aside for the recorder stays hidden; the recorder it watches must not be disturbed.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Answer {
        None, // no copy answered
        Shown, // a copy brought its window to the front
        Busy, // a copy runs but shows no window now (starting, or stepped aside for the recorder)
    };

    explicit SingleInstance(const QString &key = defaultKey(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Per user and data folder.
    static QString defaultKey();

    // Asks a running copy to show its window, waiting at most timeoutMs with events running.
    Answer askRunningCopy(int timeoutMs = 1000);
    // Answers later copies from now on; only this user may connect. A socket left by a copy
    // that crashed is taken over. False when the socket cannot be had.
    bool listen();
    // The window that later copies bring to the front.
    void setWindow(QWidget *window);

private:
    void answer();

    QString key;
    QLocalServer *server = nullptr;
    QPointer<QWidget> window;
};
