#pragma once

#include <QAction>
#include <QString>

class NewVersionChecker;
class QWidget;

// The download entry of a menu: hidden until the version service offers an update, then
// "<application name> <version>", opening the download page when triggered. Creating it
// starts the periodic checks unless the application switched them off.
class NewVersionMenuAction : public QAction
{
    Q_OBJECT
public:
    explicit NewVersionMenuAction(const QString &preliminaryText = QString(), QWidget *parent = nullptr);

    void setPreliminaryText(const QString &text);

signals:
    void onHasNewVersionChanged(bool hasNewVersion);

private:
    NewVersionChecker *checker;
};
