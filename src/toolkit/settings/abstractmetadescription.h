#pragma once

#include <QMap>
#include <QMetaEnum>
#include <QObject>
#include <QStringList>
#include <QVariant>

// A map setting: written to XML as one child element per key.
typedef QMap<QString, QString> StringMap;
Q_DECLARE_METATYPE(StringMap)

// Every attribute a class declares for one setting. Apart from `choices` and
// `visible`, which forms rewrite, they are the same for all objects of a
// class, so they are parsed once per class and copied into each description.
struct MetaDescriptionFields {
    QString defaultValue;
    double minimum = 0;
    double maximum = 0;
    double step = 0;
    QString typeName;
    QString displayName;
    QMap<QString, QString> visibleBound;
    QString name;
    QString category;
    QString specialTypeName;
    QString specialTypeArgument;
    QString specialType;
    QString suffix = QLatin1String("");
    QString prefix = QLatin1String("");
    QStringList choices;
    QString icon = QLatin1String("");
    QMap<QString, QString> attributes;
    int typeId = 0;
    int priority = 2147483647;
    bool showDefault = true;
    bool readOnly = false;
    bool editable = false;
    bool visible = false;
    bool hasMinimum = false;
    bool hasMaximum = false;
    bool hasDefault = false;
    bool hasStep = false;
    bool hasSpecialType = false;
};

// One described setting: every attribute its class declares, plus abstract
// access to the value. The members are public because forms read them and
// rewrite `visible` while their visibility conditions change.
class AbstractMetaDescription : public QObject, public MetaDescriptionFields
{
    Q_OBJECT
public:
    explicit AbstractMetaDescription(QObject *parent = nullptr);

    virtual QMetaEnum enumerator() const = 0;
    virtual bool isEnumType() const = 0;
    virtual bool setValue(const QVariant &value) = 0;
    virtual QVariant getValue() const = 0;
    // Runs the reset function and writes the default back; see MetaDescription.
    virtual void setDefault() = 0;
    // Text as typed by a user: "x,y" or "QPoint(x, y)" for points and sizes.
    virtual bool setTextValue(const QString &text) = 0;

    // The value as text that setTextValue accepts back: enumerations by key,
    // points and sizes as "x,y", everything else in QVariant's text form.
    QString getTextValue() const;
    // The same text for any value; `enumerator` is valid only for an enumeration.
    static QString textForm(const QVariant &value, const QString &typeName, const QMetaEnum &enumerator);
    // The value as the XML settings file holds it (points as "x;y", bytes as
    // Base64, enumerations by key); fromFileText reads that form back.
    QString fileText() const;
    bool fromFileText(const QString &text);
    // The value as stored in a JSON settings object, and back.
    QVariant jsonValue() const;
    bool fromJsonValue(const QVariant &value);

protected:
    // Sets a point, a point with fractions or a size, by typeName, from its two numbers.
    bool setPair(double first, double second);

public slots:
    virtual void valueChangedSlot() = 0;

signals:
    void valueChanged(const QVariant &value);

private:
    QString enumKey(const QVariant &value) const;
    static QString enumKey(const QMetaEnum &meta, const QVariant &value);
};
