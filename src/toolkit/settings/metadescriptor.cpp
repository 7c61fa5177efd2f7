#include "toolkit/settings/metadescriptor.h"

#include "toolkit/settings/metadescription.h"

#include <QMetaProperty>

MetaDescriptor::MetaDescriptor(QObject *parent)
    : AbstractMetaDescriptor(parent)
{
}

void MetaDescriptor::set(QObject *target)
{
    // A map setting's QVariant needs its typedef name known before it can be
    // read, and a comparator so that equal maps compare equal as QVariants.
    static const bool stringMapRegistered
        = qRegisterMetaType<StringMap>("StringMap") != 0 && QMetaType::registerEqualsComparator<StringMap>();
    Q_UNUSED(stringMapRegistered)

    clear();
    object = target;
    if (object)
        parse();
}

QString MetaDescriptor::getClassName() const
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

void MetaDescriptor::parse()
{
    const QMetaObject *meta = object->metaObject();
    for (int index = 0; index < meta->propertyCount(); ++index) {
        const QMetaProperty property = meta->property(index);
        const QString name = QString::fromLatin1(property.name());
        if (name.compare(QLatin1String("objectName"), Qt::CaseInsensitive) == 0 || !property.isWritable())
            continue;
        auto *description = new MetaDescription(this);
        description->set(index, object);
        descriptions.append(description);
        byName.insert(description->name, description);
    }
}
