// The boxes themselves, in the toolkit's widget library; the seam they consult is in the core.

#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/messagebox.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

static_assert(int(MessageBox::Question) == int(QMessageBox::Question)
        && int(MessageBox::Critical) == int(QMessageBox::Critical)
        && int(MessageBox::Warning) == int(QMessageBox::Warning)
        && int(MessageBox::Information) == int(QMessageBox::Information)
        && int(MessageBox::NoIcon) == int(QMessageBox::NoIcon),
    "MessageBox::Icon mirrors QMessageBox::Icon");

namespace
{

constexpr int RoundEventsMs = 1000;

MessageBox::Shown describe(const QMessageBox &box)
{
    MessageBox::Shown shown;
    shown.title = box.windowTitle();
    shown.text = box.text();
    shown.icon = MessageBox::Icon(box.icon());
    for (const QAbstractButton *button : box.buttons())
        shown.buttons.append(button->text());
    QPushButton *defaultButton = box.defaultButton();
    shown.defaultButton = defaultButton && box.buttonRole(defaultButton) == QMessageBox::NoRole
        ? MessageBox::Reject
        : MessageBox::Accept;
    return shown;
}

QString kindName(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Critical:
        return QCoreApplication::translate("MessageBox", "Error");
    case QMessageBox::Warning:
        return QCoreApplication::translate("MessageBox", "Warning");
    case QMessageBox::Question:
        return QCoreApplication::translate("MessageBox", "Question");
    default:
        return QCoreApplication::translate("MessageBox", "Message");
    }
}

// Runs the box, or answers it through the seam; true when `accept` was pressed.
bool run(QMessageBox &box, QAbstractButton *accept)
{
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    // New flags take the focus away from the default button; a window shown
    // without one gives it to the first button, which Enter then presses,
    // whatever the default.
    if (QPushButton *preferred = box.defaultButton())
        preferred->setFocus();
    box.setTextFormat(Qt::PlainText);
    // A screen reader says a box's name and description as it opens; a box without a
    // title is named by its kind.
    if (box.windowTitle().isEmpty())
        box.setAccessibleName(kindName(box.icon()));
    box.setAccessibleDescription(box.text());
    MessageBox::Button answer = MessageBox::Close;
    if (MessageBox::takeAnswer(describe(box), &answer))
        return answer == MessageBox::Accept;
    box.exec();
    return box.clickedButton() == accept;
}

} // namespace

bool MessageBox::question(
    const QString &title, const QString &text, Icon icon, const QStringList &buttons, Button defaultButton)
{
    const QString yes = buttons.value(0);
    const QString no = buttons.value(1);
    return choice(title, text, icon, yes.isEmpty() ? QCoreApplication::translate("Generic", "Yes") : yes,
        no.isEmpty() ? QCoreApplication::translate("Generic", "No") : no, defaultButton);
}

bool MessageBox::choice(const QString &title, const QString &text, Icon icon, const QString &acceptCaption,
    const QString &rejectCaption, Button defaultButton)
{
    QMessageBox box(QMessageBox::Icon(icon), title, text);
    QPushButton *accept = box.addButton(acceptCaption, QMessageBox::YesRole);
    QPushButton *reject = box.addButton(rejectCaption, QMessageBox::NoRole);
    box.setDefaultButton(defaultButton == Reject ? reject : accept);
    box.setEscapeButton(reject);
    return run(box, accept);
}

void MessageBox::message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(QMessageBox::Icon(icon), title, text, QMessageBox::Ok);
    box.setWindowFlags(box.windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
    run(box, box.button(QMessageBox::Ok));
}

// The designed entry points of the application's boxes, and the one helper that warns with
// a box. Defined beside the boxes, so that
// the toolkit's core library, where AppHelper lives, needs no widgets.
bool AppHelper::confirmDialog(const QString &title, const QString &text, MessageBox::Icon icon,
    const QStringList &buttons, MessageBox::Button defaultButton)
{
    return MessageBox::question(title, text, icon, buttons, defaultButton);
}

void AppHelper::warningMessage(const QString &text, const QString &title, MessageBox::Icon icon)
{
    MessageBox::message(text, title, icon);
}

bool AppHelper::checkAndCloseIfAppsRunning(const QStringList &names, int rounds)
{
    QStringList running = findRunningApps(names);
    if (running.isEmpty())
        return false;
    for (int round = 0; round < rounds; ++round) {
        // A whole second each, with events running: processEvents alone returns at once when
        // nothing is pending, and a copy that is just closing would be refused.
        QEventLoop wait;
        QTimer::singleShot(RoundEventsMs, &wait, &QEventLoop::quit);
        wait.exec();
        running = findRunningApps(names);
    }
    if (running.isEmpty())
        return false;
    warnAppsRunning(running);
    return true;
}

void AppHelper::warnAppsRunning(const QStringList &running)
{
    const QString which = running.size() == 1
        ? QCoreApplication::translate("Generic", "this app is already running")
        : QCoreApplication::translate("Generic", "these apps are already running");
    const QString text = QCoreApplication::translate("Generic", "Cannot start because") + " " + which + ":\n"
        + running.join("\n");
    warningMessage(text, QString(), MessageBox::Warning);
}
