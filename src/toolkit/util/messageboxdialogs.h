#pragma once

#include "toolkit/util/messagebox.h"

// The boxes behind AppHelper's confirmDialog and warningMessage, answered in tests
// through MessageBox's seam. Every box shows its text as plain text: names, paths and
// answers from the network may hold markup that must not be rendered.
namespace MessageBoxDialogs
{

// A yes/no box kept on top; `buttons` may replace the two captions. True exactly when
// "yes" was chosen. `defaultButton` (Yes or No) is what Return presses.
bool question(const QString &title, const QString &text, MessageBox::Icon icon = MessageBox::Question,
    const QStringList &buttons = {}, MessageBox::Button defaultButton = MessageBox::Yes);
// A box with an OK button and a fixed-size frame, kept on top.
void message(const QString &text, const QString &title = QString(), MessageBox::Icon icon = MessageBox::Warning);
// A box with two choices, kept on top: true for `acceptCaption`, false for
// `rejectCaption` or a closed box.
bool choice(const QString &title, const QString &text, MessageBox::Icon icon, const QString &acceptCaption,
    const QString &rejectCaption, MessageBox::Button defaultButton = MessageBox::Accept);

// A box with two choices and Cancel: Accept or Third for the two captions, Reject for
// Cancel, Escape or a closed box, so that leaving the box never counts as a choice.
MessageBox::Button choose(const QString &title, const QString &text, MessageBox::Icon icon,
    const QString &acceptCaption, const QString &thirdCaption);

} // namespace MessageBoxDialogs
