#pragma once

#include <QObject>
#include <QString>

// Drives one display of an offered update (a button, a menu entry) from the version
// checker's answers: hidden unless the last answer offers an update, else showing the
// offered version and opening its download page on action().
class NewVersionChecker : public QObject
{
    Q_OBJECT
public:
    // `preliminaryText` stands before the version instead of the application name.
    explicit NewVersionChecker(const QString &preliminaryText = QString(), QObject *parent = nullptr);

    // Follows every answer from now on, shows the last one, and starts the periodic checks
    // unless the application switched them off.
    void start();
    void action();
    void setPreliminaryText(const QString &text);

signals:
    void newVersion();
    void onSetVisible(bool vis);
    void onSetText(const QString &text);
    void onSetTooltip(const QString &tooltip);

private:
    void update();

    QString preliminaryText;
    QString link;
    bool started = false;
};
