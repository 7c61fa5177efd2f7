#include "toolkit/settings/datepropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QEvent>

DatePropertyView::DatePropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    withTime = description && description->typeName.contains(QLatin1String("QDateTime"));
    auto *edit = new QDateTimeEdit(this);
    edit->setObjectName(QStringLiteral("propertyDateEdit"));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(withTime ? QStringLiteral("dd.MM.yyyy HH:mm") : QStringLiteral("dd.MM.yyyy"));
    // The minimum stands for "no date" and is shown blank.
    edit->setMinimumDate(blankDate());
    edit->setSpecialValueText(QStringLiteral(" "));
    setEditor(edit);
    edit->calendarWidget()->installEventFilter(this);
    refresh();
    connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &value) {
        const bool blank = value.date() == blankDate();
        if (withTime)
            writeValue(blank ? QDateTime() : value);
        else
            writeValue(blank ? QDate() : value.date());
    });
}

bool DatePropertyView::eventFilter(QObject *watched, QEvent *event)
{
    // A blank field opens its calendar on this month rather than on the blank date.
    auto *edit = editorAs<QDateTimeEdit>();
    if (edit && event->type() == QEvent::Show && watched == edit->calendarWidget()
        && edit->date() == blankDate())
        edit->calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
    return BasePropertyView::eventFilter(watched, event);
}

QDate DatePropertyView::blankDate()
{
    return QDate(1800, 1, 1);
}

void DatePropertyView::showValue(const QVariant &value)
{
    auto *edit = editorAs<QDateTimeEdit>();
    if (!edit)
        return;
    const QDateTime when = withTime ? value.toDateTime() : QDateTime(value.toDate(), QTime(0, 0));
    if (when.isValid() && when.date() > blankDate())
        edit->setDateTime(when);
    else
        edit->setDateTime(QDateTime(blankDate(), QTime(0, 0)));
}
