#include "toolkit/settings/metadescription.h"

#include <QColor>
#include <QDateTime>
#include <QPoint>
#include <QPointF>
#include <QRegularExpression>
#include <QSize>

namespace
{

// Attribute values are class-info texts: absent gives a null string, present
// but empty gives an empty, non-null one.
QString classInfo(const QMetaObject *meta, const QString &key)
{
    const int index = meta->indexOfClassInfo(key.toUtf8().constData());
    if (index < 0)
        return QString();
    const QString value = QString::fromUtf8(meta->classInfo(index).value());
    return value.isNull() ? QString(QLatin1String("")) : value;
}

// Minimum, Maximum and Step may be written the way C++ would spell them
// ("0.5f", "QPoint(1, 2)"); only the first number counts.
bool parseLimit(QString text, double &target)
{
    for (const char *noise : { "f", "QPointF", "QSize", "QPoint", "(", ")" })
        text.remove(QLatin1String(noise));
    const QStringList parts = text.trimmed().split(',', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    bool ok = false;
    const double value = parts.first().trimmed().toDouble(&ok);
    if (ok)
        target = value;
    return ok;
}

QMap<QString, QString> parseVisibleBound(const QString &text)
{
    QMap<QString, QString> bound;
    for (const QString &entry : text.split(';')) {
        const int colon = entry.indexOf(':');
        if (colon >= 0)
            bound.insert(entry.left(colon), entry.mid(colon + 1));
        else if (entry.startsWith('!'))
            bound.insert(entry.mid(1), QStringLiteral("false"));
        else
            bound.insert(entry, QStringLiteral("true"));
    }
    return bound;
}

} // namespace

MetaDescription::MetaDescription(QObject *parent)
    : AbstractMetaDescription(parent)
{
}

QMetaProperty MetaDescription::property() const
{
    return object ? object->metaObject()->property(propertyIndex) : QMetaProperty();
}

void MetaDescription::set(int index, QObject *target)
{
    propertyIndex = index;
    object = target;
    hasMinimum = hasMaximum = hasStep = false;

    const QMetaObject *meta = target->metaObject();
    const QMetaProperty prop = meta->property(index);
    name = QString::fromLatin1(prop.name());
    typeName = QString::fromLatin1(prop.typeName());
    typeId = prop.userType();
    if (prop.isEnumType()) {
        // Enumerations are handled by key, whatever their C++ type.
        typeName = QStringLiteral("Enum");
        typeId = QMetaType::Int;
    }
    auto attribute
        = [&](const char *attributeName) { return classInfo(meta, name + QLatin1String(attributeName)); };

    editable = attribute("Editable") == QLatin1String("true");
    visible = attribute("NotVisible").isNull();
    const QString display = attribute("DisplayName");
    displayName = display.isNull() ? name : display;

    const QString rawDefault = attribute("Default");
    if (!rawDefault.isNull())
        normaliseDefault(rawDefault);

    QString bound = attribute("VisibleBound");
    if (bound.isNull())
        bound = attribute("VisibleBinded");
    if (!bound.isNull())
        visibleBound = parseVisibleBound(bound);

    const QString minimumText = attribute("Minimum");
    if (!minimumText.isNull())
        hasMinimum = parseLimit(minimumText, minimum);
    const QString maximumText = attribute("Maximum");
    if (!maximumText.isNull())
        hasMaximum = parseLimit(maximumText, maximum);
    const QString stepText = attribute("Step");
    if (!stepText.isNull())
        hasStep = parseLimit(stepText, step);

    const QString prefixText = attribute("Prefix");
    if (!prefixText.isNull())
        prefix = prefixText;
    const QString suffixText = attribute("Suffix");
    if (!suffixText.isNull())
        suffix = suffixText;

    for (const char *key : { "Description", "Placeholder", "Precision", "Suggestions" }) {
        const QString value = attribute(key);
        if (!value.isEmpty())
            attributes.insert(QLatin1String(key), value);
    }

    const QString special = attribute("SpecialType");
    if (!special.isNull()) {
        specialType = special;
        hasSpecialType = true;
        const int colon = special.indexOf(':');
        specialTypeName = colon < 0 ? special : special.left(colon);
        specialTypeArgument = colon < 0 ? QString() : special.mid(colon + 1);
    }

    category = attribute("Category");
    const QString priorityText = attribute("Priority");
    if (!priorityText.isNull())
        priority = priorityText.toInt();
    if (!attribute("NoDefault").isNull())
        showDefault = false;
    if (!attribute("ReadOnly").isNull())
        readOnly = true;
    const QString iconText = attribute("Icon");
    if (!iconText.isNull())
        icon = iconText;

    // Every change of the property, from a form, a file or code, reaches the editors.
    if (prop.hasNotifySignal()) {
        const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("valueChangedSlot()"));
        connect(target, prop.notifySignal(), this, slot);
    }
}

void MetaDescription::normaliseDefault(const QString &raw)
{
    QString text = raw;
    const QMetaProperty prop = property();
    if (prop.isEnumType()) {
        const int scope = text.lastIndexOf(QLatin1String("::"));
        if (scope >= 0)
            text = text.mid(scope + 2);
    } else if (typeName == QLatin1String("int") || typeName == QLatin1String("float")
        || typeName == QLatin1String("double")) {
        text.remove(QRegularExpression(QStringLiteral("[A-Za-z]")));
    } else if (typeName == QLatin1String("QString")) {
        text.remove(QRegularExpression(QStringLiteral("^\"+|\"+$")));
    } else if (typeName == QLatin1String("QColor")) {
        const QRegularExpressionMatch hex = QRegularExpression(QStringLiteral("#[0-9A-Fa-f]+")).match(text);
        const QRegularExpressionMatch global = QRegularExpression(QStringLiteral("Qt::(\\w+)")).match(text);
        const QRegularExpressionMatch quoted
            = QRegularExpression(QStringLiteral("\\(\\s*\"(\\w+)\"\\s*\\)")).match(text);
        if (hex.hasMatch()) {
            text = hex.captured(0);
        } else if (global.hasMatch()) {
            const QMetaEnum colours = QMetaEnum::fromType<Qt::GlobalColor>();
            bool ok = false;
            const int colour = colours.keyToValue(global.captured(1).toLatin1().constData(), &ok);
            if (ok)
                text = QColor(Qt::GlobalColor(colour)).name();
        } else if (quoted.hasMatch()) {
            const QColor colour(quoted.captured(1));
            if (colour.isValid())
                text = colour.name();
        }
    }

    if (raw.endsWith(QLatin1String("()"))) {
        const QString call = raw.left(raw.size() - 2).trimmed();
        if (call == QLatin1String("QDateTime::currentDateTime")) {
            text = QDateTime::currentDateTime().toString();
        } else if (call == QLatin1String("QDateTime") || call == QLatin1String("QDate")) {
            text = QLatin1String("");
        } else {
            // A default such as "defaultFolder()" names a method of the settings object.
            QString result;
            const QByteArray method = call.toLatin1();
            if (object->metaObject()->indexOfMethod(method + "()") >= 0
                && QMetaObject::invokeMethod(
                    object, method.constData(), Qt::DirectConnection, Q_RETURN_ARG(QString, result)))
                text = result;
        }
    }
    defaultValue = text;
    hasDefault = true;
}

QMetaEnum MetaDescription::enumerator() const
{
    return property().enumerator();
}

bool MetaDescription::isEnumType() const
{
    return property().isEnumType();
}

bool MetaDescription::setValue(const QVariant &value)
{
    const QMetaProperty prop = property();
    if (!object || !prop.isWritable())
        return false;
    return prop.write(object, value);
}

QVariant MetaDescription::getValue() const
{
    return object ? property().read(object) : QVariant();
}

void MetaDescription::setDefault()
{
    if (!hasDefault || !object)
        return;
    property().reset(object);
    // The reset function has the last word: a default computed at run time or
    // written differently in the declaration follows what the object holds.
    const QString current = getTextValue();
    if (current != defaultValue)
        defaultValue = current;
    setTextValue(defaultValue);
    emit valueChanged(getValue());
}

bool MetaDescription::setTextValue(const QString &text)
{
    if (typeName == QLatin1String("QPoint") || typeName == QLatin1String("QPointF")
        || typeName == QLatin1String("QSize")) {
        double first = 0;
        double second = 0;
        if (!parsePointOrSize(text, first, second))
            return false;
        return setPair(first, second);
    }
    return setValue(text);
}

bool MetaDescription::parsePointOrSize(const QString &text, double &first, double &second)
{
    QString cleaned = text;
    for (const char *noise : { "QPointF", "QPoint", "QSize", "(", ")", "f" })
        cleaned.remove(QLatin1String(noise));
    const QStringList parts = cleaned.split(',', Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return false;
    bool firstOk = false;
    bool secondOk = false;
    const double x = parts.at(0).trimmed().toDouble(&firstOk);
    const double y = parts.at(1).trimmed().toDouble(&secondOk);
    if (!firstOk || !secondOk)
        return false;
    first = x;
    second = y;
    return true;
}

void MetaDescription::valueChangedSlot()
{
    emit valueChanged(getValue());
}
