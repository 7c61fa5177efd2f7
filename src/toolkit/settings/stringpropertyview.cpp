#include "toolkit/settings/stringpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <algorithm>

StringPropertyView::StringPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("propertyLineEdit"));
    edit->setMinimumWidth(50);
    edit->setFocusPolicy(Qt::ClickFocus);
    if (description) {
        const QString placeholder = description->attributes.value(QStringLiteral("Placeholder"));
        if (!placeholder.isEmpty()) {
            edit->setPlaceholderText(
                QCoreApplication::translate("Generic", placeholder.toUtf8().constData()));
            StyleHelper::DimPlaceholder(edit);
        }
    }
    setEditor(edit, 100);
    refresh();
    connect(edit, &QLineEdit::textChanged, this, [this] {
        fitToText();
        if (commitPending)
            return;
        commitPending = true;
        QMetaObject::invokeMethod(this, "commitText", Qt::QueuedConnection);
    });
}

StringPropertyView::~StringPropertyView()
{
    if (commitPending)
        commitText();
}

void StringPropertyView::commitText()
{
    if (!commitPending)
        return;
    commitPending = false;
    if (auto *edit = editorAs<QLineEdit>())
        writeValue(edit->text());
}

void StringPropertyView::showValue(const QVariant &value)
{
    auto *edit = editorAs<QLineEdit>();
    if (!edit)
        return;
    const QString text = presenting ? TextHelper::visibleText(value.toString()) : value.toString();
    if (edit->text() != text)
        edit->setText(text);
    // A change from elsewhere supersedes what was typed but not yet written.
    commitPending = false;
    fitToText();
}

void StringPropertyView::fitToText()
{
    auto *edit = editorAs<QLineEdit>();
    if (!edit)
        return;
    const int wanted = edit->fontMetrics().horizontalAdvance(edit->text()) + 16;
    edit->setMinimumWidth(std::max(50, std::min(wanted, 600)));
}
