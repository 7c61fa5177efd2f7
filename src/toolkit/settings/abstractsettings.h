#pragma once

#include <QObject>
#include <QVariant>

class AbstractMetaDescriptor;

// Interface of an object whose Qt properties are its settings. Forms and files
// reach a settings object only through this interface and its descriptor.
class AbstractSettings : public QObject
{
    Q_OBJECT
public:
    explicit AbstractSettings(QObject *parent = nullptr);

    virtual AbstractMetaDescriptor *metaDescriptor() = 0;
    virtual QVariant getValue(const QString &name);
    virtual bool setValue(const QString &name, const QVariant &value) = 0;

signals:
    // Emitted after every effective change of a setting, with the setting's name.
    void propertyChanged(const QString &name);
};
