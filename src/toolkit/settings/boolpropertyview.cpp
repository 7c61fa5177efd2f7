#include "toolkit/settings/boolpropertyview.h"

#include <QCheckBox>

BoolPropertyView::BoolPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *box = new QCheckBox(this);
    setEditor(box);
    refresh();
    connect(box, &QCheckBox::toggled, this, [this](bool checked) { writeValue(checked); });
}

void BoolPropertyView::showValue(const QVariant &value)
{
    if (auto *box = editorAs<QCheckBox>())
        box->setChecked(value.toBool());
}
