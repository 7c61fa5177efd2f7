#include "toolkit/settings/colorpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QToolButton>

namespace
{

QString colourName(const QColor &colour)
{
    return colour.name(colour.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

} // namespace

ColorPropertyView::ColorPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("propertyColorEdit"));
    edit->setMaximumWidth(100);
    setEditor(edit);

    swatch = new QToolButton(this);
    swatch->setObjectName(QStringLiteral("propertyColorButton"));
    swatch->setFocusPolicy(Qt::ClickFocus);
    swatch->setAccessibleName(tr("Choose colour"));
    addWidget(swatch);

    refresh();
    connect(edit, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QColor colour(text.trimmed());
        // Half-typed names are not colours; nothing is written until one is.
        if (!colour.isValid())
            return;
        paintSwatch(colour);
        writeValue(colour);
    });
    connect(swatch, &QToolButton::clicked, this, &ColorPropertyView::openChooser);
}

QToolButton *ColorPropertyView::swatchButton() const
{
    return swatch;
}

QColorDialog *ColorPropertyView::openChooser()
{
    auto *dialog = new QColorDialog(this);
    dialog->setObjectName(QStringLiteral("propertyColorDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QColorDialog::ShowAlphaChannel);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    if (description)
        dialog->setCurrentColor(description->getValue().value<QColor>());
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor &colour) {
        writeValue(colour);
        refresh();
    });
    dialog->open();
    return dialog;
}

void ColorPropertyView::showValue(const QVariant &value)
{
    const QColor colour = value.value<QColor>();
    auto *edit = editorAs<QLineEdit>();
    if (edit && QColor(edit->text().trimmed()) != colour)
        edit->setText(colour.isValid() ? colourName(colour) : QString());
    paintSwatch(colour);
}

bool ColorPropertyView::isDefaultValue() const
{
    return description && QColor(description->defaultValue) == description->getValue().value<QColor>();
}

void ColorPropertyView::paintSwatch(const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour.isValid() ? colour : QColor(Qt::transparent));
    swatch->setIcon(QIcon(pixmap));
}
