#pragma once

#include "toolkit/settings/basepropertyview.h"

class QColorDialog;
class QToolButton;

// A colour: its name ("#RRGGBB", or "#AARRGGBB" with transparency) in a text
// field, and a swatch button that opens a colour chooser.
class ColorPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit ColorPropertyView(AbstractMetaDescription *description, QWidget *parent = nullptr);

    // Opens the chooser without blocking; choosing a colour writes it.
    QColorDialog *openChooser();

protected:
    void showValue(const QVariant &value) override;
    bool isDefaultValue() const override;

private:
    void paintSwatch(const QColor &colour);

    QToolButton *swatch = nullptr;
};
