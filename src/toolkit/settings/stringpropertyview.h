#pragma once

#include "toolkit/settings/basepropertyview.h"

class QLineEdit;

// A one-line text field that widens with its content. Typing is written to
// the setting through the event queue, one write for however many keystrokes
// arrived meanwhile; a write still pending when the view goes away is made then.
class StringPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit StringPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);
    ~StringPropertyView() override;

protected:
    void showValue(const QVariant &value) override;

private slots:
    void commitText();

private:
    void fitToText();

    bool commitPending = false;
};
