#pragma once

#include "toolkit/settings/abstractmetadescriptor.h"

// Descriptor built from a QObject's meta-object: one description per writable
// property, inherited ones included, objectName left out.
class MetaDescriptor : public AbstractMetaDescriptor
{
    Q_OBJECT
public:
    explicit MetaDescriptor(QObject *parent = nullptr);

    void set(QObject *object) override;
    QString getClassName() const override;

    QObject *object = nullptr;

private:
    void parse();
};
