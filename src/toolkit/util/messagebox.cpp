#include "toolkit/util/messagebox.h"

namespace
{

struct Seam {
    QList<MessageBox::Button> answers;
    QList<MessageBox::Shown> shown;
};

Seam &seam()
{
    static Seam instance;
    return instance;
}

} // namespace

void MessageBox::setNextAnswer(Button button)
{
    seam().answers.append(button);
}

int MessageBox::pendingAnswers()
{
    return seam().answers.size();
}

QList<MessageBox::Shown> MessageBox::takeShown()
{
    QList<Shown> shown;
    shown.swap(seam().shown);
    return shown;
}

void MessageBox::reset()
{
    seam().answers.clear();
    seam().shown.clear();
}

bool MessageBox::takeAnswer(Shown shown, Button *answer)
{
    if (seam().answers.isEmpty())
        return false;
    *answer = seam().answers.takeFirst();
    shown.answer = *answer;
    seam().shown.append(shown);
    return true;
}
