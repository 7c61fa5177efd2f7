#pragma once

#include "toolkit/settings/basepropertyview.h"

// A date field with a calendar pop-up; a date-time setting also shows and
// keeps its time. An empty (invalid) date shows as a blank field, and
// clearing the field writes an invalid date back.
class DatePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit DatePropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    // The date the blank field stands on; never a real value.
    static QDate blankDate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showValue(const QVariant &value) override;

private:
    bool withTime = false;
};
