#include "toolkit/settings/metadescription.h"

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QPoint>
#include <QPointF>
#include <QRegularExpression>
#include <QSize>
#include <functional>

namespace
{

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

// The Default text made to read as the property's type.
QString normalisedDefault(const QString &raw, const QMetaProperty &property, const QString &typeName)
{
    static const QRegularExpression letters(QStringLiteral("[A-Za-z]"));
    static const QRegularExpression outerQuotes(QStringLiteral("^\"+|\"+$"));
    static const QRegularExpression hexColour(QStringLiteral("#[0-9A-Fa-f]+"));
    static const QRegularExpression globalColour(QStringLiteral("Qt::(\\w+)"));
    static const QRegularExpression namedColour(QStringLiteral("\\(\\s*\"(\\w+)\"\\s*\\)"));

    QString text = raw;
    if (property.isEnumType()) {
        const int scope = text.lastIndexOf(QLatin1String("::"));
        if (scope >= 0)
            text = text.mid(scope + 2);
    } else if (typeName == QLatin1String("int") || typeName == QLatin1String("float")
        || typeName == QLatin1String("double")) {
        text.remove(letters);
    } else if (typeName == QLatin1String("QString")) {
        text.remove(outerQuotes);
    } else if (typeName == QLatin1String("QColor")) {
        const QRegularExpressionMatch hex = hexColour.match(text);
        const QRegularExpressionMatch global = globalColour.match(text);
        const QRegularExpressionMatch quoted = namedColour.match(text);
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
    return text;
}

// What a class declares for one property, parsed once per class. A default
// written as a call ("currentDateTime()", "defaultFolder()") is computed per
// description, since it depends on the time or on the object.
struct ParsedProperty {
    MetaDescriptionFields fields;
    QString defaultCall;
};

// A property's attribute by its name ("Default"): null when the class declares none.
using Attribute = std::function<QString(const char *)>;

// Attribute values are class-info texts: absent gives a null string, present but empty
// gives an empty, non-null one. A subclass's entry hides its base's, as
// QMetaObject::indexOfClassInfo finds it.
QHash<QString, QString> classInfoOf(const QMetaObject *meta)
{
    QHash<QString, QString> classInfo;
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QString value = QString::fromUtf8(meta->classInfo(i).value());
        classInfo.insert(QString::fromUtf8(meta->classInfo(i).name()),
            value.isNull() ? QString(QLatin1String("")) : value);
    }
    return classInfo;
}

void readDefault(ParsedProperty &parsed, const QMetaProperty &prop, const QString &rawDefault)
{
    MetaDescriptionFields &f = parsed.fields;
    if (rawDefault.isNull())
        return;
    f.defaultValue = normalisedDefault(rawDefault, prop, f.typeName);
    if (rawDefault.endsWith(QLatin1String("()"))) {
        const QString call = rawDefault.left(rawDefault.size() - 2).trimmed();
        if (call == QLatin1String("QDateTime") || call == QLatin1String("QDate"))
            f.defaultValue = QLatin1String("");
        else
            parsed.defaultCall = call;
    }
    f.hasDefault = true;
}

// What the editor of the property offers and shows: when it shows, its limits, texts
// around the value and a special editor.
void readEditorHints(MetaDescriptionFields &f, const Attribute &attribute)
{
    QString bound = attribute("VisibleBound");
    if (bound.isNull())
        bound = attribute("VisibleBinded");
    if (!bound.isNull())
        f.visibleBound = parseVisibleBound(bound);

    const QString minimumText = attribute("Minimum");
    if (!minimumText.isNull())
        f.hasMinimum = parseLimit(minimumText, f.minimum);
    const QString maximumText = attribute("Maximum");
    if (!maximumText.isNull())
        f.hasMaximum = parseLimit(maximumText, f.maximum);
    const QString stepText = attribute("Step");
    if (!stepText.isNull())
        f.hasStep = parseLimit(stepText, f.step);

    const QString prefixText = attribute("Prefix");
    if (!prefixText.isNull())
        f.prefix = prefixText;
    const QString suffixText = attribute("Suffix");
    if (!suffixText.isNull())
        f.suffix = suffixText;

    for (const char *key : { "BlankAtMinimum", "Description", "Placeholder", "Precision", "Suggestions" }) {
        const QString value = attribute(key);
        if (!value.isEmpty())
            f.attributes.insert(QLatin1String(key), value);
    }

    const QString special = attribute("SpecialType");
    if (!special.isNull()) {
        f.specialType = special;
        f.hasSpecialType = true;
        const int colon = special.indexOf(':');
        f.specialTypeName = colon < 0 ? special : special.left(colon);
        f.specialTypeArgument = colon < 0 ? QString() : special.mid(colon + 1);
    }
}

ParsedProperty parse(const QMetaObject *meta, int index)
{
    const QHash<QString, QString> classInfo = classInfoOf(meta);
    ParsedProperty parsed;
    MetaDescriptionFields &f = parsed.fields;
    const QMetaProperty prop = meta->property(index);
    f.name = QString::fromLatin1(prop.name());
    f.typeName = QString::fromLatin1(prop.typeName());
    f.typeId = prop.userType();
    if (prop.isEnumType()) {
        // Enumerations are handled by key, whatever their C++ type.
        f.typeName = QStringLiteral("Enum");
        f.typeId = QMetaType::Int;
    }
    const Attribute attribute
        = [&](const char *attributeName) { return classInfo.value(f.name + QLatin1String(attributeName)); };

    f.editable = attribute("Editable") == QLatin1String("true");
    f.visible = attribute("NotVisible").isNull();
    const QString display = attribute("DisplayName");
    f.displayName = display.isNull() ? f.name : display;
    readDefault(parsed, prop, attribute("Default"));
    readEditorHints(f, attribute);

    f.category = attribute("Category");
    const QString priorityText = attribute("Priority");
    if (!priorityText.isNull())
        f.priority = priorityText.toInt();
    if (!attribute("NoDefault").isNull())
        f.showDefault = false;
    if (!attribute("ReadOnly").isNull())
        f.readOnly = true;
    const QString iconText = attribute("Icon");
    if (!iconText.isNull())
        f.icon = iconText;
    return parsed;
}

const ParsedProperty &parsedProperty(const QMetaObject *meta, int index)
{
    static QMutex mutex;
    static QHash<QPair<const QMetaObject *, int>, ParsedProperty> cache;
    const QMutexLocker lock(&mutex);
    const QPair<const QMetaObject *, int> key(meta, index);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.insert(key, parse(meta, index));
    // QHash never moves a stored value when others are added.
    return found.value();
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
    const ParsedProperty &parsed = parsedProperty(target->metaObject(), index);
    static_cast<MetaDescriptionFields &>(*this) = parsed.fields;
    if (!parsed.defaultCall.isEmpty())
        callDefault(parsed.defaultCall);

    // Every change of the property, from a form, a file or code, reaches the editors.
    const QMetaProperty prop = property();
    if (prop.hasNotifySignal()) {
        static const QMetaMethod slot
            = staticMetaObject.method(staticMetaObject.indexOfSlot("valueChangedSlot()"));
        connect(target, prop.notifySignal(), this, slot);
    }
}

void MetaDescription::callDefault(const QString &call)
{
    if (call == QLatin1String("QDateTime::currentDateTime")) {
        defaultValue = QDateTime::currentDateTime().toString();
        return;
    }
    // A default such as "defaultFolder()" names a method of the settings object.
    QString result;
    const QByteArray method = call.toLatin1();
    if (object->metaObject()->indexOfMethod(method + "()") >= 0
        && QMetaObject::invokeMethod(
            object, method.constData(), Qt::DirectConnection, Q_RETURN_ARG(QString, result)))
        defaultValue = result;
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
