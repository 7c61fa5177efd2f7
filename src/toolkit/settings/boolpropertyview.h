#pragma once

#include "toolkit/settings/basepropertyview.h"

// A check box without text, ticked while the setting is true.
class BoolPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit BoolPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

protected:
    void showValue(const QVariant &value) override;
};
