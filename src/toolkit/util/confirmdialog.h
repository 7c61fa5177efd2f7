#pragma once

#include <QDialog>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

// A modal dialog with a free content area above an accept button, an optional third button
// and a cancel button. The caller adds its widgets, runs the dialog, and does its work in
// a handler of `accepted`, which keeps the dialog open by setting the flag to false.
// Buttons carry the object names "positive" (accept), "third" and "cancel".
class ConfirmDialog : public QDialog
{
    Q_OBJECT
public:
    // Empty captions mean "Save" and "Cancel"; an empty third caption means no third button.
    explicit ConfirmDialog(QWidget *parent = nullptr, const QString &acceptCaption = QString(),
        const QString &cancelCaption = QString(), const QString &thirdCaption = QString());

    void addWidget(QWidget *widget, int stretch = 0, Qt::Alignment alignment = Qt::Alignment());
    void setAcceptEnabled(bool enabled);

    // Runs modally; while MessageBox answers are queued, the dialog is shown without a loop of
    // its own and each queued answer presses its button until the dialog closes.
    int exec() override;

signals:
    void accepted(bool &accept);
    void canceled();
    void declined();
    // However the dialog closes: accepted, canceled, declined, title bar or Escape.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void acceptClicked();
    int answerThroughSeam();

    QHBoxLayout *buttonsLayout = nullptr;
    QVBoxLayout *contentsLayout = nullptr;
    QPushButton *acceptButton = nullptr;
    QPushButton *thirdButton = nullptr;
    QPushButton *cancelButton = nullptr;
    bool closingAccepted = false;
};
