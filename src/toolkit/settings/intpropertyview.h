#pragma once

#include "toolkit/settings/basepropertyview.h"

// A spin box within the setting's limits (the whole int range when it has none).
class IntPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit IntPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    void up() override;
    void down() override;

protected:
    void showValue(const QVariant &value) override;
    bool isDefaultValue() const override;
};
