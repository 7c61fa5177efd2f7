#include "toolkit/settings/basepropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QMetaType>
#include <QPushButton>
#include <QSignalBlocker>
#include <cmath>

BasePropertyView::BasePropertyView(AbstractMetaDescription *description, QWidget *parent)
    : QWidget(parent)
    , description(description)
{
    rowLayout = new QHBoxLayout(this);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(2);
    if (!description)
        return;

    connect(description, &AbstractMetaDescription::valueChanged, this, &BasePropertyView::metaValueChanged);

    if (description->hasDefault && description->showDefault && !description->readOnly) {
        defaultButton = new QPushButton(this);
        defaultButton->setObjectName(QStringLiteral("propertyDefaultButton"));
        defaultButton->setFixedSize(10, 10);
        // The theme's button padding and minimum height would stretch it.
        defaultButton->setStyleSheet(
            QStringLiteral("QPushButton { padding: 0px; min-height: 0px; min-width: 0px; }"));
        defaultButton->setCheckable(true);
        defaultButton->setFocusPolicy(Qt::ClickFocus);
        defaultButton->setAccessibleName(tr("Restore default"));
        // Inside a dialog, Enter must not restore a default.
        defaultButton->setAutoDefault(false);
        rowLayout->addWidget(defaultButton, 0, Qt::AlignVCenter);
        connect(defaultButton, &QPushButton::clicked, this, [this] {
            if (this->description)
                this->description->setDefault();
            updateDefaultButton();
        });
    }
}

AbstractMetaDescription *BasePropertyView::getDescription() const
{
    return description;
}

void BasePropertyView::setDescription(AbstractMetaDescription *other)
{
    if (other == description)
        return;
    if (description)
        disconnect(
            description, &AbstractMetaDescription::valueChanged, this, &BasePropertyView::metaValueChanged);
    description = other;
    if (other)
        connect(other, &AbstractMetaDescription::valueChanged, this, &BasePropertyView::metaValueChanged);
    refresh();
}

QWidget *BasePropertyView::getEditor() const
{
    return editor;
}

void BasePropertyView::nullifyEditor()
{
    editor = nullptr;
}

void BasePropertyView::up() { }

void BasePropertyView::down() { }

QPushButton *BasePropertyView::getDefaultButton() const
{
    return defaultButton;
}

void BasePropertyView::showDefaultButton(bool show)
{
    if (defaultButton)
        defaultButton->setVisible(show);
}

void BasePropertyView::markDiffersFromDefault(bool differs)
{
    if (defaultButton)
        defaultButton->setChecked(differs);
}

void BasePropertyView::setPresenting(bool on)
{
    if (presenting == on)
        return;
    presenting = on;
    refresh();
}

QString BasePropertyView::translatedSuffixOrPrefix(const QString &text)
{
    if (text.isEmpty())
        return text;
    if (text.startsWith(QLatin1String("!-")))
        return text.mid(2);
    if (text.startsWith(' '))
        return ' ' + QCoreApplication::translate("Generic", text.mid(1).toUtf8().constData());
    return QCoreApplication::translate("Generic", text.toUtf8().constData());
}

void BasePropertyView::metaValueChanged(const QVariant &value)
{
    if (!writing && editor) {
        const QSignalBlocker blocker(editor);
        showValue(value);
    }
    updateDefaultButton();
}

void BasePropertyView::setEditor(QWidget *widget, int stretch)
{
    editor = widget;
    addWidget(widget, stretch);
}

void BasePropertyView::addWidget(QWidget *widget, int stretch)
{
    // A wheel turned to scroll the form must not change the values it passes
    // over: value widgets take it only while they have the focus.
    if (qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSpinBox *>(widget)
        || qobject_cast<QAbstractSlider *>(widget)) {
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(this);
    }
    const int buttonIndex = defaultButton ? rowLayout->indexOf(defaultButton) : -1;
    rowLayout->insertWidget(buttonIndex < 0 ? rowLayout->count() : buttonIndex, widget, stretch);
}

bool BasePropertyView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && !widget->hasFocus()) {
            // Ignored and filtered: the application passes it on to the scroll area.
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool BasePropertyView::isDefaultValue() const
{
    return description && description->getTextValue() == description->defaultValue;
}

QString BasePropertyView::defaultValueText() const
{
    return description ? description->defaultValue : QString();
}

bool BasePropertyView::numberIsDefault(double value) const
{
    bool ok = false;
    const double fallback = description ? description->defaultValue.toDouble(&ok) : 0;
    if (!ok)
        return false;
    const double scale = std::max({ 1.0, std::fabs(value), std::fabs(fallback) });
    return std::fabs(value - fallback) <= 1e-9 * scale;
}

bool BasePropertyView::writeValue(const QVariant &value)
{
    if (!description)
        return false;
    writing = true;
    const bool written = description->setValue(value);
    writing = false;
    updateDefaultButton();
    return written;
}

bool BasePropertyView::writeTextValue(const QString &text)
{
    if (!description)
        return false;
    writing = true;
    const bool written = description->setTextValue(text);
    writing = false;
    updateDefaultButton();
    return written;
}

void BasePropertyView::updateDefaultButton()
{
    if (!defaultButton || !description)
        return;
    markDiffersFromDefault(!isDefaultValue());
    defaultButton->setToolTip(tr("Set default to") + QLatin1String(" '")
        + translatedSuffixOrPrefix(description->prefix) + defaultValueText()
        + translatedSuffixOrPrefix(description->suffix) + '\'');
}

void BasePropertyView::refresh()
{
    if (description)
        metaValueChanged(description->getValue());
}

int BasePropertyView::enumValue(const QVariant &value)
{
    // A value of a registered enumeration type need not convert to int on its own.
    const int type = value.userType();
    if (type != QMetaType::Int && (QMetaType::typeFlags(type) & QMetaType::IsEnumeration)
        && value.constData()) {
        switch (QMetaType::sizeOf(type)) {
        case 1:
            return *static_cast<const qint8 *>(value.constData());
        case 2:
            return *static_cast<const qint16 *>(value.constData());
        case 8:
            return int(*static_cast<const qint64 *>(value.constData()));
        default:
            return *static_cast<const qint32 *>(value.constData());
        }
    }
    return value.toInt();
}
