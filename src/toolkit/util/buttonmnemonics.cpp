#include "toolkit/util/buttonmnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>

namespace
{

// The letter after the text's single "&" ("&&" is a plain "&"), lower case, or none.
QChar mnemonicOf(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return QChar();
}

} // namespace

void ButtonMnemonics::install()
{
    static ButtonMnemonics *watcher = nullptr;
    if (watcher || !qApp)
        return;
    watcher = new ButtonMnemonics(qApp);
    qApp->installEventFilter(watcher);
}

void ButtonMnemonics::assign(QWidget *window)
{
    QSet<QChar> used;
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        used.insert(mnemonicOf(button->text()));
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->buddy())
            used.insert(mnemonicOf(label->text()));
    }
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        const QString text = button->text();
        if (text.isEmpty() || !mnemonicOf(text).isNull())
            continue;
        int chosen = -1;
        // A word's first letter reads best; any letter of the text will do.
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (int i = 0; i < text.size(); ++i) {
                const QChar c = text.at(i);
                const bool wordStart = i == 0 || !text.at(i - 1).isLetter();
                if (c.isLetter() && (pass == 1 || wordStart) && !used.contains(c.toLower())) {
                    chosen = i;
                    break;
                }
            }
        }
        if (chosen < 0)
            continue;
        used.insert(text.at(chosen).toLower());
        QString marked = text;
        marked.replace(QLatin1Char('&'), QLatin1String("&&"));
        int at = 0;
        for (int i = 0; i < chosen; ++i)
            at += text.at(i) == QLatin1Char('&') ? 2 : 1;
        button->setText(marked.insert(at, QLatin1Char('&')));
    }
}

bool ButtonMnemonics::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isWindow())
            assign(dialog);
    }
    return QObject::eventFilter(watched, event);
}
