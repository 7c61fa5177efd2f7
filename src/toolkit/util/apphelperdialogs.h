#pragma once

#include "toolkit/util/apphelper.h"
#include "toolkit/util/messagebox.h"

// The boxes of AppHelper, defined with the other boxes in the toolkit's widget library.
namespace AppHelper
{

// A modal yes/no box, kept on top. `buttons` may replace the two captions. True exactly
// when "yes" was chosen; a question whose "yes" destroys data makes No the default, so
// that Return keeps it. Answered in tests through MessageBox's seam.
bool confirmDialog(const QString &title, const QString &text, MessageBox::Icon icon = MessageBox::Question,
    const QStringList &buttons = {}, MessageBox::Button defaultButton = MessageBox::Yes);
// A modal box with an OK button, kept on top. Text first, then title.
void warningMessage(
    const QString &text, const QString &title = QString(), MessageBox::Icon icon = MessageBox::Warning);
// When one of `names` runs, looks again for `rounds` rounds (a second each, events
// running), then warns "Cannot start because ..." if any still runs and returns true.
// It ends no process.
bool checkAndCloseIfAppsRunning(const QStringList &names, int rounds);
// The warning itself: "Cannot start because this app is already running:" and the names.
void warnAppsRunning(const QStringList &running);

} // namespace AppHelper
