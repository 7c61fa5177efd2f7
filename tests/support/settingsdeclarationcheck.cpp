#include "support/settingsdeclarationcheck.h"

#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"
#include "toolkit/settings/ztsettings.h"

#include <QMetaMethod>
#include <QMetaProperty>

namespace kestatest
{

namespace
{

    const QStringList knownAttributes = {
        "Editable",
        "NotVisible",
        "DisplayName",
        "Default",
        "VisibleBound",
        "VisibleBinded",
        "Minimum",
        "Maximum",
        "Step",
        "Prefix",
        "Suffix",
        "Description",
        "Placeholder",
        "Precision",
        "Suggestions",
        "SpecialType",
        "Category",
        "Priority",
        "NoDefault",
        "ReadOnly",
        "Icon",
    };

    bool hasMethod(const QMetaObject *meta, const QString &name, QMetaMethod::MethodType type, int parameters)
    {
        for (int i = 0; i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() == type && QString::fromLatin1(method.name()) == name
                && method.parameterCount() == parameters)
                return true;
        }
        return false;
    }

} // namespace

QStringList settingsDeclarationProblems(ZTSettings *settings)
{
    QStringList problems;
    const QMetaObject *meta = settings->metaObject();
    const QString className = QString::fromLatin1(meta->className());

    QStringList propertyNames;
    for (int i = 0; i < meta->propertyCount(); ++i)
        propertyNames.append(QString::fromLatin1(meta->property(i).name()));

    for (int i = meta->classInfoOffset(); i < meta->classInfoCount(); ++i) {
        const QString key = QString::fromUtf8(meta->classInfo(i).name());
        bool known = false;
        for (const QString &property : propertyNames)
            if (key.startsWith(property) && knownAttributes.contains(key.mid(property.size())))
                known = true;
        if (!known)
            problems << className + ": class info " + key + " names no property or no known attribute";
        if (known && key.endsWith("Editable")) {
            const QString value = QString::fromUtf8(meta->classInfo(i).value());
            if (value != "true" && value != "false")
                problems << className + ": " + key + " is \"" + value + "\", which is not \"true\"";
        }
    }

    for (AbstractMetaDescription *description : settings->metaDescriptor()->getProperties()) {
        const QString name = description->name;
        const QMetaProperty property = meta->property(meta->indexOfProperty(name.toLatin1().constData()));
        if (!hasMethod(meta, "get" + name, QMetaMethod::Method, 0))
            problems << className + ": " + name + " has no getter get" + name;
        if (!hasMethod(meta, "set" + name, QMetaMethod::Method, 1))
            problems << className + ": " + name + " has no setter set" + name;
        if (!property.isResettable() || !hasMethod(meta, "reset" + name, QMetaMethod::Method, 0))
            problems << className + ": " + name + " has no RESET function reset" + name;
        if (!property.hasNotifySignal()
            || QString::fromLatin1(property.notifySignal().name()) != "changed" + name)
            problems << className + ": " + name + " has no NOTIFY signal changed" + name;

        if (!description->hasDefault)
            continue;
        const QString declared = description->defaultValue;
        if (description->isEnumType()) {
            bool ok = false;
            description->enumerator().keyToValue(declared.toLatin1().constData(), &ok);
            if (!ok)
                problems << className + ": default " + declared + " of " + name + " is not an enumerator";
        }
        if (description->hasMinimum || description->hasMaximum) {
            bool ok = false;
            const double value = declared.toDouble(&ok);
            if (ok && description->hasMinimum && value < description->minimum)
                problems << className + ": default " + declared + " of " + name + " is below its Minimum";
            if (ok && description->hasMaximum && value > description->maximum)
                problems << className + ": default " + declared + " of " + name + " is above its Maximum";
        }
        if (property.isResettable()) {
            property.reset(settings);
            const QString reset = description->getTextValue();
            if (reset != declared)
                problems << className + ": " + name + " declares Default \"" + declared
                        + "\" but its reset gives \"" + reset + "\"";
        }
    }
    return problems;
}

} // namespace kestatest
