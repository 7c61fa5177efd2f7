#pragma once

#include "toolkit/settings/basepropertyview.h"

// A date field (DateField) with its calendar; a date-time setting also shows and keeps its
// time, and a setting of the special type "BirthDate" takes no future date. An empty
// (invalid) date shows as a blank field, and emptying the field writes an invalid date.
// Text that is no date is marked in the field and writes nothing.
class DatePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit DatePropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

protected:
    void showValue(const QVariant &value) override;
};
