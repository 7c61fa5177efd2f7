#pragma once

#include "toolkit/settings/abstractmetadescription.h"

#include <QMetaProperty>
#include <QPointer>

// Description bound to one Qt property of one object, filled from the
// property and the class-info entries named after it.
class MetaDescription : public AbstractMetaDescription
{
    Q_OBJECT
public:
    explicit MetaDescription(QObject *parent = nullptr);

    // Fills the description from property `propertyIndex` of `object`
    // (inherited properties counted) and follows the property's NOTIFY signal.
    void set(int propertyIndex, QObject *object);

    QMetaEnum enumerator() const override;
    bool isEnumType() const override;
    bool setValue(const QVariant &value) override;
    QVariant getValue() const override;
    void setDefault() override;
    bool setTextValue(const QString &text) override;

    // Reads "3,4", "QPoint(3, 4)", "QSize(1, 2)", "QPointF(1.5f, 2)" and the like: exactly two
    // numbers separated by a comma. The file form "3;4" is not accepted here.
    static bool parsePointOrSize(const QString &text, double &first, double &second);

public slots:
    void valueChangedSlot() override;

public:
    int propertyIndex = -1;
    QObject *object = nullptr;

private:
    QMetaProperty property() const;
    // Computes a default written as a call, for this object and this moment.
    void callDefault(const QString &call);
};
