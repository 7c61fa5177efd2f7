#include "toolkit/settings/abstractmetadescription.h"

#include <QLocale>
#include <QPoint>
#include <QPointF>
#include <QSize>

namespace
{

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool isPointOrSize(const QString &typeName)
{
    return typeName == QLatin1String("QPoint") || typeName == QLatin1String("QPointF")
        || typeName == QLatin1String("QSize");
}

} // namespace

AbstractMetaDescription::AbstractMetaDescription(QObject *parent)
    : QObject(parent)
{
}

QString AbstractMetaDescription::enumKey(const QVariant &value) const
{
    return enumKey(enumerator(), value);
}

QString AbstractMetaDescription::enumKey(const QMetaEnum &meta, const QVariant &value)
{
    const int number = value.toInt();
    const QByteArray key = meta.isFlag() ? meta.valueToKeys(number) : QByteArray(meta.valueToKey(number));
    // A value outside the enumeration still has to reach the file as something.
    return key.isEmpty() ? QString::number(number) : QString::fromLatin1(key);
}

QString AbstractMetaDescription::getTextValue() const
{
    return textForm(getValue(), typeName, isEnumType() ? enumerator() : QMetaEnum());
}

QString AbstractMetaDescription::textForm(
    const QVariant &value, const QString &typeName, const QMetaEnum &enumerator)
{
    if (enumerator.isValid())
        return enumKey(enumerator, value);
    if (typeName == QLatin1String("QPoint")) {
        const QPoint p = value.toPoint();
        return QString::number(p.x()) + ',' + QString::number(p.y());
    }
    if (typeName == QLatin1String("QPointF")) {
        const QPointF p = value.toPointF();
        return shortest(p.x()) + ',' + shortest(p.y());
    }
    if (typeName == QLatin1String("QSize")) {
        const QSize s = value.toSize();
        return QString::number(s.width()) + ',' + QString::number(s.height());
    }
    if (typeName == QLatin1String("QByteArray"))
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

QString AbstractMetaDescription::fileText() const
{
    const QVariant value = getValue();
    if (typeName == QLatin1String("uchar"))
        return QString::number(value.toUInt());
    if (typeName == QLatin1String("char"))
        return QString::number(int(static_cast<signed char>(value.value<char>())));
    if (typeName == QLatin1String("QPointF")) {
        const QPointF p = value.toPointF();
        return QString::number(p.x(), 'g', 6) + ';' + QString::number(p.y(), 'g', 6);
    }
    if (typeName == QLatin1String("QPoint")) {
        const QPoint p = value.toPoint();
        return QString::number(p.x()) + ';' + QString::number(p.y());
    }
    if (typeName == QLatin1String("QSize")) {
        const QSize s = value.toSize();
        return QString::number(s.width()) + ';' + QString::number(s.height());
    }
    if (typeName == QLatin1String("QByteArray"))
        return QString::fromLatin1(value.toByteArray().toBase64());
    if (isEnumType())
        return enumKey(value);
    return value.toString();
}

bool AbstractMetaDescription::fromFileText(const QString &text)
{
    if (typeName == QLatin1String("QByteArray"))
        return setValue(QByteArray::fromBase64(text.toLatin1()));
    if (isPointOrSize(typeName)) {
        const QStringList parts = text.split(';');
        double first = 0;
        double second = 0;
        if (parts.size() >= 2) {
            first = parts.at(0).toDouble();
            second = parts.at(1).toDouble();
        }
        return setPair(first, second);
    }
    return setValue(text);
}

bool AbstractMetaDescription::setPair(double first, double second)
{
    if (typeName == QLatin1String("QPointF"))
        return setValue(QPointF(first, second));
    if (typeName == QLatin1String("QPoint"))
        return setValue(QPoint(int(first), int(second)));
    return setValue(QSize(int(first), int(second)));
}

QVariant AbstractMetaDescription::jsonValue() const
{
    // QVariant gives a one-byte type as a character, not a number.
    if (typeName == QLatin1String("uchar") || typeName == QLatin1String("char"))
        return fileText().toInt();
    if (isEnumType() || isPointOrSize(typeName) || typeName == QLatin1String("QByteArray"))
        return fileText();
    if (typeName == QLatin1String("StringMap")) {
        QVariantMap map;
        const StringMap values = getValue().value<StringMap>();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            map.insert(it.key(), it.value());
        return map;
    }
    return getValue();
}

bool AbstractMetaDescription::fromJsonValue(const QVariant &value)
{
    if ((isPointOrSize(typeName) || typeName == QLatin1String("QByteArray"))
        && value.userType() == QMetaType::QString)
        return fromFileText(value.toString());
    if (typeName == QLatin1String("StringMap")) {
        StringMap map;
        const QVariantMap values = value.toMap();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            map.insert(it.key(), it.value().toString());
        return setValue(QVariant::fromValue(map));
    }
    return setValue(value);
}
