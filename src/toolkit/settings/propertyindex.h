#pragma once

#include <QHash>
#include <QMetaProperty>
#include <QStringList>
#include <QVector>

// The described properties of one class: every writable property but
// objectName, inherited ones included, in declaration order. Built once per
// class and shared by all its objects, so that reading and writing settings by
// name costs no per-object descriptor; forms still build one when they need
// the attributes.
class PropertyIndex
{
public:
    // The index of the class; thread-safe, built on first use.
    static const PropertyIndex &of(const QMetaObject *meta);

    int count() const { return properties.size(); }
    const QStringList &names() const { return propertyNames; }
    const QMetaProperty &at(int position) const { return properties.at(position); }
    // The property's QMetaType id, as QMetaProperty::userType gives it.
    int typeAt(int position) const { return writers.at(position).type; }
    bool isEnumerationAt(int position) const { return writers.at(position).enumeration; }
    // Position of the exact name; a later namesake hides an earlier one. -1 when absent.
    int indexOf(const QString &name) const { return byName.value(name, -1); }
    // Position of the first name equal without regard to case; -1 when absent.
    int find(const QString &name) const;

    // The value of the property at `position` as text that a form's text editor
    // accepts back: enumerations by key, points and sizes as "x,y", everything
    // else in QVariant's text form.
    QString textOf(int position, const QVariant &value) const;

    // Writes `value` to the property at `position` through its setter, as
    // QMetaProperty::write does, but straight to the object's dispatch:
    // loading a list of rows writes hundreds of thousands of values, and the
    // general path costs more than the setters. Converts `value` to the
    // property's type on the way; false when it does not convert.
    bool write(QObject *object, int position, QVariant &value) const;
    // The same for a value already of the property's type: `value` points at
    // a value of QMetaType `type`. False, writing nothing, when the property
    // at `position` is not plainly of that type.
    bool writeAs(QObject *object, int position, int type, void *value) const;

private:
    explicit PropertyIndex(const QMetaObject *meta);

    // How a property is written straight through the object's dispatch; no
    // index for properties that need QMetaProperty::write's handling.
    struct Writer {
        int index = -1;
        int type = QMetaType::UnknownType;
        bool direct = false;
        bool enumeration = false;
        // The declaring class's own dispatch and the property's place in it:
        // the setter is reached without walking the class chain.
        void (*call)(QObject *, QMetaObject::Call, int, void **) = nullptr;
        int local = -1;
    };

    // The setter's call, `value` pointing at a value of the property's type.
    static void dispatch(QObject *object, const Writer &writer, void *value, QVariant *variant);

    QVector<QMetaProperty> properties;
    QVector<Writer> writers;
    QStringList typeNames;
    QStringList propertyNames;
    QHash<QString, int> byName;
    QHash<QString, int> byFoldedName;
};
