#pragma once

#include "toolkit/settings/basepropertyview.h"

class QLabel;

// A slider over the setting's limits (0 to 100 when it has none) in steps of
// Step, with the value shown beside it. Integer settings get whole numbers.
class SliderPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit SliderPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    void up() override;
    void down() override;

protected:
    void showValue(const QVariant &value) override;
    bool isDefaultValue() const override;

private:
    double valueAt(int position) const;
    int positionOf(double value) const;
    void showNumber(double value);

    double low = 0;
    double high = 100;
    double stepSize = 1;
    bool integral = true;
    QLabel *label = nullptr;
};
