#pragma once

#include "toolkit/settings/basepropertyview.h"

class QDoubleSpinBox;
class QLabel;

// Two number fields for a size (width, height), a point, a floating-point
// point, or a range (low, high; the low never passes the high). The pair is
// written as "first,second", which points and sizes read as their two parts
// and a text setting stores as it is.
class DualDoubleSpinBox : public BasePropertyView
{
    Q_OBJECT
public:
    enum DualMode { DualMode_Size = 0, DualMode_Point = 1, DualMode_PointF = 2, DualMode_Range = 3 };
    Q_ENUM(DualMode)

    DualDoubleSpinBox(AbstractMetaDescription *description, DualMode mode, QWidget *parent = nullptr);

    DualMode mode() const;
    QDoubleSpinBox *firstSpinBox() const;
    QDoubleSpinBox *secondSpinBox() const;
    void nullifyEditor() override;

protected:
    void showValue(const QVariant &value) override;
    bool isDefaultValue() const override;

private:
    static bool readPair(QString text, double &first, double &second);
    void writePair();
    void keepRangeOrdered();

    DualMode dualMode;
    QDoubleSpinBox *first = nullptr;
    QDoubleSpinBox *second = nullptr;
};
