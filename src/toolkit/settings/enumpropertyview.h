#pragma once

#include "toolkit/settings/basepropertyview.h"

// A combo box with one item per enumerator, in enumerator order, each shown
// as its key translated in the context of the enumeration's name.
class EnumPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit EnumPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

protected:
    void showValue(const QVariant &value) override;
    QString defaultValueText() const override;
};
