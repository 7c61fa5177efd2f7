#pragma once

#include "toolkit/settings/basepropertyview.h"

// An editable combo box offering a list of texts: the description's choices,
// else those listed after "EnumStringList:" or "StringList:" in the special
// type (comma-separated), else an enumeration's keys. The text is written as
// the setting's text form, so a text the setting refuses leaves it unchanged.
class EnumStringListPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit EnumStringListPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    QStringList offeredChoices() const;

protected:
    void showValue(const QVariant &value) override;
};
