#include "app/serverpasswordprompt.h"

#include "db/storage/database.h"
#include "db/storage/sqldialect.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QQueue>

namespace
{

QQueue<QString> answers;
QStringList asked;

} // namespace

bool ServerPasswordPrompt::askIfNeeded(QWidget *parent, Database *database, const QString &openError)
{
    if (!database || !database->dialect().needsPassword(openError))
        return false;
    QString question = tr("Password of %1").arg(database->location().describe());
    // Asked again after a typed password failed: the user must see that it was wrong.
    if (!database->location().password.isEmpty()
        && openError.contains(QLatin1String("password authentication failed")))
        question = tr("The server refused the password.") + QLatin1Char('\n') + question;
    QString password;
    bool given = false;
    if (!answers.isEmpty()) {
        asked << question;
        password = answers.dequeue();
        given = !password.isEmpty();
    } else {
        password = QInputDialog::getText(parent, tr("Database server"), question, QLineEdit::Password,
            QString(), &given, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    }
    if (!given || password.isEmpty())
        return false;
    database->setPassword(password);
    return true;
}

void ServerPasswordPrompt::setNextAnswer(const QString &password)
{
    answers.enqueue(password);
}

QStringList ServerPasswordPrompt::takeAsked()
{
    const QStringList questions = asked;
    asked.clear();
    return questions;
}
