#include "toolkit/util/confirmdialog.h"

#include "toolkit/util/messagebox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmDialog::ConfirmDialog(
    QWidget *parent, const QString &acceptCaption, const QString &cancelCaption, const QString &thirdCaption)
    : QDialog(parent)
{
    acceptButton = new QPushButton(
        acceptCaption.isEmpty() ? QCoreApplication::translate("Generic", "Save") : acceptCaption, this);
    acceptButton->setCursor(Qt::PointingHandCursor);
    acceptButton->setObjectName("positive");
    connect(acceptButton, &QPushButton::clicked, this, &ConfirmDialog::acceptClicked);

    cancelButton = new QPushButton(
        cancelCaption.isEmpty() ? QCoreApplication::translate("Generic", "Cancel") : cancelCaption, this);
    cancelButton->setCursor(Qt::PointingHandCursor);
    cancelButton->setObjectName("cancel");
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        emit canceled();
        close();
    });

    if (!thirdCaption.isEmpty()) {
        thirdButton = new QPushButton(thirdCaption, this);
        thirdButton->setCursor(Qt::PointingHandCursor);
        thirdButton->setObjectName("third");
        connect(thirdButton, &QPushButton::clicked, this, [this] {
            emit declined();
            close();
        });
    }

    // Two buttons stand at the two edges; with a third, all three stand at the right.
    buttonsLayout = new QHBoxLayout;
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    if (thirdButton)
        buttonsLayout->addStretch(100);
    buttonsLayout->addWidget(acceptButton);
    if (thirdButton) {
        buttonsLayout->addSpacing(10);
        buttonsLayout->addWidget(thirdButton);
    } else {
        buttonsLayout->addStretch(100);
    }
    buttonsLayout->addSpacing(10);
    buttonsLayout->addWidget(cancelButton);

    contentsLayout = new QVBoxLayout;
    contentsLayout->setContentsMargins(0, 0, 0, 0);
    contentsLayout->setSpacing(4);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);
    layout->addLayout(contentsLayout);
    layout->addLayout(buttonsLayout);

    acceptButton->setEnabled(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void ConfirmDialog::addWidget(QWidget *widget, int stretch, Qt::Alignment alignment)
{
    contentsLayout->addWidget(widget, stretch, alignment);
}

void ConfirmDialog::setAcceptEnabled(bool enabled)
{
    acceptButton->setEnabled(enabled);
}

int ConfirmDialog::exec()
{
    if (MessageBox::pendingAnswers() > 0)
        return answerThroughSeam();
    return QDialog::exec();
}

int ConfirmDialog::answerThroughSeam()
{
    setResult(QDialog::Rejected);
    show();
    // A handler of `accepted` may keep the dialog open (and show boxes of its own, which take
    // their answers in turn); the next answer then acts on the dialog again.
    while (isVisible()) {
        MessageBox::Shown shown;
        shown.title = windowTitle();
        for (QPushButton *button : { acceptButton, thirdButton, cancelButton }) {
            if (button)
                shown.buttons.append(button->text());
        }
        MessageBox::Button answer = MessageBox::Close;
        if (!MessageBox::takeAnswer(shown, &answer)) {
            qWarning("ConfirmDialog: no answer queued for a dialog still open; closing it");
            close();
            break;
        }
        switch (answer) {
        case MessageBox::Accept:
            if (!acceptButton->isEnabled())
                qWarning("ConfirmDialog: the accept button is disabled; the answer does nothing");
            acceptButton->click();
            break;
        case MessageBox::Third:
            if (thirdButton)
                thirdButton->click();
            break;
        case MessageBox::Reject:
            cancelButton->click();
            break;
        case MessageBox::Close:
            close();
            break;
        }
    }
    return result();
}

void ConfirmDialog::acceptClicked()
{
    bool accept = true;
    emit accepted(accept);
    if (!accept)
        return;
    closingAccepted = true;
    close();
}

void ConfirmDialog::closeEvent(QCloseEvent *event)
{
    emit closed();
    if (closingAccepted) {
        // exec() then reports Accepted, for callers that prefer its result to the signal.
        closingAccepted = false;
        done(QDialog::Accepted);
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

void ConfirmDialog::keyPressEvent(QKeyEvent *event)
{
    // QDialog would reject() directly; going through close() keeps `closed` reliable.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}
