#include "toolkit/settings/multilinepropertyview.h"

#include <QPlainTextEdit>

MultilinePropertyView::MultilinePropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *edit = new QPlainTextEdit(this);
    edit->setObjectName(QStringLiteral("propertyTextEdit"));
    edit->setTabChangesFocus(true);
    edit->setMinimumWidth(50);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
    setEditor(edit, 100);
    refresh();
    connect(edit, &QPlainTextEdit::textChanged, this, [this, edit] { writeValue(edit->toPlainText()); });
}

void MultilinePropertyView::showValue(const QVariant &value)
{
    auto *edit = editorAs<QPlainTextEdit>();
    const QString text = value.toString();
    if (edit && edit->toPlainText() != text)
        edit->setPlainText(text);
}
