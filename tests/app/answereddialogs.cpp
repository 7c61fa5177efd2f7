// Linked into a second build of the real entry function (kesta_answered) so that a test can
// run it as a second copy end to end: every message box is answered through the dialog seam
// instead of blocking, and what it would have shown is written to standard output.

#include "toolkit/util/apphelper.h"
#include "toolkit/util/messagebox.h"

#include <QCoreApplication>
#include <cstdio>

namespace
{

void printShownMessages()
{
    for (const MessageBox::Shown &message : MessageBox::takeShown()) {
        std::fputs(message.text.toUtf8().constData(), stdout);
        std::fputs("\n", stdout);
    }
    std::fflush(stdout);
}

void answerEveryBox()
{
    for (int i = 0; i < 16; ++i)
        MessageBox::setNextAnswer(MessageBox::Yes);
    qAddPostRoutine(printShownMessages);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(answerEveryBox)
