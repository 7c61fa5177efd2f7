#pragma once

#include "toolkit/settings/basepropertyview.h"

// A multi-line text field; every change is written at once.
class MultilinePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit MultilinePropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

protected:
    void showValue(const QVariant &value) override;
};
