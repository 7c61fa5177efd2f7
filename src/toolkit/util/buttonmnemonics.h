#pragma once

#include <QObject>

class QWidget;

// Underlined letters on the buttons of every box and dialog, in whatever language
// they came up in: a button whose text has none gets the first letter of its text
// (a word's first letter before the others) that no other button or label of its
// window uses. Mnemonics a text brings along are kept.
class ButtonMnemonics : public QObject
{
public:
    // Watches every dialog the application shows, from now on.
    static void install();
    static void assign(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
