#pragma once

#include <QString>
#include <QWidget>

class NewVersionChecker;
class QPushButton;

// A download button for the About box: hidden until the version service offers an update,
// then "<application name> <version>", opening the download page when clicked. Creating it
// starts the periodic checks unless the application switched them off.
class NewVersionButton : public QWidget
{
    Q_OBJECT
public:
    // An empty `style` gives the default look.
    explicit NewVersionButton(const QString &preliminaryText = QString(), const QString &style = QString(),
        QWidget *parent = nullptr);

    QPushButton *button() const { return pushButton; }
    void setButtonStyle(const QString &style);
    void setPreliminaryText(const QString &text);

signals:
    void onHasNewVersionChanged(bool hasNewVersion);

private:
    QPushButton *pushButton;
    NewVersionChecker *checker;
};
