#pragma once

#include "toolkit/settings/basepropertyview.h"

class QToolButton;

// A floating-point spin box; attribute Precision gives the decimals and
// Suggestions ("0.5, 1, 2") a menu of values to pick.
class DoublePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit DoublePropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    void up() override;
    void down() override;
    QList<double> suggestions() const;

protected:
    void showValue(const QVariant &value) override;
    bool isDefaultValue() const override;

private:
    QList<double> suggested;
    QToolButton *suggestionButton = nullptr;
};
