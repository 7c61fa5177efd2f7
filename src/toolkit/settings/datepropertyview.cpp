#include "toolkit/settings/datepropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/datefield.h"

DatePropertyView::DatePropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *field = new DateField(this);
    field->setObjectName(QStringLiteral("propertyDateEdit"));
    field->setWithTime(description && description->typeName.contains(QLatin1String("QDateTime")));
    field->setBirthDate(description
        && description->specialType.compare(QLatin1String("BirthDate"), Qt::CaseInsensitive) == 0);
    setEditor(field);
    refresh();
    connect(field, &DateField::dateTimeEdited, this, [this, field](const QDateTime &value) {
        if (field->hasTime())
            writeValue(value);
        else
            writeValue(value.isValid() ? value.date() : QDate());
    });
}

void DatePropertyView::showValue(const QVariant &value)
{
    auto *field = editorAs<DateField>();
    if (!field)
        return;
    field->setDateTime(field->hasTime() ? value.toDateTime() : QDateTime(value.toDate(), QTime(0, 0)));
}
