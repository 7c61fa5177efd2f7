#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program's modal boxes and the one test seam for them. Every box and
// ConfirmDialog is built for real; while answers are queued it is not shown but
// answered by the next queued button, and what it held is recorded.
//
// The seam is in the toolkit's core so that AppHelper keeps its designed dialog entry
// points without widgets; the boxes themselves are the widget library's
// (messageboxdialogs.h, and AppHelper's confirmDialog and warningMessage).
class MessageBox
{
public:
    // The values of QMessageBox::Icon, so that this header needs no widgets.
    enum Icon { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };

    // The button a queued answer presses: the accepting one (Yes, OK, a dialog's
    // accept button), the refusing one (No, Cancel), a dialog's third button, or
    // the title bar's close button.
    enum Button { Accept, Reject, Third, Close };
    static constexpr Button Yes = Accept;
    static constexpr Button Ok = Accept;
    static constexpr Button No = Reject;
    static constexpr Button Cancel = Reject;

    struct Shown {
        QString title;
        QString text;
        Icon icon = NoIcon;
        QStringList buttons;
        // The button that Return presses.
        Button defaultButton = Accept;
        Button answer = Close;
    };

    // Test seam.
    static void setNextAnswer(Button button);
    static int pendingAnswers();
    // The boxes and dialogs answered through the seam since the last call, oldest first.
    static QList<Shown> takeShown();
    // Drops queued answers and recorded boxes.
    static void reset();

    // For boxes and dialogs of the toolkit: takes the next queued answer (false
    // when none is queued, and the box must be shown) and records what was shown.
    static bool takeAnswer(Shown shown, Button *answer);
};
